#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "data/OdbcHandle.h"
#include "data/Parameter.h"

namespace xhook::data {

// Whether a driver's catalog tells the declared length of a character parameter: SQL Server's
// does, psqlODBC's answers its own default (255), as PostgreSQL keeps no length for a routine's
// parameters.
enum class CatalogLengths { Kept, NotKept };

// The parameters of a stored procedure as the driver's procedure catalog lists them
// (SQLProcedures, SQLProcedureColumns), in their order, without a return value or result
// columns; a Transact-SQL server's '@' stays in the name. The name is looked up as given and
// folded to lower case (PostgreSQL's unquoted names). None when the catalog has no such procedure.
std::optional<QList<DeclaredParameter>> odbcProcedureParameters(OdbcHandle connection,
                                                                const QString& name,
                                                                CatalogLengths lengths);

}  // namespace xhook::data
