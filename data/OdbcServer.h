#pragma once

#include <QString>

namespace xhook::data {

// The kind of server that an ODBC connection reaches, as its driver names it (SQL_DBMS_NAME).
// It decides what the server is sent:
//   TransactSql  Microsoft SQL Server (and Sybase): the component's texts exactly as written,
//                the procedure through the call escape, transactions through the driver
//   PostgreSql   the Transact-SQL rewrite, CALL for the procedure, transactions by statement
//   Sqlite       the rewrite, transactions by statement; no stored procedures
//   Other        any other server: the texts as written (they are Transact-SQL), the escape
enum class OdbcServer { TransactSql, PostgreSql, Sqlite, Other };

OdbcServer odbcServerOfDbmsName(const QString& dbmsName);
// The name of the kind, for messages and the diagnostic log.
QString odbcServerName(OdbcServer server);

}  // namespace xhook::data
