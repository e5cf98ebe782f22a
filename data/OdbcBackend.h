#pragma once

#include "data/Backend.h"
#include "data/OdbcServer.h"
#include "data/OdbcSessionSockets.h"
#include "data/OdbcTransactions.h"

namespace xhook::data {

// A database behind ODBC, through Qt's QODBC driver over unixODBC, for two kinds of provider:
//   DataSource  the ADO provider for ODBC data sources (Provider=MSDASQL): a DSN or a driver of
//               the driver manager, the keys passed as that provider passes them
//               (OdbcConnectString.h)
//   SqlServer   the ADO providers for SQL Server (SQLOLEDB, SQLNCLI…, MSOLEDBSQL…), reached
//               through FreeTDS's ODBC driver with their keys mapped (SqlServerOptions.h)
// What the server is sent follows the server that the driver names once connected
// (OdbcServer.h). Sessions are kept between connections, as on PostgreSQL, except SQLite's.
class OdbcBackend : public Backend {
  public:
    enum class Provider { DataSource, SqlServer };
    explicit OdbcBackend(Provider provider) : provider_(provider) {}

    QString name() const override;
    QSqlDatabase openDatabase(const ConnectionString& cs, const QString& qtConnectionName) override;
    QString dialectText(const QString& sql) const override;
    // By the rules of the server behind the driver (OdbcTextLiteral.h).
    QString textLiteral(QSqlDatabase& db, const QString& text) override;
    void runProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters,
                      bool inTransaction) override;
    std::optional<QList<DeclaredParameter>> procedureParameters(QSqlDatabase& db,
                                                                const QString& name) override;
    // Serializable, as on PostgreSQL: by statement where the server takes them (PostgreSQL's
    // BEGIN ISOLATION LEVEL SERIALIZABLE, SQLite's BEGIN IMMEDIATE), else through the driver.
    QString beginStatement() const override;
    std::unique_ptr<TransactionInterface> transactionsOf(const QSqlDatabase& db) const override;

    bool poolable() const override { return true; }
    // The session's sockets have nothing waiting, and the driver does not know it dead.
    bool stillConnected(QSqlDatabase& db) override;
    // The driver's transaction, if one is open, is rolled back. A SQLite file, and a session
    // whose sockets were not found at its open, are not kept.
    bool resetSession(QSqlDatabase& db) override;

    OdbcServer server() const { return server_; }

  private:
    OdbcTransactions::SessionEnded sessionEnded() const;
    // The transaction of a procedure called without one open.
    std::unique_ptr<TransactionInterface> procedureTransactions(const QSqlDatabase& db) const;

    Provider provider_;
    OdbcServer server_ = OdbcServer::Other;
    OdbcSessionSockets sockets_;
};

}  // namespace xhook::data
