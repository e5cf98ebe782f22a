// The PostgreSQL provider's keys: what it refuses before it reaches for a server, and that the
// refusal names the key and never holds the password. The connections that these keys make are
// tested against the test server in postgres_tls_credentials_test.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "data/Connection.h"
#include "data/DbError.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook::data;
using xhook::test::raisedBy;
using xhook::test::TempDir;

namespace {

const QString kSecret = QStringLiteral("Ss-7f3e9a-secret");

class PostgresOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        certificate = writeFile("ca.crt", QFile::ReadOwner | QFile::WriteOwner);
        privateFile = writeFile("passfile", QFile::ReadOwner | QFile::WriteOwner);
        sharedFile =
            writeFile("shared-passfile", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QDir().mkpath(dir.file("a;b"));
        semicolonFile = writeFile("a;b/ca.crt", QFile::ReadOwner | QFile::WriteOwner);
    }

    QString writeFile(const QString& name, QFile::Permissions permissions) {
        QFile file(dir.file(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("*:*:*:*:x\n");
        file.close();
        file.setPermissions(permissions);
        return file.fileName();
    }

    static DbError openError(const QString& text) {
        return raisedBy<DbError>([&] {
            Connection connection;
            connection.setConnectionString(text);
            connection.open();
        });
    }

    TempDir dir;
    QString certificate, privateFile, sharedFile, semicolonFile;
};

TEST_F(PostgresOptionsTest, RefusedKeysAndValuesAreNamedWithoutThePassword) {
    const QString server = "Provider=PostgreSQL;Server=db.example;Database=erp;User ID=u";
    const QString withPassword = server + ";Password=" + kSecret;
    const struct {
        QString text;
        QString said;
    } cases[] = {
        {withPassword + ";Sslmode=require",
         "key \"Sslmode\" is not one that the PostgreSQL provider knows (it knows Server, Port, "
         "Database, Service, User ID, Password, Passfile, SSL Mode, Root Certificate, Pooling, "
         "Connection Lifetime, Connection Idle Lifetime)"},
        {withPassword + ";Mode=Read", "key \"Mode\" is not one that the PostgreSQL provider"},
        {withPassword + ";Pwd=" + kSecret, "key \"Pwd\" is not one"},
        {withPassword + ";SSL Mode=Sometimes",
         "SSL Mode 'Sometimes' is not one of Disable, Prefer, Require, VerifyCA, VerifyFull"},
        {withPassword + ";SSL Mode=", "lacks the key \"SSL Mode\""},
        {"Provider=PostgreSQL;Server=/run/postgresql;Database=erp;SSL Mode=VerifyFull",
         "SSL Mode=VerifyFull needs a connection over TCP, to a Server given by its name or "
         "address; the client library never encrypts a unix socket (Server '/run/postgresql')"},
        {"Provider=PostgreSQL;Database=erp;Password=" + kSecret + ";SSL Mode=Require",
         "never encrypts a unix socket (without a Server, the default one)"},
        {"Provider=PostgreSQL;Server=db.example,/run/postgresql;Database=erp;SSL Mode=Require",
         "SSL Mode=Require needs a connection over TCP, to a Server given by its name or "
         "address; the client library never encrypts a unix socket (the host '/run/postgresql' "
         "of Server 'db.example,/run/postgresql')"},
        {"Provider=PostgreSQL;Server=/run/postgresql,db.example;Database=erp;Root Certificate=" +
             certificate,
         "SSL Mode=VerifyFull needs a connection over TCP, to a Server given by its name or "
         "address; the client library never encrypts a unix socket (the host '/run/postgresql' "
         "of Server '/run/postgresql,db.example')"},
        {"Provider=PostgreSQL;Server=db.example,@xhook-abstract;Database=erp;Password=" + kSecret +
             ";SSL Mode=VerifyCA;Root Certificate=" + certificate,
         "(the host '@xhook-abstract' of Server 'db.example,@xhook-abstract')"},
        {"Provider=PostgreSQL;Server=db.example,,db2.example;Database=erp;SSL Mode=Require",
         "(an empty host of Server 'db.example,,db2.example', which stands for the default "
         "one)"},
        {withPassword + ";SSL Mode=Require;Root Certificate=" + certificate,
         "Root Certificate is checked only with SSL Mode=VerifyCA or VerifyFull, not with SSL "
         "Mode=Require"},
        {withPassword + ";SSL Mode=Prefer;Root Certificate=" + certificate,
         "not with SSL Mode=Prefer"},
        {withPassword + ";Root Certificate=" + dir.file("none.crt"),
         "Root Certificate '" + dir.file("none.crt") + "' does not exist"},
        {withPassword + ";SSL Mode=VerifyCA;Root Certificate=" + dir.path(),
         "Root Certificate '" + dir.path() + "' is not a file that can be read"},
        {withPassword + ";SSL Mode=VerifyFull;Root Certificate=\"" + semicolonFile + "\"",
         "Root Certificate '" + semicolonFile + "' holds a ';'"},
        {withPassword + ";Passfile=" + privateFile,
         "Passfile is read only without a Password, and the connection string gives both"},
        {server + ";Passfile=" + dir.file("none"),
         "Passfile '" + dir.file("none") + "' does not exist"},
        {server + ";Passfile=" + sharedFile,
         "Passfile '" + sharedFile +
             "' may be read by other users, and the client library "
             "ignores such a file; make it readable by its owner only (chmod 600)"},
        {"Provider=PostgreSQL;Service=erp;Server=db.example;Password=" + kSecret,
         "Server may not be given beside Service: the service 'erp' names the server, port and "
         "database"},
        {"Provider=PostgreSQL;Service=erp;Database=erp", "Database may not be given beside"},
        {"Provider=PostgreSQL;Port=5432;Service=erp", "Port may not be given beside"},
        {"Provider=PostgreSQL;Service=;Password=" + kSecret, "lacks the key \"Service\""},
        {withPassword + ";Port=54x", "Port '54x' is not a port number"},
        {"Provider=PostgreSQL;Server=h;Password=" + kSecret, "lacks the key \"Database\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const DbError error = openError(c.text);
        EXPECT_EQ(error.number(), DbErrorNumber::InvalidConnectionString);
        EXPECT_TRUE(error.description().contains(c.said)) << error.description().toStdString();
        EXPECT_FALSE(error.description().contains(kSecret)) << error.description().toStdString();
    }
}

// The default password file is checked as a named one is: the client library would only warn on
// standard error and go on without it.
// The connection string's text in a refusal keeps its control characters, escaped.
TEST_F(PostgresOptionsTest, AKeyOrValueWithAControlCharacterIsShownEscaped) {
    const QString nul(QChar(0));
    const QString server = "Provider=PostgreSQL;Server=db.example;Database=erp;Password=" + kSecret;
    const struct {
        QString text;
        QString said;
    } cases[] = {
        {server + ";Time" + nul + "out=5", "key \"Time\\0out\" is not one that the PostgreSQL"},
        {server + ";SSL Mode=Some" + nul + "times", "SSL Mode 'Some\\0times' is not one of"},
        {server + ";Port=54" + QChar(0x1b) + "32", "Port '54\\u{001B}32' is not a port number"},
        {server + ";Passfile=/tmp/none" + nul + "x", "Passfile is read only without a Password"},
        {"Provider=PostgreSQL;Server=db.example;Database=erp;Passfile=/tmp/no" + nul + "ne",
         "Passfile '/tmp/no\\0ne' does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said.toStdString());
        const DbError error = openError(c.text);
        EXPECT_TRUE(error.description().contains(c.said)) << error.description().toStdString();
        EXPECT_FALSE(error.description().contains(QChar(0)));
        EXPECT_FALSE(error.description().contains(QChar(0x1b)));
        EXPECT_FALSE(error.description().contains(kSecret));
    }
}

TEST_F(PostgresOptionsTest, ADefaultPasswordFileThatOthersMayReadIsRefused) {
    const QByteArray before = qgetenv("PGPASSFILE");
    qputenv("PGPASSFILE", sharedFile.toUtf8());
    const DbError error = openError("Provider=PostgreSQL;Server=db.example;Database=erp");
    qputenv("PGPASSFILE", before);
    EXPECT_EQ(error.description(),
              "The password file '" + sharedFile +
                  "' may be read by other users, and the client library ignores such a file; "
                  "make it readable by its owner only (chmod 600)");
}

TEST(SqliteKeysTest, TheSqliteProviderRefusesTheServersKeys) {
    TempDir dir;
    const QString path = dir.file("host.db");
    Connection create;
    create.setConnectionString("Provider=SQLite;Data Source=" + path +
                               ";Mode=ReadWriteCreate;Persist Security Info=False");
    ASSERT_NO_THROW(create.open());
    const DbError error = raisedBy<DbError>([&] {
        Connection connection;
        connection.setConnectionString("Provider=SQLite;Data Source=" + path +
                                       ";Password=" + kSecret);
        connection.open();
    });
    EXPECT_EQ(error.description(),
              "the connection string's key \"Password\" is not one that the SQLite provider "
              "knows (it knows Data Source, Mode)");
}

}  // namespace
