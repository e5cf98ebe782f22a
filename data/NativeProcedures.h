#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

#include "data/Parameter.h"

namespace xhook::data {

// Stored procedures of an embedded SQLite database, which cannot hold code of its own: the host
// registers them in C++ by name (without regard to case), process-wide, with the parameters they
// declare (what the SQLite provider's procedure catalog answers). The SQLite backend runs one
// inside one transaction, which is committed when it returns and rolled back when it throws.
// Input parameters arrive as bound values (QString or qint64); the procedure sets the outputs.
using NativeProcedure = std::function<void(QSqlDatabase& db, QList<Parameter>& parameters)>;

void registerNativeProcedure(const QString& name, NativeProcedure procedure,
                             QList<DeclaredParameter> parameters = {});
void unregisterNativeProcedure(const QString& name);
// An empty function when none is registered under that name.
NativeProcedure findNativeProcedure(const QString& name);
// The parameters that the procedure was registered with; none when no procedure is.
std::optional<QList<DeclaredParameter>> nativeProcedureParameters(const QString& name);

}  // namespace xhook::data
