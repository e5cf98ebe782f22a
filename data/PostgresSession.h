#pragma once

#include <QSqlDatabase>
#include <QString>

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

// How the client library connected an open database's session.
struct PostgresSessionSecurity {
    bool tls = false;           // encrypted by TLS
    bool gssEncrypted = false;  // encrypted by GSSAPI
    QString sslMode;            // the sslmode in effect: from the options, the service file, the
                                // environment or the library's default
    QString host;  // the host it reached: a name, an address, or a unix socket's folder
};
PostgresSessionSecurity postgresSessionSecurity(const QSqlDatabase& db);

// `text` as a string literal for the session, by the client library's escaping (PQescapeLiteral),
// which follows the session's encoding and standard_conforming_strings. Raises DbError when the
// database is not open or the client library refuses the text (one that the encoding cannot
// hold).
QString postgresTextLiteral(const QSqlDatabase& db, const QString& text);

// The client library's environment variables that are set (PGHOST, PGSSLMODE, PGSERVICE,
// PGSERVICEFILE and every other one it reads when it connects), as "NAME=value" lines: what
// decides, beside the connection string, where and how a session is opened.
QString postgresClientEnvironment();

}  // namespace xhook::data
