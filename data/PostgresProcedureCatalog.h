#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

#include "data/Parameter.h"

namespace xhook::data {

// The parameters of a procedure or function of a PostgreSQL database, as its information schema
// declares them (information_schema.parameters), in their order: the first routine of the name,
// folded to lower case as an unquoted name is, in the session's search path. PostgreSQL keeps no
// length for a routine's parameters, so every size is 0. None when there is no such routine.
std::optional<QList<DeclaredParameter>> postgresProcedureParameters(const QSqlDatabase& db,
                                                                    const QString& name);

}  // namespace xhook::data
