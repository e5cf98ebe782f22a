#include "data/PostgresOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iterator>
#include <optional>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

constexpr int kDefaultPort = 5432;
constexpr int kConnectTimeoutSeconds = 10;

// The pool's keys are read by the connection (ConnectionPool.h), the others here.
const QStringList kKnownKeys = {
    QStringLiteral("Server"),
    QStringLiteral("Port"),
    QStringLiteral("Database"),
    QStringLiteral("Service"),
    QStringLiteral("User ID"),
    QStringLiteral("Password"),
    QStringLiteral("Passfile"),
    QStringLiteral("SSL Mode"),
    QStringLiteral("Root Certificate"),
    QStringLiteral("Pooling"),
    QStringLiteral("Connection Lifetime"),
    QStringLiteral("Connection Idle Lifetime"),
};

struct SslMode {
    const char* name;   // in the connection string
    const char* libpq;  // the client library's sslmode
    bool encrypts;      // the connection fails rather than go unencrypted
    bool verifies;      // the server's certificate is checked against the root certificate
};

constexpr SslMode kSslModes[] = {
    {"Disable", "disable", false, false},      {"Prefer", "prefer", false, false},
    {"Require", "require", true, false},       {"VerifyCA", "verify-ca", true, true},
    {"VerifyFull", "verify-full", true, true},
};
constexpr const SslMode& kVerifyFull = kSslModes[std::size(kSslModes) - 1];

[[noreturn]] void refuse(const QString& problem) {
    throw DbError(DbErrorNumber::InvalidConnectionString, problem);
}

const SslMode& sslModeNamed(const QString& name) {
    QStringList names;
    for (const SslMode& mode : kSslModes) {
        if (name.compare(QLatin1String(mode.name), Qt::CaseInsensitive) == 0) return mode;
        names << QLatin1String(mode.name);
    }
    refuse(
        QStringLiteral("SSL Mode '%1' is not one of %2").arg(visibleText(name), names.join(u", ")));
}

int portOf(const ConnectionString& cs) {
    const QString text = cs.value(QStringLiteral("Port"));
    if (text.isEmpty()) return kDefaultPort;
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port <= 0 || port > 65535)
        refuse(QStringLiteral("Port '%1' is not a port number").arg(visibleText(text)));
    return port;
}

// The client library reaches a host name over TCP, and a path, an abstract socket name or no
// host at all through a unix socket.
bool isSocket(const QString& host) {
    return host.isEmpty() || host.startsWith('/') || host.startsWith('@');
}

// Server may list several hosts separated by ",", which the client library tries in turn: the
// first of them that it would reach through a unix socket, if any. No Server at all is the
// default socket.
std::optional<QString> socketHostOf(const QString& server) {
    for (const QString& host : server.split(','))
        if (isSocket(host)) return host;
    return std::nullopt;
}

// Where a refused encrypting mode would have gone, for its message.
QString socketDestination(const QString& server, const QString& socketHost) {
    if (server.isEmpty()) return QStringLiteral("without a Server, the default one");
    if (server == socketHost) return QStringLiteral("Server '%1'").arg(visibleText(server));
    if (socketHost.isEmpty())
        return QStringLiteral("an empty host of Server '%1', which stands for the default one")
            .arg(visibleText(server));
    return QStringLiteral("the host '%1' of Server '%2'")
        .arg(visibleText(socketHost), visibleText(server));
}

void requireReadableFile(const QString& key, const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        refuse(QStringLiteral("%1 '%2' does not exist").arg(key, visibleText(path)));
    if (!file.isFile() || !file.isReadable())
        refuse(
            QStringLiteral("%1 '%2' is not a file that can be read").arg(key, visibleText(path)));
}

// The client library ignores a password file that others may read, and only says so on
// standard error; here it is refused.
void requirePrivateFile(const QString& what, const QString& path) {
    requireReadableFile(what, path);
    constexpr QFile::Permissions kOthers = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                           QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (QFile::permissions(path) & kOthers)
        refuse(QStringLiteral("%1 '%2' may be read by other users, and the client library "
                              "ignores such a file; make it readable by its owner only "
                              "(chmod 600)")
                   .arg(what, visibleText(path)));
}

// Where the client library looks for passwords when the connection string names no file. It
// takes the home folder from the user database, which is HOME for every ordinary login.
QString defaultPasswordFile() {
    const QString named = qEnvironmentVariable("PGPASSFILE");
    return named.isEmpty() ? QDir::homePath() + QStringLiteral("/.pgpass") : named;
}

// A value in the client library's quoting.
QString quotedForLibrary(QString value) {
    value.replace('\\', QStringLiteral("\\\\"));
    value.replace('\'', QStringLiteral("\\'"));
    return '\'' + value + '\'';
}

}  // namespace

PostgresOptions::PostgresOptions(const ConnectionString& cs) {
    cs.refuseUnknownKeys(kKnownKeys, QStringLiteral("PostgreSQL"));
    options_ << QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutSeconds);
    readTarget(cs);
    readTls(cs);
    readCredentials(cs);
}

// A service names the server, port and database itself: given beside it, one of them would
// quietly win over the service file.
void PostgresOptions::readTarget(const ConnectionString& cs) {
    if (!cs.contains(QStringLiteral("Service"))) {
        server_ = cs.value(QStringLiteral("Server"));
        port_ = portOf(cs);
        database_ = cs.required(QStringLiteral("Database"));
        return;
    }
    service_ = cs.required(QStringLiteral("Service"));
    for (const QString& key :
         {QStringLiteral("Server"), QStringLiteral("Port"), QStringLiteral("Database")})
        if (cs.contains(key))
            refuse(QStringLiteral("%1 may not be given beside Service: the service '%2' names "
                                  "the server, port and database")
                       .arg(key, visibleText(service_)));
    addOption(QStringLiteral("Service"), "service", service_);
}

