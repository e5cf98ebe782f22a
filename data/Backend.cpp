#include "data/Backend.h"

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/OdbcBackend.h"
#include "data/PostgresBackend.h"
#include "data/SqlDialect.h"
#include "data/SqliteBackend.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

[[noreturn]] void raiseProviderNotFound(const QString& problem) {
    throw DbError(DbErrorNumber::ProviderNotFound, problem);
}

// The ADO providers for SQL Server that hosts write, with the version that the data-link dialog
// appends ("SQLOLEDB.1").
bool isSqlServerProvider(const QString& provider) {
    return isOneOf(provider, {"SQLOLEDB", "SQLOLEDB.1", "SQLNCLI", "SQLNCLI.1", "SQLNCLI10",
                              "SQLNCLI10.1", "SQLNCLI11", "SQLNCLI11.1", "MSOLEDBSQL",
                              "MSOLEDBSQL.1", "MSOLEDBSQL19", "MSOLEDBSQL19.1"});
}

}  // namespace

// The database is closed and every handle to it released before it is removed.
QSqlDatabase Backend::addAndOpen(const QString& driver, const QString& qtConnectionName,
                                 const Opener& open) {
    std::optional<DbError> error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, qtConnectionName);
        error = open(db);
        if (!error) return db;
        db.close();
    }
    QSqlDatabase::removeDatabase(qtConnectionName);
    throw *error;
}

std::unique_ptr<TransactionInterface> Backend::transactionsOf(const QSqlDatabase& db) const {
    return std::make_unique<StatementTransactions>(db, beginStatement());
}

QString Backend::dialectText(const QString& sql) const {
    return rewriteTransactSql(sql);
}

// The one place that knows which providers exist.
std::unique_ptr<Backend> Backend::forProvider(const QString& provider) {
    const QString name = provider.trimmed();
    if (name.isEmpty())
        raiseProviderNotFound(
            QStringLiteral("the connection string names no provider (expected Provider=SQLite, "
                           "PostgreSQL, MSDASQL or one of SQL Server's, such as SQLOLEDB)"));
    if (isOneOf(name, {"SQLite"})) return std::make_unique<SqliteBackend>();
    if (isOneOf(name, {"PostgreSQL"})) return std::make_unique<PostgresBackend>();
    if (isOneOf(name, {"MSDASQL", "MSDASQL.1"}))
        return std::make_unique<OdbcBackend>(OdbcBackend::Provider::DataSource);
    if (isSqlServerProvider(name))
        return std::make_unique<OdbcBackend>(OdbcBackend::Provider::SqlServer);
    raiseProviderNotFound(QStringLiteral("unknown provider '%1'").arg(visibleText(name)));
}

}  // namespace xhook::data
