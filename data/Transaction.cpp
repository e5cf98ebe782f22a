#include "data/Transaction.h"

#include "data/SqlStatement.h"

namespace xhook::data {

Transaction::Transaction(TransactionInterface& target) : target_(target) {
    target_.beginTrans();
    open_ = true;
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        rollback();
    } catch (...) {
        // The transaction ends with the connection at the latest.
    }
}

void Transaction::commit() {
    target_.commitTrans();
    open_ = false;
}

void Transaction::rollback() {
    if (!open_) return;
    open_ = false;
    target_.rollbackTrans();
}

void StatementTransactions::beginTrans() {
    runStatement(db_, beginStatement_);
}

void StatementTransactions::commitTrans() {
    runStatement(db_, QStringLiteral("COMMIT"));
}

void StatementTransactions::rollbackTrans() {
    if (!db_.isOpen()) return;
    runStatement(db_, QStringLiteral("ROLLBACK"));
}

}  // namespace xhook::data
