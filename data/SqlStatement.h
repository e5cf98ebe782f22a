#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include "data/ResultSet.h"

// Helpers that the database layer's classes share; not used outside data/.
namespace xhook::data {

// Runs one statement on `db`, binding `boundValues` to its '?' placeholders in order. The query
// stands before its first row and is read forward only. Held, on PostgreSQL it holds all its rows,
// so that other statements can run on the connection while it is being read; streamed, its rows
// come as they are read. Raises DbError with the statement as context.
QSqlQuery runStatement(const QSqlDatabase& db, const QString& sql,
                       const QVariantList& boundValues = {}, RowReading reading = RowReading::Held);

// A value as the drivers bind it: the integer types that Qt's SQLite driver would write as text
// are widened to 64 bits, a float to a double.
QVariant bindableValue(const QVariant& value);

// Whether `name` is a plain name of SQL, optionally qualified (schema.name): what the layer puts
// into a statement unquoted, so that it resolves as the component's other names do.
bool isPlainName(const QString& name);

// Raises DbError (object closed) for an operation on a closed connection or result set.
[[noreturn]] void raiseObjectClosed(const QString& operation);

}  // namespace xhook::data
