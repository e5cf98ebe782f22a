#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// Helpers that the database layer's classes share; not used outside data/.
namespace xhook::data {

// Runs one statement on `db`, binding `boundValues` to its '?' placeholders in order. The query
// is forward-only and stands before its first row. Raises DbError with the statement as context.
QSqlQuery runStatement(const QSqlDatabase& db, const QString& sql,
                       const QVariantList& boundValues = {});

// Raises DbError (object closed) for an operation on a closed connection or result set.
[[noreturn]] void raiseObjectClosed(const QString& operation);

}  // namespace xhook::data
