#include "data/OdbcTransactions.h"

#include <sql.h>
#include <sqlext.h>

#include <QSqlError>

#include "data/DbError.h"
#include "data/OdbcHandle.h"

namespace xhook::data {

void OdbcTransactions::setIsolation(Isolation isolation) {
    const OdbcHandle connection = odbcConnectionOf(db_);
    const SQLULEN level =
        isolation == Isolation::Serializable ? SQL_TXN_SERIALIZABLE : SQL_TXN_READ_COMMITTED;
    if (!SQL_SUCCEEDED(SQLSetConnectAttrW(connection, SQL_ATTR_TXN_ISOLATION,
                                          reinterpret_cast<SQLPOINTER>(level), 0)))
        throw odbcError(SQL_HANDLE_DBC, connection, QStringLiteral("setting the isolation level"));
}

void OdbcTransactions::beginTrans() {
    if (isolation_ != Isolation::ReadCommitted) setIsolation(isolation_);
    if (!db_.transaction())
        throw DbError::fromSqlError(db_.lastError(), QStringLiteral("BeginTrans"));
}

// A commit that the server refuses leaves the transaction open, to be rolled back.
void OdbcTransactions::commitTrans() {
    if (!db_.commit()) throw DbError::fromSqlError(db_.lastError(), QStringLiteral("CommitTrans"));
    if (isolation_ != Isolation::ReadCommitted) setIsolation(Isolation::ReadCommitted);
}

// A database that is no longer open, or whose session has ended, has nothing left to roll back.
void OdbcTransactions::rollbackTrans() {
    if (!db_.isOpen() || sessionEnded_()) return;
    const bool rolledBack = db_.rollback();
    if (isolation_ != Isolation::ReadCommitted) setIsolation(Isolation::ReadCommitted);
    if (!rolledBack) throw DbError::fromSqlError(db_.lastError(), QStringLiteral("RollbackTrans"));
}

void OdbcStatementTransactions::rollbackTrans() {
    if (sessionEnded_()) return;
    StatementTransactions::rollbackTrans();
}

}  // namespace xhook::data
