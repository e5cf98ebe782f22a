#pragma once

#include <QSqlDatabase>
#include <optional>

#include "data/DbError.h"

namespace xhook::data {

class PostgresOptions;

// The check that no setting can talk its way past: once the client library has opened a session,
// it is asked whether the session is encrypted. When the SSL mode in effect (from SSL Mode or
// Root Certificate, or else from a service file or PGSSLMODE) asks for encryption, Require by
// TLS or GSSAPI, VerifyCA and VerifyFull by TLS, and the session is not encrypted (a host list
// or a service that reached a unix socket, which the client library never encrypts), the refusal
// names what asked for it. The caller closes the session before any statement of its own runs;
// only the driver's settings at connect time (encoding, date style) have gone over it.
std::optional<DbError> unencryptedSessionRefusal(const QSqlDatabase& db,
                                                 const PostgresOptions& options);

}  // namespace xhook::data
