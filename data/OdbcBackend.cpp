#include "data/OdbcBackend.h"

#include <sql.h>
#include <sqlext.h>

#include <QSqlError>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/OdbcConnectString.h"
#include "data/OdbcHandle.h"
#include "data/OdbcProcedureCall.h"
#include "data/OdbcProcedureCatalog.h"
#include "data/OdbcTextLiteral.h"
#include "data/OdbcTransactions.h"
#include "data/SqlDialect.h"
#include "data/SqlServerOptions.h"
#include "foundation/DiagnosticLog.h"

namespace xhook::data {

namespace {

// What the driver manager is given to connect, and how a failure names where it went.
struct OdbcTarget {
    QString connectString;
    int loginTimeoutSeconds = 0;
    QString where;
};

OdbcTarget targetOf(OdbcBackend::Provider provider, const ConnectionString& cs) {
    if (provider == OdbcBackend::Provider::SqlServer) {
        const SqlServerOptions options(cs);
        return {options.odbcConnectString(), options.loginTimeoutSeconds(), options.describe()};
    }
    const OdbcConnectString odbc(cs);
    return {odbc.text(), odbc.loginTimeoutSeconds(),
            QStringLiteral("opening the ODBC %1").arg(odbc.describe())};
}

// Qt's driver takes a connection string that holds ".dsn" anywhere for a file data source.
void requireNoFileDataSource(const OdbcTarget& target) {
    if (target.connectString.contains(QLatin1String(".dsn"), Qt::CaseInsensitive))
        throw DbError(DbErrorNumber::InvalidConnectionString,
                      QStringLiteral("the connection string holds \".dsn\", which Qt's ODBC "
                                     "driver takes for a file data source; file data sources "
                                     "are not supported"));
}

std::optional<DbError> openError(QSqlDatabase& db, const OdbcTarget& target) {
    if (!db.isValid())
        return DbError(DbErrorNumber::ProviderNotFound,
                       QStringLiteral("Qt's ODBC driver (QODBC, Debian package libqt6sql6-odbc) "
                                      "is not available"));
    db.setDatabaseName(target.connectString);
    if (target.loginTimeoutSeconds > 0)
        db.setConnectOptions(
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(target.loginTimeoutSeconds));
    db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (db.open()) return std::nullopt;
    return DbError::fromSqlError(db.lastError(), target.where);
}

SQLULEN connectionAttribute(const QSqlDatabase& db, SQLINTEGER attribute, SQLULEN fallback) {
    SQLULEN value = fallback;
    if (!SQL_SUCCEEDED(
            SQLGetConnectAttrW(odbcConnectionOf(db), attribute, &value, sizeof value, nullptr)))
        return fallback;
    return value;
}

// A Transact-SQL server, and any server not known to need the rewrite.
bool getsTextsAsWritten(OdbcServer server) {
    return server == OdbcServer::TransactSql || server == OdbcServer::Other;
}

}  // namespace

QString OdbcBackend::name() const {
    return provider_ == Provider::SqlServer ? QStringLiteral("SQL Server") : QStringLiteral("ODBC");
}

// The connection string is checked before a database is added, so that a refused key or value
// is reported as such even where the driver is missing. The session's sockets are those that
// the open adds to the process.
QSqlDatabase OdbcBackend::openDatabase(const ConnectionString& cs,
                                       const QString& qtConnectionName) {
    const OdbcTarget target = targetOf(provider_, cs);
    requireNoFileDataSource(target);
    const OdbcSessionSockets::Sockets before = OdbcSessionSockets::ofProcess();
    QSqlDatabase db = addAndOpen(QStringLiteral("QODBC"), qtConnectionName,
                                 [&](QSqlDatabase& added) { return openError(added, target); });
    sockets_ = OdbcSessionSockets::addedBetween(before, OdbcSessionSockets::ofProcess());
    const QString dbmsName = odbcInfoText(odbcConnectionOf(db), SQL_DBMS_NAME);
    server_ = odbcServerOfDbmsName(dbmsName);
    qCDebug(lcConnection).noquote() << QStringLiteral("the ODBC driver reaches %1 (%2 statements)")
                                           .arg(dbmsName, odbcServerName(server_));
    return db;
}

QString OdbcBackend::dialectText(const QString& sql) const {
    return getsTextsAsWritten(server_) ? sql : rewriteTransactSql(sql);
}

QString OdbcBackend::textLiteral(QSqlDatabase&, const QString& text) {
    return odbcTextLiteral(server_, text);
}

// Without an open transaction the call gets one of its own (read committed), as on the other
// providers, so that answers refused here leave nothing of the procedure's work behind.
void OdbcBackend::runProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters,
                               bool inTransaction) {
    if (server_ == OdbcServer::Sqlite)
        throw DbError(DbErrorNumber::Generic,
                      QStringLiteral("could not find stored procedure '%1': SQLite has no stored "
                                     "procedures, and those registered in C++ run only on the "
                                     "SQLite provider's own connection (Provider=SQLite)")
                          .arg(name));
    const OdbcCallForm form =
        server_ == OdbcServer::PostgreSql ? OdbcCallForm::PostgresCall : OdbcCallForm::Escape;
    if (inTransaction) {
        runOdbcProcedure(odbcConnectionOf(db), form, name, parameters);
        return;
    }
    const std::unique_ptr<TransactionInterface> own = procedureTransactions(db);
    Transaction transaction(*own);
    runOdbcProcedure(odbcConnectionOf(db), form, name, parameters);
    transaction.commit();
}

