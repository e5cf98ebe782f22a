#include "data/PostgresSession.h"

#include <libpq-fe.h>
#include <poll.h>

#include <QSqlDriver>
#include <QVariant>

namespace xhook::data {

namespace {

// Qt's PostgreSQL driver hands out its connection handle as a PGconn*, named by the struct
// behind that type.
PGconn* handleOf(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver()) return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

bool somethingArrived(int socket) {
    pollfd waiting{socket, POLLIN, 0};
    return ::poll(&waiting, 1, 0) != 0;
}

}  // namespace

bool postgresSessionAlive(const QSqlDatabase& db) {
    PGconn* connection = handleOf(db);
    if (!connection || PQstatus(connection) != CONNECTION_OK) return false;
    const int socket = PQsocket(connection);
    if (socket < 0) return false;
    if (!somethingArrived(socket)) return true;
    // An idle session is sent nothing that the component asked for: whatever came is the end.
    PQconsumeInput(connection);
    return false;
}

PostgresTransaction postgresTransactionState(const QSqlDatabase& db) {
    PGconn* connection = handleOf(db);
    if (!connection || PQstatus(connection) != CONNECTION_OK) return PostgresTransaction::Unknown;
    switch (PQtransactionStatus(connection)) {
        case PQTRANS_IDLE:
            return PostgresTransaction::None;
        case PQTRANS_INTRANS:
        case PQTRANS_INERROR:
            return PostgresTransaction::Open;
        default:
            return PostgresTransaction::Unknown;
    }
}

}  // namespace xhook::data
