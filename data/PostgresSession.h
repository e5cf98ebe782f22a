#pragma once

#include <QSqlDatabase>

namespace xhook::data {

// What the client library tells of an open PostgreSQL database's session, asked without a round
// trip to the server.

// False when the session has ended: the connection is broken, or the server has closed it or
// sent anything while it was idle (a server that shuts down or ends an idle session says so and
// closes the socket). Reads only what has arrived; never waits.
bool postgresSessionAlive(const QSqlDatabase& db);

enum class PostgresTransaction { None, Open, Unknown };
// Whether the session is inside a transaction block (one begun, or one that failed and waits
// for its rollback); Unknown when the connection is broken.
PostgresTransaction postgresTransactionState(const QSqlDatabase& db);

}  // namespace xhook::data