// Read committed: the procedure serializes its work with others by the locks it takes itself.
std::unique_ptr<TransactionInterface> OdbcBackend::procedureTransactions(
    const QSqlDatabase& db) const {
    if (server_ == OdbcServer::PostgreSql)
        return std::make_unique<OdbcStatementTransactions>(
            db, QStringLiteral("BEGIN ISOLATION LEVEL READ COMMITTED"), sessionEnded());
    return std::make_unique<OdbcTransactions>(db, OdbcTransactions::Isolation::ReadCommitted,
                                              sessionEnded());
}

std::optional<QList<DeclaredParameter>> OdbcBackend::procedureParameters(QSqlDatabase& db,
                                                                         const QString& name) {
    return odbcProcedureParameters(
        odbcConnectionOf(db), name,
        server_ == OdbcServer::PostgreSql ? CatalogLengths::NotKept : CatalogLengths::Kept);
}

QString OdbcBackend::beginStatement() const {
    if (server_ == OdbcServer::Sqlite) return QStringLiteral("BEGIN IMMEDIATE");
    return QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE");
}

std::unique_ptr<TransactionInterface> OdbcBackend::transactionsOf(const QSqlDatabase& db) const {
    if (getsTextsAsWritten(server_))
        return std::make_unique<OdbcTransactions>(db, OdbcTransactions::Isolation::Serializable,
                                                  sessionEnded());
    return std::make_unique<OdbcStatementTransactions>(db, beginStatement(), sessionEnded());
}

// The sockets alone decide: a driver that knows its session dead is asked on the next statement.
OdbcTransactions::SessionEnded OdbcBackend::sessionEnded() const {
    return [this] { return sockets_.isKnown() && sockets_.endedByPeer(); };
}

bool OdbcBackend::stillConnected(QSqlDatabase& db) {
    if (!db.isOpen() || !sockets_.isKnown() || sockets_.endedByPeer()) return false;
    return connectionAttribute(db, SQL_ATTR_CONNECTION_DEAD, SQL_CD_FALSE) != SQL_CD_TRUE;
}

bool OdbcBackend::resetSession(QSqlDatabase& db) {
    if (server_ == OdbcServer::Sqlite || !sockets_.isKnown() || !db.isOpen()) return false;
    if (connectionAttribute(db, SQL_ATTR_AUTOCOMMIT, SQL_AUTOCOMMIT_ON) == SQL_AUTOCOMMIT_OFF &&
        !db.rollback())
        return false;
    return stillConnected(db);
}

}  // namespace xhook::data
