#pragma once

#include <QSqlDatabase>
#include <QString>

namespace xhook::data {

// What a transaction runs on: a Connection, or a backend's database while it runs a procedure.
// Each raises DbError when the database refuses.
class TransactionInterface {
  public:
    virtual ~TransactionInterface() = default;
    virtual void beginTrans() = 0;
    virtual void commitTrans() = 0;
    virtual void rollbackTrans() = 0;
};

// A transaction for a scope: begun when it is made, rolled back when the scope is left before
// commit() has succeeded. The rollback of the destructor is quiet: it never throws, least of all
// while an exception is unwinding the scope, and a database that refuses it rolls the transaction
// back when the connection closes. Whoever needs to know whether the rollback worked calls
// rollback() itself.
class Transaction {
  public:
    explicit Transaction(TransactionInterface& target);  // raises when the begin fails
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Ends the transaction once the database has taken the commit; when it refuses, the
    // transaction stays open, to be rolled back.
    void commit();
    // Ends the transaction whatever the database answers; raises when it refuses. Nothing is sent
    // once the transaction has ended.
    void rollback();
    bool isOpen() const { return open_; }

  private:
    TransactionInterface& target_;
    bool open_ = false;
};

// The transactions of a database by statement: `beginStatement` (which says how the transaction
// runs), COMMIT and ROLLBACK. A database that is no longer open has nothing left to roll back.
class StatementTransactions : public TransactionInterface {
  public:
    StatementTransactions(const QSqlDatabase& db, QString beginStatement)
        : db_(db), beginStatement_(std::move(beginStatement)) {}
    void beginTrans() override;
    void commitTrans() override;
    void rollbackTrans() override;

  private:
    const QSqlDatabase& db_;
    QString beginStatement_;
};

}  // namespace xhook::data
