#pragma once

#include "data/Backend.h"

namespace xhook::data {

// A PostgreSQL server through Qt's QPSQL driver. Server is a host name or the directory of the
// server's unix socket. Numbers come back as doubles and 64-bit integers, as from SQLite. Stored
// procedures are the server's own, run with CALL: the output parameters are INOUT parameters of
// the procedure, and their answers come back as the CALL's one row.
class PostgresBackend : public Backend {
  public:
    QString name() const override { return QStringLiteral("PostgreSQL"); }
    QSqlDatabase openDatabase(const ConnectionString& cs, const QString& qtConnectionName) override;
    // The call runs inside the connection's open transaction, or else in one of its own (read
    // committed). When the connection ends during that transaction's commit, the error is
    // DbErrorNumber::CommitOutcomeUnknown: the procedure's work may or may not have taken effect.
    void runProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters,
                      bool inTransaction) override;
    std::optional<QList<DeclaredParameter>> procedureParameters(QSqlDatabase& db,
                                                                const QString& name) override;
    // Serializable: two transactions that replace the same rows at once (two workstations saving
    // a layout of one name) cannot both commit; the later one fails with SQLSTATE 40001 and is
    // rolled back, instead of leaving the rows of both.
    QString beginStatement() const override {
        return QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE");
    }
    // The client library's escaping for the session (PQescapeLiteral): a text with a backslash
    // is written as an escape string (E'...'), which reads the same whether the session's
    // standard_conforming_strings is on or off.
    QString textLiteral(QSqlDatabase& db, const QString& text) override;

    // Kept between connections unless the string says Pooling=false; the driver's own statements
    // at open are then paid once per kept connection.
    bool poolable() const override { return true; }
    // The connection string and the client library's environment (PGSSLMODE, PGSERVICE, ...):
    // a session opened under another environment could go elsewhere, or unencrypted.
    QString poolKey(const QString& connectionString) const override;
    bool stillConnected(QSqlDatabase& db) override;
    bool resetSession(QSqlDatabase& db) override;
};

}  // namespace xhook::data