void PostgresOptions::readTls(const ConnectionString& cs) {
    const bool hasMode = cs.contains(QStringLiteral("SSL Mode"));
    const bool hasRoot = cs.contains(QStringLiteral("Root Certificate"));
    if (!hasMode && !hasRoot) return;
    const SslMode& mode =
        hasMode ? sslModeNamed(cs.required(QStringLiteral("SSL Mode"))) : kVerifyFull;
    sslMode_ = QLatin1String(mode.name);
    sslModeKey_ = hasMode ? QStringLiteral("SSL Mode") : QStringLiteral("Root Certificate");
    const std::optional<QString> socket = service_.isEmpty() ? socketHostOf(server_) : std::nullopt;
    if (mode.encrypts && socket)
        refuse(QStringLiteral("SSL Mode=%1 needs a connection over TCP, to a Server given by "
                              "its name or address; the client library never encrypts a unix "
                              "socket (%2)")
                   .arg(sslMode_, socketDestination(server_, *socket)));
    addOption(QStringLiteral("SSL Mode"), "sslmode", QLatin1String(mode.libpq));
    if (!hasRoot) return;
    rootCertificate_ = cs.required(QStringLiteral("Root Certificate"));
    if (!mode.verifies)
        refuse(QStringLiteral("Root Certificate is checked only with SSL Mode=VerifyCA or "
                              "VerifyFull, not with SSL Mode=%1")
                   .arg(sslMode_));
    requireReadableFile(QStringLiteral("Root Certificate"), rootCertificate_);
    addOption(QStringLiteral("Root Certificate"), "sslrootcert", rootCertificate_);
}

// An empty Password is no password: the driver passes none, and the password file applies.
void PostgresOptions::readCredentials(const ConnectionString& cs) {
    user_ = cs.value(QStringLiteral("User ID"));
    password_ = cs.value(QStringLiteral("Password"));
    if (!cs.contains(QStringLiteral("Passfile"))) {
        if (!password_.isEmpty()) return;
        passwordFile_ = defaultPasswordFile();
        if (QFileInfo::exists(passwordFile_))
            requirePrivateFile(QStringLiteral("The password file"), passwordFile_);
        return;
    }
    passwordFile_ = cs.required(QStringLiteral("Passfile"));
    if (!password_.isEmpty())
        refuse(
            QStringLiteral("Passfile is read only without a Password, and the connection "
                           "string gives both; leave one out"));
    requirePrivateFile(QStringLiteral("Passfile"), passwordFile_);
    addOption(QStringLiteral("Passfile"), "passfile", passwordFile_);
}

// Qt's driver turns every ';' of the options into a blank, its separator, so a value with one
// cannot be passed.
void PostgresOptions::addOption(const QString& key, const char* name, const QString& value) {
    if (value.contains(';'))
        refuse(QStringLiteral("%1 '%2' holds a ';', which cannot reach the client library")
                   .arg(key, visibleText(value)));
    options_ << QLatin1String(name) + '=' + quotedForLibrary(value);
}

void PostgresOptions::applyTo(QSqlDatabase& db) const {
    db.setHostName(server_);
    db.setPort(port_);
    db.setDatabaseName(database_);
    db.setUserName(user_);
    db.setPassword(password_);
    db.setConnectOptions(options_.join(';'));
}

QString PostgresOptions::describe() const {
    QString text = service_.isEmpty()
                       ? QStringLiteral("opening database '%1' on '%2' port %3")
                             .arg(visibleText(database_), visibleText(server_))
                             .arg(port_)
                       : QStringLiteral("opening the service '%1'").arg(visibleText(service_));
    if (!sslMode_.isEmpty()) text += QStringLiteral(" with SSL Mode=%1").arg(sslMode_);
    if (!rootCertificate_.isEmpty())
        text +=
            QStringLiteral(" against the Root Certificate '%1'").arg(visibleText(rootCertificate_));
    if (!passwordFile_.isEmpty())
        text += QStringLiteral(
                    "; no Password: a password that the server asks for comes from "
                    "the password file '%1'")
                    .arg(visibleText(passwordFile_));
    return text;
}

// Without the keys, the client library takes the mode from the service file first and from the
// environment after it; where both could have given it, both are named.
QString PostgresOptions::sslModeOrigin(const QString& libpqMode) const {
    if (sslModeKey_ == QLatin1String("SSL Mode"))
        return QStringLiteral("SSL Mode=%1").arg(sslMode_);
    if (!sslModeKey_.isEmpty())
        return QStringLiteral("Root Certificate (which means SSL Mode=%1)").arg(sslMode_);
    const QString service = service_.isEmpty() ? qEnvironmentVariable("PGSERVICE") : service_;
    const QString environment = qEnvironmentVariable("PGSSLMODE");
    const QString fromService = QStringLiteral("the service '%1' (sslmode=%2 in its service file)")
                                    .arg(visibleText(service), libpqMode);
    const QString fromEnvironment =
        QStringLiteral("the environment variable PGSSLMODE=%1").arg(visibleText(environment));
    if (environment.isEmpty() || environment != libpqMode)
        return service.isEmpty() ? QStringLiteral("the client library's sslmode=%1").arg(libpqMode)
                                 : fromService;
    return service.isEmpty()
               ? fromEnvironment
               : fromEnvironment +
                     QStringLiteral(" (or the service '%1')").arg(visibleText(service));
}

}  // namespace xhook::data
