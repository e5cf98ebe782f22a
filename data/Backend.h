#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "data/DbError.h"
#include "data/Parameter.h"
#include "data/Transaction.h"

namespace xhook::data {

class ConnectionString;

// What differs between the database servers behind a Connection.
class Backend {
  public:
    virtual ~Backend() = default;
    virtual QString name() const = 0;
    // Adds a database under `qtConnectionName` and opens it from the parsed string. Raises
    // DbError, and then has removed that database again.
    virtual QSqlDatabase openDatabase(const ConnectionString& cs,
                                      const QString& qtConnectionName) = 0;
    // Runs a stored procedure on the open database; output parameters receive their answers.
    // `inTransaction` tells that the connection has a transaction open: the procedure then runs
    // inside it instead of in a transaction of its own.
    virtual void runProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters,
                              bool inTransaction) = 0;
    // The statement that begins a transaction of the connection; COMMIT and ROLLBACK end it.
    virtual QString beginStatement() const = 0;
    // `text` as a string literal of the open database's SQL, quotes included, written by the
    // database's own rules for its session (the driver's formatting, or the client library's
    // escaping), so that nothing in the text can end the literal. Raises DbError for a text that
    // the database cannot hold.
    virtual QString textLiteral(QSqlDatabase& db, const QString& text) = 0;
    // How the connection's transactions begin and end: by default through the statements
    // beginStatement(), COMMIT and ROLLBACK.
    virtual std::unique_ptr<TransactionInterface> transactionsOf(const QSqlDatabase& db) const;
    // A component's SQL text as this server is to be sent it: by default with the Transact-SQL
    // rewrite (SqlDialect.h).
    virtual QString dialectText(const QString& sql) const;
    // The parameters of a stored procedure as the server's procedure catalog declares them, in
    // their order; none when it has no procedure of that name.
    virtual std::optional<QList<DeclaredParameter>> procedureParameters(QSqlDatabase& db,
                                                                        const QString& name) = 0;

    // Whether an open database may be kept for the next connection with the same string.
    virtual bool poolable() const { return false; }
    // What a kept database is kept under: an open takes only one kept under its own key.
    virtual QString poolKey(const QString& connectionString) const { return connectionString; }
    // For a kept database, found without a round trip where the client library allows: whether
    // the server still holds its session (it has not ended it, and the network has not cut it).
    virtual bool stillConnected(QSqlDatabase& db) { return db.isOpen(); }
    // Makes an open database fit to be kept once its connection closes: a transaction still open
    // is rolled back. False when it cannot be kept (the session is broken).
    virtual bool resetSession(QSqlDatabase&) { return false; }

    // The backend for a provider name (without regard to case); raises DbError for an unknown one.
    static std::unique_ptr<Backend> forProvider(const QString& provider);

  protected:
    // Opens a database that it answers the failure of, none when it opened.
    using Opener = std::function<std::optional<DbError>(QSqlDatabase&)>;
    // Adds a database of the Qt driver `driver` under `qtConnectionName` and opens it with `open`.
    // When that fails, the database is removed again and the failure raised.
    static QSqlDatabase addAndOpen(const QString& driver, const QString& qtConnectionName,
                                   const Opener& open);
};

}  // namespace xhook::data
