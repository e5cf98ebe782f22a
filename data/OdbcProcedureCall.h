#pragma once

#include <QList>
#include <QString>

#include "data/OdbcHandle.h"
#include "data/Parameter.h"

namespace xhook::data {

// How a server behind ODBC takes a procedure call.
enum class OdbcCallForm {
    // The call escape, "{call name(?,…)}", outputs bound as outputs: Transact-SQL servers and
    // any other server whose driver converts the escape for it.
    Escape,
    // PostgreSQL's own "CALL name(?,…)", outputs bound as INOUT: psqlODBC turns the escape into
    // SELECT * FROM name(…), which a PROCEDURE refuses; a CALL's outputs it copies back itself.
    PostgresCall,
};

// Runs a stored procedure on an ODBC connection with buffers of the parameters' declared types
// and sizes, binds them by position, releases every result that the procedure returns unread,
// and reads the outputs once the last result is consumed (a server may send them only then).
// The parameters change only once every answer has been read and checked against its declared
// type and size, as an input is (boundInputValue). Raises DbError with the driver's diagnostics.
void runOdbcProcedure(OdbcHandle connection, OdbcCallForm form, const QString& name,
                      QList<Parameter>& parameters);

}  // namespace xhook::data
