#include "data/PostgresEncryption.h"

#include "data/PostgresOptions.h"
#include "data/PostgresSession.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

bool asksForEncryption(const QString& sslMode) {
    return sslMode == QLatin1String("require") || sslMode == QLatin1String("verify-ca") ||
           sslMode == QLatin1String("verify-full");
}

// Require takes any encryption; the verifying modes mean a server certificate checked by TLS.
bool encryptedAsAsked(const PostgresSessionSecurity& session) {
    if (session.tls) return true;
    return session.gssEncrypted && session.sslMode == QLatin1String("require");
}

QString destinationOf(const QString& host) {
    if (host.startsWith('/') || host.startsWith('@'))
        return QStringLiteral(
                   "through the unix socket '%1', which the client library never "
                   "encrypts")
            .arg(visibleText(host));
    return QStringLiteral("to '%1'").arg(visibleText(host));
}

}  // namespace

std::optional<DbError> unencryptedSessionRefusal(const QSqlDatabase& db,
                                                 const PostgresOptions& options) {
    const PostgresSessionSecurity session = postgresSessionSecurity(db);
    if (!asksForEncryption(session.sslMode) || encryptedAsAsked(session)) return std::nullopt;
    return DbError(DbErrorNumber::InvalidConnectionString,
                   QStringLiteral("%1 asks for an encrypted session, and the client library "
                                  "connected without encryption %2; the session was closed "
                                  "before any statement ran. Give the Server by its name or "
                                  "address, over TCP")
                       .arg(options.sslModeOrigin(session.sslMode), destinationOf(session.host)));
}

}  // namespace xhook::data
