// Encryption and credentials against the test server: TLS verified against the server's own
// authority, a login by scram-sha-256 whose password lives only in a password file, a service of
// the client library's service file, and no password in any message, statement log or settings
// output. scripts/pg-test-server makes the certificates, the user and the password file, and
// writes the connection string of that user (XHOOK_PG_TLS_CONNECTION).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <chrono>
#include <thread>
#include <utility>

#include "data/Connection.h"
#include "data/ConnectionPool.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/ResultSet.h"
#include "data/StatementLog.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ToolRunner.h"

using namespace xhook;
using namespace xhook::test;
using data::Connection;
using data::DbError;

namespace {

constexpr const char* kTlsVariable = "XHOOK_PG_TLS_CONNECTION";
const QString kWrongPassword = QStringLiteral("Wr0ng-8d41c7-password");

// Sets an environment variable for the life of the scope (empty: unset).
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const QString& value)
        : name_(name), before_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        set(value.toUtf8());
    }
    ~ScopedVariable() { had_ ? (void)qputenv(name_, before_) : (void)qunsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void set(const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name_);
        else
            qputenv(name_, value);
    }

  private:
    const char* name_;
    QByteArray before_;
    bool had_;
};

// The items of a connection string without quoted values, in order.
using Items = QList<std::pair<QString, QString>>;

