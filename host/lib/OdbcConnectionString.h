#pragma once

#include <QString>

namespace xhook::host {

// The ODBC provider's connection string (Provider=MSDASQL) for the database that a SQLite or
// PostgreSQL provider's string names, with the drivers that Debian registers: "PostgreSQL
// Unicode" (psqlODBC) with the same server, port, database, user and password, or "SQLite3"
// (sqliteodbc) with the same file, told not to create a missing one (NoCreat=1), as the SQLite
// provider never does. The pool's keys are carried over. For the tests and the benchmarks, which
// compare the two ways to one database.
QString odbcConnectionString(const QString& providerConnectionString);

}  // namespace xhook::host
