#include "data/SqlServerOptions.h"

#include <optional>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/FreeTdsConfig.h"
#include "data/OdbcConnectString.h"

namespace xhook::data {

namespace {

const QString kDriver = QStringLiteral("FreeTDS");
constexpr int kDefaultLoginTimeout = 15;

// Every key of the providers' strings, as their data-link dialog writes them, and the pool's.
const QStringList kKnownKeys = {
    QStringLiteral("Data Source"),
    QStringLiteral("Initial Catalog"),
    QStringLiteral("User ID"),
    QStringLiteral("Password"),
    QStringLiteral("Integrated Security"),
    QStringLiteral("Connect Timeout"),
    QStringLiteral("Application Name"),
    QStringLiteral("Workstation ID"),
    QStringLiteral("Network Library"),
    QStringLiteral("Use Procedure for Prepare"),
    QStringLiteral("Auto Translate"),
    QStringLiteral("Packet Size"),
    QStringLiteral("Tag with column collation when possible"),
    QStringLiteral("Locale Identifier"),
    QStringLiteral("Current Language"),
    QStringLiteral("General Timeout"),
    QStringLiteral("Initial File Name"),
    QStringLiteral("Server SPN"),
    QStringLiteral("Encrypt"),
    QStringLiteral("Use Encryption for Data"),
    QStringLiteral("TrustServerCertificate"),
    QStringLiteral("Trust Server Certificate"),
    QStringLiteral("Pooling"),
    QStringLiteral("Connection Lifetime"),
    QStringLiteral("Connection Idle Lifetime"),
};

[[noreturn]] void refuse(const QString& problem) {
    throw DbError(DbErrorNumber::InvalidConnectionString, problem);
}

// A flag as the providers write it; `fallback` when the key is absent or empty.
bool flagOf(const ConnectionString& cs, const QString& key, bool fallback) {
    const QString value = cs.value(key);
    if (value.isEmpty()) return fallback;
    if (isOneOf(value, {"true", "yes", "1"})) return true;
    if (isOneOf(value, {"false", "no", "0"})) return false;
    refuse(QStringLiteral("%1 '%2' is not True or False").arg(key, value));
}

int numberOf(const ConnectionString& cs, const QString& key, int lowest, int highest) {
    const QString value = cs.value(key);
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < lowest || number > highest)
        refuse(QStringLiteral("%1 '%2' is not a whole number from %3 to %4")
                   .arg(key, value)
                   .arg(lowest)
                   .arg(highest));
    return number;
}

// Encrypt and Use Encryption for Data: True, Yes and Mandatory encrypt with the certificate
// checked, False, No and Optional leave it to the server. MSOLEDBSQL19 encrypts by default.
std::optional<bool> encryptionAsked(const ConnectionString& cs, const QString& key) {
    const QString value = cs.value(key);
    if (value.isEmpty()) return std::nullopt;
    if (isOneOf(value, {"true", "yes", "mandatory"})) return true;
    if (isOneOf(value, {"false", "no", "optional"})) return false;
    if (isOneOf(value, {"strict"}))
        refuse(QStringLiteral("%1=Strict (TDS 8) is not offered by this system's FreeTDS; write "
                              "%1=Mandatory")
                   .arg(key));
    refuse(QStringLiteral("%1 '%2' is not True, False, Mandatory or Optional").arg(key, value));
}

// host, host\instance, host,port and host\instance,port (the port wins), after an optional
// "tcp:"; the other networks of the native clients do not exist here.
struct Address {
    QString host;
    QString instance;
    int port = 0;
};

Address addressOf(QString text) {
    if (text.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) text = text.mid(4).trimmed();
    for (const char* prefix : {"np:", "lpc:", "admin:"})
        if (text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            refuse(QStringLiteral("Data Source '%1' names a network that FreeTDS does not have; "
                                  "it reaches a server over TCP only (host, host\\instance or "
                                  "host,port)")
                       .arg(text));
    Address address;
    const qsizetype comma = text.indexOf(',');
    if (comma >= 0) {
        bool ok = false;
        address.port = text.mid(comma + 1).trimmed().toInt(&ok);
        if (!ok || address.port <= 0 || address.port > 65535)
            refuse(QStringLiteral("Data Source '%1' names no port number after its ','").arg(text));
        text = text.left(comma).trimmed();
    }
    const qsizetype backslash = text.indexOf('\\');
    address.host = text.left(backslash).trimmed();
    if (backslash >= 0 && address.port == 0) address.instance = text.mid(backslash + 1).trimmed();
    if (address.host == QLatin1String(".") ||
        address.host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        address.host = QStringLiteral("localhost");
    if (address.host.isEmpty())
        refuse(QStringLiteral("Data Source '%1' names no server").arg(text));
    return address;
}

}  // namespace

SqlServerOptions::SqlServerOptions(const ConnectionString& cs) {
    cs.refuseUnknownKeys(kKnownKeys, cs.provider());
    readLogin(cs);
    readTarget(cs);
    readEncryption(cs, cs.provider());
    readTuning(cs);
}

// A Windows login has no ticket here; the native clients' other networks do not exist either.
void SqlServerOptions::readLogin(const ConnectionString& cs) {
    const QString integrated = cs.value(QStringLiteral("Integrated Security"));
    if (isOneOf(integrated, {"sspi", "true", "yes"}))
        refuse(QStringLiteral(
                   "Integrated Security=%1 asks for a Windows login, which this system cannot "
                   "give; write the User ID and Password of a SQL Server login instead")
                   .arg(integrated));
    if (!integrated.isEmpty() && !isOneOf(integrated, {"false", "no"}))
        refuse(QStringLiteral("Integrated Security '%1' is not SSPI or False").arg(integrated));
    const QString network = cs.value(QStringLiteral("Network Library"));
    if (!network.isEmpty() && !isOneOf(network, {"dbmssocn"}))
        refuse(QStringLiteral("Network Library=%1 is not TCP/IP; FreeTDS reaches a server over "
                              "TCP only (Network Library=DBMSSOCN)")
                   .arg(network));
    add(QStringLiteral("User ID"), "UID", cs.value(QStringLiteral("User ID")));
    add(QStringLiteral("Password"), "PWD", cs.value(QStringLiteral("Password")));
}

// A Data Source that names a server of FreeTDS's configuration file goes there by name, so that
// the file's settings (its address, its certificate authority) apply; any other is an address.
void SqlServerOptions::readTarget(const ConnectionString& cs) {
    dataSource_ = cs.required(QStringLiteral("Data Source"));
    if (FreeTdsServerConfig::find(dataSource_)) {
        configuredServer_ = dataSource_;
        add(QStringLiteral("Data Source"), "Servername", dataSource_);
    } else {
        const Address address = addressOf(dataSource_);
        host_ = address.host;
        instance_ = address.instance;
        port_ = address.port;
        add(QStringLiteral("Data Source"), "Server",
            instance_.isEmpty() ? host_ : host_ + '\\' + instance_);
        if (port_ > 0) add(QStringLiteral("Data Source"), "Port", QString::number(port_));
    }
    database_ = cs.value(QStringLiteral("Initial Catalog"));
    add(QStringLiteral("Initial Catalog"), "Database", database_);
}

// FreeTDS checks a certificate only against the authority that a server of its configuration
// file names ("ca file"); a check that it would not make is refused rather than left out.
void SqlServerOptions::readEncryption(const ConnectionString& cs, const QString& provider) {
    const std::optional<bool> encrypt = encryptionAsked(cs, QStringLiteral("Encrypt"));
    const std::optional<bool> forData =
        encryptionAsked(cs, QStringLiteral("Use Encryption for Data"));
    if (encrypt && forData && *encrypt != *forData)
        refuse(
            QStringLiteral("Encrypt and Use Encryption for Data say different things; "
                           "give one of them"));
    const bool encryptsByDefault =
        provider.startsWith(QLatin1String("MSOLEDBSQL19"), Qt::CaseInsensitive);
    encrypted_ = encrypt.value_or(forData.value_or(encryptsByDefault));
    const bool trusted = flagOf(cs, QStringLiteral("TrustServerCertificate"), false) ||
                         flagOf(cs, QStringLiteral("Trust Server Certificate"), false);
    if (!encrypted_) return;
    items_ << QStringLiteral("Encryption=require");
    certificateChecked_ = !trusted;
    if (!certificateChecked_) return;
    const std::optional<FreeTdsServerConfig> config =
        configuredServer_.isEmpty() ? std::nullopt : FreeTdsServerConfig::find(configuredServer_);
    if (config && !config->value(QStringLiteral("ca file")).isEmpty() &&
        !isOneOf(config->value(QStringLiteral("check certificate hostname")),
                 {"no", "off", "false"}))
        return;
    refuse(QStringLiteral(
               "Encrypt asks for the server's certificate to be checked, and FreeTDS checks it "
               "only for a server of its configuration file with a certificate authority: add "
               "a section [%1] with host, port and 'ca file' (the authority's certificate, or "
               "'system') to %2, or write TrustServerCertificate=True for TLS without the check")
               .arg(dataSource_, FreeTdsServerConfig::searchPath().last()));
}

void SqlServerOptions::readTuning(const ConnectionString& cs) {
    if (cs.contains(QStringLiteral("Connect Timeout")))
        loginTimeout_ = numberOf(cs, QStringLiteral("Connect Timeout"), 0, 65535);
    else
        loginTimeout_ = kDefaultLoginTimeout;
    add(QStringLiteral("Application Name"), "APP", cs.value(QStringLiteral("Application Name")));
    add(QStringLiteral("Workstation ID"), "WSID", cs.value(QStringLiteral("Workstation ID")));
    if (cs.contains(QStringLiteral("Packet Size")))
        add(QStringLiteral("Packet Size"), "PacketSize",
            QString::number(numberOf(cs, QStringLiteral("Packet Size"), 512, 32767)));
    add(QStringLiteral("Current Language"), "Language",
        cs.value(QStringLiteral("Current Language")));
    if (cs.contains(QStringLiteral("General Timeout"))) {
        const int seconds = numberOf(cs, QStringLiteral("General Timeout"), 0, 65535);
        if (seconds > 0)
            add(QStringLiteral("General Timeout"), "Timeout", QString::number(seconds));
    }
    if (cs.contains(QStringLiteral("Locale Identifier")))
        numberOf(cs, QStringLiteral("Locale Identifier"), 0, 0x7fffffff);
    for (const char* key : {"Auto Translate", "Tag with column collation when possible"})
        flagOf(cs, QLatin1String(key), false);
    if (cs.contains(QStringLiteral("Use Procedure for Prepare")))
        numberOf(cs, QStringLiteral("Use Procedure for Prepare"), 0, 2);
    add(QStringLiteral("Initial File Name"), "AttachDbFilename",
        cs.value(QStringLiteral("Initial File Name")));
    add(QStringLiteral("Server SPN"), "ServerSPN", cs.value(QStringLiteral("Server SPN")));
}

// An empty value is left out: the driver's default applies.
void SqlServerOptions::add(const QString& key, const char* odbcKey, const QString& value) {
    if (value.isEmpty()) return;
    items_ << QLatin1String(odbcKey) + '=' + odbcValue(key, value);
}

QString SqlServerOptions::odbcConnectString() const {
    return QStringLiteral("Driver={%1};").arg(kDriver) + items_.join(';');
}

QString SqlServerOptions::describe() const {
    QString where =
        configuredServer_.isEmpty()
            ? QStringLiteral("server '%1'").arg(host_) +
                  (port_ > 0             ? QStringLiteral(" port %1").arg(port_)
                   : instance_.isEmpty() ? QStringLiteral(" port 1433")
                                         : QStringLiteral(" instance '%1'").arg(instance_))
            : QStringLiteral("the server '%1' of FreeTDS's configuration file")
                  .arg(configuredServer_);
    if (!database_.isEmpty()) where += QStringLiteral(", database '%1'").arg(database_);
    return QStringLiteral("opening %1 through FreeTDS%2")
        .arg(where, encrypted_ ? (certificateChecked_
                                      ? QStringLiteral(" with TLS, certificate checked")
                                      : QStringLiteral(" with TLS, certificate not checked"))
                               : QString());
}

}  // namespace xhook::data
