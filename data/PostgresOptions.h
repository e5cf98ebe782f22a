#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace xhook::data {

class ConnectionString;

// How a PostgreSQL connection string reaches the server's client library through Qt's QPSQL
// driver. The keys:
//   Server, Port, Database  where to connect: a host name or the folder of the server's unix
//                           socket, the port (5432), the database (required)
//   Service                 instead of those three: a service of the client library's service
//                           file (PGSERVICEFILE, ~/.pg_service.conf), which names them
//   User ID, Password       the login; without Password the client library takes the password,
//                           when the server asks for one, from the password file
//   Passfile                that password file; else PGPASSFILE, else ~/.pgpass
//   SSL Mode                Disable, Prefer, Require (encrypted, the server not checked),
//                           VerifyCA (its certificate signed by the root certificate),
//                           VerifyFull (and made out to the Server's name)
//   Root Certificate        the authority's certificate that VerifyCA and VerifyFull check the
//                           server's against; given alone, it means SSL Mode=VerifyFull
//   Pooling, Connection Lifetime, Connection Idle Lifetime  the pool's (ConnectionPool.h)
// Every other key is refused, and so is a setting that would not do what it says: a mode that
// encrypts towards a unix socket (the client library never encrypts those), also as one host of
// a Server list ("db-host,/run/postgresql"), a root certificate with a mode that does not check
// it, a password file beside a password, a service beside a server. Messages name the key, show
// the connection string's text with its control characters escaped, and never hold the
// password. Where a service or the environment chooses the host, only the session itself can
// tell whether it is encrypted: see PostgresEncryption.h.
class PostgresOptions {
  public:
    // Raises DbError for a key or a value that is refused.
    explicit PostgresOptions(const ConnectionString& cs);

    // Sets the database's host, port, names and connect options.
    void applyTo(QSqlDatabase& db) const;
    // Where the open went, for the message of a failed open: the server or service, the TLS
    // settings, and, without a password, the password file that was to supply it.
    QString describe() const;
    // What asks for the client library's SSL mode in effect, `libpqMode` (its sslmode): the key
    // of the connection string, or else the service or the environment variable that gave it.
    QString sslModeOrigin(const QString& libpqMode) const;

  private:
    void readTarget(const ConnectionString& cs);
    void readTls(const ConnectionString& cs);
    void readCredentials(const ConnectionString& cs);
    void addOption(const QString& key, const char* name, const QString& value);

    QString server_;
    int port_ = -1;  // -1: the service's or the client library's
    QString database_;
    QString service_;
    QString user_;
    QString password_;
    QString sslMode_;     // as the connection string names it; empty: the client library's default
    QString sslModeKey_;  // the key that gave it: SSL Mode, or Root Certificate alone
    QString rootCertificate_;
    QString passwordFile_;  // the file that supplies the password when there is none
    QStringList options_;   // the client library's connect options, name='value'
};

}  // namespace xhook::data