Items itemsOf(const QString& text) {
    Items items;
    for (const QString& item : text.split(';', Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf('=');
        items.append({item.left(equals), item.mid(equals + 1)});
    }
    return items;
}

// The connection string with `changes` made: a key set to a value, or removed by a null one.
QString changed(const QString& text, const Items& changes) {
    Items items = itemsOf(text);
    for (const auto& [key, value] : changes) {
        items.removeIf([&](const auto& item) { return item.first == key; });
        if (!value.isNull()) items.append({key, value});
    }
    QStringList parts;
    for (const auto& [key, value] : items) parts << key + '=' + value;
    return parts.join(';');
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

class TlsCredentialsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        XHOOK_SKIP_WITHOUT_SERVER(Backend::PostgreSQL);
        tls = qEnvironmentVariable(kTlsVariable);
        ASSERT_FALSE(tls.isEmpty())
            << kTlsVariable << " is not set; scripts/test sets it beside XHOOK_PG_CONNECTION";
        // Every open logs in afresh: a pooled session would skip the login under test.
        tls = changed(tls, {{"Pooling", "false"}});
        const data::ConnectionString cs = data::ConnectionString::parse(tls);
        passfile = cs.value("Passfile");
        rootCertificate = cs.value("Root Certificate");
        otherAuthority = QFileInfo(rootCertificate).dir().filePath("other-ca.crt");
        port = cs.value("Port");
        QFile file(passfile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << passfile.toStdString();
        password = QString::fromUtf8(file.readAll()).trimmed().section(':', -1);
        ASSERT_FALSE(password.isEmpty());
        // The machine's own ~/.pgpass never takes part: the default file is an empty one.
        emptyPassfile = dir.file("empty-pgpass");
        writeFile(emptyPassfile, "");
        defaultPassfile.set(emptyPassfile.toUtf8());
    }

    // Opens the connection string and answers whether the session is encrypted, after checking
    // that it is the scram user's.
    bool openedEncrypted(const QString& text) {
        Connection connection;
        connection.setConnectionString(text);
        connection.open();
        auto row = connection.openResultSet(
            "select s.ssl, current_user as login from pg_stat_ssl s where s.pid = "
            "pg_backend_pid()");
        EXPECT_FALSE(row->eof());
        EXPECT_EQ(row->value("login").toString(), "xhook_scram");
        return row->value("ssl").toBool();
    }

    static DbError openError(const QString& text) {
        return raisedBy<DbError>([&] {
            Connection connection;
            connection.setConnectionString(text);
            connection.open();
        });
    }

    void expectNoPassword(const QString& text) const {
        EXPECT_FALSE(text.contains(password)) << text.toStdString();
        EXPECT_FALSE(text.contains(kWrongPassword)) << text.toStdString();
    }

    TempDir dir;
    QString tls, passfile, rootCertificate, otherAuthority, port, password, emptyPassfile;
    ScopedVariable defaultPassfile{"PGPASSFILE", {}};
};

TEST_F(TlsCredentialsTest, TheServersPasswordIsKeptForScramOnly) {
    Connection admin;
    admin.setConnectionString(postgresServerConnection());
    admin.open();
    auto row = admin.openResultSet(
        "select rolpassword like 'SCRAM-SHA-256$%' as scram from pg_authid where rolname = "
        "'xhook_scram'");
    ASSERT_FALSE(row->eof());
    EXPECT_TRUE(row->value("scram").toBool());
}

TEST_F(TlsCredentialsTest, ConnectionsThatTheKeysMake) {
    const QString pgpass = dir.file("pgpass");
    const QString home = dir.file("home");
    QDir().mkpath(home);
    for (const QString& copy : {pgpass, home + "/.pgpass"}) {
        QFile::copy(passfile, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    }
    const struct {
        const char* what;
        Items changes;
        QString pgpassfile;  // PGPASSFILE; else the empty file, or none when `home` is given
        QString home;        // HOME, whose .pgpass is the default password file
        bool encrypted;
    } cases[] = {
        {"VerifyFull, the password in the Passfile", {}, {}, {}, true},
        {"VerifyCA", {{"SSL Mode", "VerifyCA"}}, {}, {}, true},
        {"a Root Certificate alone verifies in full", {{"SSL Mode", {}}}, {}, {}, true},
        {"VerifyFull to the server's address", {{"Server", "127.0.0.1"}}, {}, {}, true},
        {"Require, no certificate checked",
         {{"SSL Mode", "Require"}, {"Root Certificate", {}}},
         {},
         {},
         true},
        {"Disable", {{"SSL Mode", "Disable"}, {"Root Certificate", {}}}, {}, {}, false},
        {"the default password file PGPASSFILE", {{"Passfile", {}}}, pgpass, {}, true},
        {"the default password file ~/.pgpass", {{"Passfile", {}}}, {}, home, true},
        {"the password in the connection string",
         {{"Passfile", {}}, {"Password", password}},
         {},
         {},
         true},
    };
    const QString ownHome = qEnvironmentVariable("HOME");
    ScopedVariable homeFolder("HOME", ownHome);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString named = !c.pgpassfile.isEmpty() ? c.pgpassfile
                              : c.home.isEmpty()      ? emptyPassfile
                                                      : QString();
        defaultPassfile.set(named.toUtf8());
        homeFolder.set((c.home.isEmpty() ? ownHome : c.home).toUtf8());
        bool encrypted = !c.encrypted;
        EXPECT_NO_THROW(encrypted = openedEncrypted(changed(tls, c.changes)));
        EXPECT_EQ(encrypted, c.encrypted);
    }
}

TEST_F(TlsCredentialsTest, RefusedConnectionsSayWhyWithoutThePassword) {
    const struct {
        const char* what;
        Items changes;
        QStringList said;
    } cases[] = {
        {"another authority",
         {{"Root Certificate", otherAuthority}},
         {"certificate verify failed",
          "with SSL Mode=VerifyFull against the Root Certificate '" + otherAuthority + "'"}},
        {"another authority, VerifyCA",
         {{"SSL Mode", "VerifyCA"}, {"Root Certificate", otherAuthority}},
         {"certificate verify failed", "with SSL Mode=VerifyCA"}},
        {"another authority given alone",
         {{"SSL Mode", {}}, {"Root Certificate", otherAuthority}},
         {"certificate verify failed", "with SSL Mode=VerifyFull"}},
        {"a wrong password",
         {{"Passfile", {}}, {"Password", kWrongPassword}},
         {"password authentication failed for user \"xhook_scram\"",
          "opening database 'xhook_test' on 'localhost' port " + port}},
        {"no password anywhere",
         {{"Passfile", {}}},
         {"no password supplied",
          "no Password: a password that the server asks for comes from the password file '" +
              emptyPassfile + "'"}},
        {"a service that the service file lacks",
         {{"Server", {}}, {"Port", {}}, {"Database", {}}, {"Service", "xhook_none"}},
         {"definition of service \"xhook_none\" not found", "opening the service 'xhook_none'"}},
    };
    const QString services = dir.file("pg_service.conf");
    writeFile(services, "[other]\nhost=localhost\n");
    ScopedVariable serviceFile("PGSERVICEFILE", services);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DbError error = openError(changed(tls, c.changes));
        for (const QString& said : c.said)
            EXPECT_TRUE(error.description().contains(said)) << error.description().toStdString();
        expectNoPassword(error.description());
    }
}

TEST_F(TlsCredentialsTest, AServiceNamesTheServerPortAndDatabase) {
    const QString services = dir.file("pg_service.conf");
    writeFile(
        services,
        QStringLiteral("[xhook]\nhost=localhost\nport=%1\ndbname=xhook_test\n").arg(port).toUtf8());
    ScopedVariable serviceFile("PGSERVICEFILE", services);
    EXPECT_TRUE(openedEncrypted(
        changed(tls, {{"Server", {}}, {"Port", {}}, {"Database", {}}, {"Service", "xhook"}})));
}

