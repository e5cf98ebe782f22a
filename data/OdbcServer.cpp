#include "data/OdbcServer.h"

namespace xhook::data {

// FreeTDS names the server as its login acknowledgement does ("Microsoft SQL Server"; Sybase's
// "SQL Server" and "Adaptive Server Enterprise"), psqlODBC "PostgreSQL", sqliteodbc "SQLite".
OdbcServer odbcServerOfDbmsName(const QString& dbmsName) {
    const QString name = dbmsName.trimmed();
    if (name.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive) ||
        name.contains(QLatin1String("Adaptive Server"), Qt::CaseInsensitive))
        return OdbcServer::TransactSql;
    if (name.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return OdbcServer::PostgreSql;
    if (name.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive)) return OdbcServer::Sqlite;
    return OdbcServer::Other;
}

QString odbcServerName(OdbcServer server) {
    switch (server) {
        case OdbcServer::TransactSql:
            return QStringLiteral("Transact-SQL");
        case OdbcServer::PostgreSql:
            return QStringLiteral("PostgreSQL");
        case OdbcServer::Sqlite:
            return QStringLiteral("SQLite");
        case OdbcServer::Other:
            break;
    }
    return QStringLiteral("other");
}

}  // namespace xhook::data
