#pragma once

#include <QSqlDatabase>
#include <functional>

#include "data/Transaction.h"

namespace xhook::data {

// The transactions of an ODBC connection through its driver, as ADO runs them on the provider
// for ODBC: the isolation level set before the transaction (SQL_ATTR_TXN_ISOLATION) and set back
// to read committed after it, since a Transact-SQL server keeps it for the session; the driver
// manager's autocommit off while it runs, and SQLEndTran to end it (Qt's transaction(), commit()
// and rollback()). Each raises DbError with the driver's message when refused.
//
// Qt's ODBC driver keeps a database open whose session the server has ended, where the other
// drivers close it; `sessionEnded` tells, and a rollback then has nothing left to do.
class OdbcTransactions : public TransactionInterface {
  public:
    enum class Isolation { ReadCommitted, Serializable };
    using SessionEnded = std::function<bool()>;

    OdbcTransactions(const QSqlDatabase& db, Isolation isolation, SessionEnded sessionEnded)
        : db_(db), isolation_(isolation), sessionEnded_(std::move(sessionEnded)) {}
    void beginTrans() override;
    void commitTrans() override;
    void rollbackTrans() override;

  private:
    void setIsolation(Isolation isolation);

    QSqlDatabase db_;
    Isolation isolation_;
    SessionEnded sessionEnded_;
};

// Transactions by statement (PostgreSQL's and SQLite's, through their ODBC drivers), with the
// same rollback of an ended session as OdbcTransactions.
class OdbcStatementTransactions : public StatementTransactions {
  public:
    OdbcStatementTransactions(const QSqlDatabase& db, QString beginStatement,
                              OdbcTransactions::SessionEnded sessionEnded)
        : StatementTransactions(db, std::move(beginStatement)),
          sessionEnded_(std::move(sessionEnded)) {}
    void rollbackTrans() override;

  private:
    OdbcTransactions::SessionEnded sessionEnded_;
};

}  // namespace xhook::data
