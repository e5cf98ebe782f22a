#pragma once

#include <QSqlDatabase>

#include "data/Transaction.h"

namespace xhook::data {

// The transactions of an ODBC connection through its driver, as ADO runs them on the provider
// for ODBC: the isolation level set before the transaction (SQL_ATTR_TXN_ISOLATION) and set back
// to read committed after it, since a Transact-SQL server keeps it for the session; the driver
// manager's autocommit off while it runs, and SQLEndTran to end it (Qt's transaction(), commit()
// and rollback()). Each raises DbError with the driver's message when refused.
class OdbcTransactions : public TransactionInterface {
  public:
    enum class Isolation { ReadCommitted, Serializable };

    OdbcTransactions(const QSqlDatabase& db, Isolation isolation)
        : db_(db), isolation_(isolation) {}
    void beginTrans() override;
    void commitTrans() override;
    void rollbackTrans() override;

  private:
    void setIsolation(Isolation isolation);

    QSqlDatabase db_;
    Isolation isolation_;
};

}  // namespace xhook::data
