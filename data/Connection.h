#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <chrono>
#include <memory>
#include <optional>

#include "data/Parameter.h"
#include "data/ResultSet.h"
#include "data/Transaction.h"

namespace xhook::data {

class Backend;
class ConnectionString;
struct PoolingOptions;
class ResultSet;
class TableAppender;

// One connection to the host database, in the manner of an ADO Connection: configure, open by
// connection string, run texts that return no rows, open forward-read result sets, add rows to a
// table, run stored procedures with named parameters, and run transactions. Every SQL text goes
// through the Transact-SQL rewrite. Every failure raises DbError with the provider's number and
// description.
class Connection : public TransactionInterface {
  public:
    Connection();
    ~Connection();  // closes quietly when still open
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { connectionString_ = text; }
    const QString& connectionString() const { return connectionString_; }

    // Uses connectionString(); raises DbError, and then stays closed. A PostgreSQL connection
    // takes a database that an earlier connection with the same string left in the pool, unless
    // the string says Pooling=false (ConnectionPool.h).
    void open();
    // A connection that is not open is left alone. A pooled one leaves its database in the pool,
    // its session reset, for the next open.
    void close();
    bool isOpen() const;

    // A text that returns no rows. The second form binds positional '?' values.
    void execute(const QString& sql);
    void execute(const QString& sql, const QVariantList& boundValues);

    // Held, the rows may be read while other statements run on the connection. Streamed, the
    // rows may come from the server as they are read, which is faster on a server, and no other
    // statement may run on the connection until the result set is closed: on PostgreSQL one
    // would discard the rows not yet read.
    std::unique_ptr<ResultSet> openResultSet(const QString& sql,
                                             RowReading reading = RowReading::Held);
    // An updatable view of a whole table, to which rows are added (written at once).
    std::unique_ptr<TableAppender> openTable(const QString& tableName);

    // One transaction at a time, in the backend's manner (Backend::transactionsOf); a Transaction
    // scopes one.
    void beginTrans() override;
    void commitTrans() override;
    void rollbackTrans() override;
    bool inTransaction() const { return inTransaction_; }

    // Runs a stored procedure; output parameters receive their answers.
    void runProcedure(const QString& name, QList<Parameter>& parameters);
    // A stored procedure's parameters as the server's procedure catalog declares them; none when
    // it has no procedure of that name (Backend::procedureParameters).
    std::optional<QList<DeclaredParameter>> procedureParameters(const QString& name);

    // `text` as a string literal of the open database's SQL, quotes included, written by the
    // database's rules for this session (Backend::textLiteral): the only way a text goes into
    // an SQL text of the component. Asks nothing of the server.
    QString textLiteral(const QString& text);

    // The backend's name ("SQLite", "PostgreSQL") once open.
    // The backend's name ("SQLite", "PostgreSQL", "ODBC", "SQL Server") once open.
    QString providerName() const;
    QSqlDatabase& database();  // for the host's own tools; the component never needs it

  private:
    void requireOpen(const char* operation) const;
    void requireTransaction(const char* operation) const;
    void closeQuietly() noexcept;
    void openFresh(const ConnectionString& cs, std::unique_ptr<Backend> backend);
    void rollbackQuietly() noexcept;
    std::unique_ptr<TransactionInterface> transactions() const;

    QString connectionString_;
    QString qtConnectionName_;
    QString destination_;  // provider, server and database, for the diagnostic log
    QSqlDatabase db_;
    std::unique_ptr<Backend> backend_;
    std::chrono::steady_clock::time_point opened_;
    std::unique_ptr<PoolingOptions> pooling_;  // none when the database is not to be kept
    QString poolKey_;                          // what the pool keeps it under (Backend::poolKey)
    bool inTransaction_ = false;
};

}  // namespace xhook::data