// Sessions of an application name that the server holds besides the asking one, asked on a
// connection of the server's administrator; a session that the client closed is given a moment
// to end.
int serverSessionsOf(Connection& admin, const QString& applicationName) {
    int count = -1;
    for (int attempt = 0; attempt < 30; ++attempt) {
        count =
            admin
                .openResultSet("select count(*) from pg_stat_activity where application_name = '" +
                               applicationName + "' and pid <> pg_backend_pid()")
                ->value(0)
                .toInt();
        if (count == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return count;
}

// Encryption that the connection string, a service or the environment asks for is either what
// the server reports for the session (pg_stat_ssl), or the session is refused, naming what asked,
// and the server holds no session of it. The attack's two ways past the check of Server: a host
// list with a unix socket in it, and a service whose file names the socket.
TEST_F(TlsCredentialsTest, EncryptionAskedForIsGivenOrTheSessionRefused) {
    const QString socket = QFileInfo(rootCertificate).dir().filePath("../socket");
    ASSERT_TRUE(QFileInfo(socket).isDir()) << socket.toStdString();
    const QString services = dir.file("pg_service.conf");
    const QString target = QStringLiteral("port=%1\ndbname=xhook_test\n").arg(port);
    writeFile(services,
              ("[socket]\nhost=" + socket + "\n" + target + "[socket_require]\nhost=" + socket +
               "\nsslmode=require\n" + target + "[tcp]\nhost=localhost\n" + target)
                  .toUtf8());
    Connection admin;  // opened before the environment of the cases is set
    admin.setConnectionString(postgresServerConnection() + ";Pooling=false");
    admin.open();
    ScopedVariable serviceFile("PGSERVICEFILE", services);
    ScopedVariable sslModeVariable("PGSSLMODE", {});
    ScopedVariable applicationName("PGAPPNAME", {});
    const Items noTarget = {{"Server", {}}, {"Port", {}}, {"Database", {}}};
    const auto service = [&](const char* name, Items changes) {
        changes.append(noTarget);
        changes.append(std::pair<QString, QString>("Service", name));
        return changes;
    };
    const QString require = "SSL Mode=Require";
    const struct {
        const char* what;
        Items changes;
        QString sslModeVariable;
        bool opens;        // the session is opened (and the server says whether it is encrypted)
        bool encrypted;    // when it opens
        QStringList said;  // when it is refused
    } cases[] = {
        {"a host list that ends in the socket, Require",
         {{"Server", "localhost," + socket}, {"SSL Mode", "Require"}, {"Root Certificate", {}}},
         {},
         false,
         false,
         {require + " needs a connection over TCP", "the host '" + socket + "' of Server"}},
        {"a host list that begins with the socket, VerifyFull",
         {{"Server", socket + ",localhost"}},
         {},
         false,
         false,
         {"SSL Mode=VerifyFull needs a connection over TCP"}},
        {"a service towards the socket, Require",
         service("socket", {{"SSL Mode", "Require"}, {"Root Certificate", {}}}),
         {},
         false,
         false,
         {require + " asks for an encrypted session",
          "without encryption through the unix socket '" + socket}},
        {"a service towards the socket, VerifyFull",
         service("socket", {}),
         {},
         false,
         false,
         {"SSL Mode=VerifyFull asks for an encrypted session", "closed before any statement"}},
        {"a service towards the socket, a Root Certificate alone",
         service("socket", {{"SSL Mode", {}}}),
         {},
         false,
         false,
         {"Root Certificate (which means SSL Mode=VerifyFull) asks for an encrypted session"}},
        {"a service whose file asks for require, towards the socket",
         service("socket_require", {{"SSL Mode", {}}, {"Root Certificate", {}}}),
         {},
         false,
         false,
         {"the service 'socket_require' (sslmode=require in its service file) asks for an "
          "encrypted session"}},
        {"PGSSLMODE=require and a service towards the socket",
         service("socket", {{"SSL Mode", {}}, {"Root Certificate", {}}}),
         "require",
         false,
         false,
         {"the environment variable PGSSLMODE=require (or the service 'socket') asks for an "
          "encrypted session"}},
        {"PGSSLMODE=verify-full and a host list with the socket, SSL Mode=Prefer",
         {{"Server", "localhost," + socket}, {"SSL Mode", "Prefer"}, {"Root Certificate", {}}},
         "verify-full",
         true,
         true,
         {}},
        {"a host list of TCP hosts, VerifyFull",
         {{"Server", "localhost,127.0.0.1"}},
         {},
         true,
         true,
         {}},
        {"a service over TCP, Require",
         service("tcp", {{"SSL Mode", "Require"}, {"Root Certificate", {}}}),
         {},
         true,
         true,
         {}},
        {"a service towards the socket, Disable",
         service("socket", {{"SSL Mode", "Disable"}, {"Root Certificate", {}}}),
         "require",
         true,
         false,
         {}},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("xhook-tls-case-%1").arg(++number);
        applicationName.set(name.toUtf8());
        sslModeVariable.set(c.sslModeVariable.toUtf8());
        const QString text = changed(tls, c.changes);
        if (c.opens) {
            bool encrypted = !c.encrypted;
            EXPECT_NO_THROW(encrypted = openedEncrypted(text));
            EXPECT_EQ(encrypted, c.encrypted) << "as the server reports it";
            continue;
        }
        const DbError error = openError(text);
        EXPECT_EQ(error.number(), data::DbErrorNumber::InvalidConnectionString);
        for (const QString& said : c.said)
            EXPECT_TRUE(error.description().contains(said)) << error.description().toStdString();
        expectNoPassword(error.description());
        EXPECT_EQ(serverSessionsOf(admin, name), 0)
            << "the server holds no session of the refused open";
    }
}

// A pooled session was checked when it was opened, and a refused one never reaches the pool. A
// kept session serves only an open under the same client-library environment: with PGSSLMODE
// now asking for encryption, the unencrypted session kept before is not handed out.
TEST_F(TlsCredentialsTest, ThePoolNeverHandsOutASessionThatTheCheckRefuses) {
    const QString socket = QFileInfo(rootCertificate).dir().filePath("../socket");
    const QString services = dir.file("pg_service.conf");
    writeFile(services, QStringLiteral("[socket]\nhost=%1\nport=%2\ndbname=xhook_test\n")
                            .arg(socket, port)
                            .toUtf8());
    ScopedVariable serviceFile("PGSERVICEFILE", services);
    ScopedVariable sslModeVariable("PGSSLMODE", {});
    data::ConnectionPool& pool = data::ConnectionPool::ofThisThread();
    pool.clear();
    const QString pooled = changed(
        tls,
        {{"Pooling", {}}, {"Server", {}}, {"Port", {}}, {"Database", {}}, {"Service", "socket"}});

    for (int open = 0; open < 2; ++open) {
        EXPECT_THROW(openedEncrypted(pooled), DbError) << "VerifyFull through the socket";
        EXPECT_EQ(pool.idleCount(), 0);
    }
    const QString unasked = changed(pooled, {{"SSL Mode", {}}, {"Root Certificate", {}}});
    EXPECT_FALSE(openedEncrypted(unasked)) << "nothing asks for encryption";
    EXPECT_EQ(pool.idleCount(), 1);
    sslModeVariable.set("require");
    const DbError error = openError(unasked);
    EXPECT_TRUE(error.description().contains("PGSSLMODE=require")) << error.what();
    EXPECT_EQ(pool.idleCount(), 1) << "the session kept under the other environment stays kept";
    sslModeVariable.set({});
    EXPECT_FALSE(openedEncrypted(unasked));
    pool.clear();
}

// The statement log records what the layer sends, the tool prints the settings and the errors
// that reach it: none of them holds the password of the connection string.
TEST_F(TlsCredentialsTest, NoPasswordInTheStatementLogTheSettingsOrTheToolsMessages) {
    const QString withPassword = changed(tls, {{"Passfile", {}}, {"Password", password}});
    data::StatementLog::start();
    {
        Connection connection;
        connection.setConnectionString(withPassword);
        connection.open();
        connection.execute("select 1");
        EXPECT_THROW(connection.execute("select * from xhook_no_such_table"), DbError);
    }
    data::StatementLog::stop();
    ASSERT_FALSE(data::StatementLog::entries().isEmpty());
    for (const auto& entry : data::StatementLog::entries()) {
        expectNoPassword(entry.text);
        for (const QVariant& value : entry.values) expectNoPassword(value.toString());
    }

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    writeSetting("DBOperation", "DBConnectionString", withPassword);
    const ToolRun settings = runXouthook({"settings"}, environment);
    EXPECT_EQ(settings.status, 0) << settings.err.toStdString();
    EXPECT_TRUE(settings.out.contains(";Password=***")) << settings.out.toStdString();
    expectNoPassword(settings.out + settings.err);
    const ToolRun show = runXouthook({"show", "invoices", "1001"}, environment);
    EXPECT_NE(show.status, 0);
    EXPECT_TRUE(show.err.contains("does not exist")) << show.err.toStdString();
    expectNoPassword(show.out + show.err);

    writeSetting("DBOperation", "DBConnectionString",
                 changed(tls, {{"Passfile", {}}, {"Password", kWrongPassword}}));
    const ToolRun refused = runXouthook({"show", "invoices", "1001"}, environment);
    EXPECT_NE(refused.status, 0);
    EXPECT_TRUE(refused.err.contains("password authentication failed"))
        << refused.err.toStdString();
    expectNoPassword(refused.out + refused.err);
    const ToolRun shown = runXouthook({"settings"}, environment);
    EXPECT_TRUE(shown.out.contains(";Password=***")) << shown.out.toStdString();
    expectNoPassword(shown.out + shown.err);
}

}  // namespace
