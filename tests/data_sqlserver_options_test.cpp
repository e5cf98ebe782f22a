// The ADO SQL Server providers' keys as FreeTDS's ODBC driver is given them: every key that those
// providers' strings carry, mapped or accepted as changing nothing; the refusals, each naming its
// key and never the password; the strings that the data-link dialog saves; and a certificate
// check that FreeTDS would not make, refused unless its configuration file names the server's
// authority. No SQL Server is reached: the connection to one is in odbc_sqlserver_test.
#include <gtest/gtest.h>

#include <QFile>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/FreeTdsConfig.h"
#include "data/SqlServerOptions.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook::data;
using xhook::test::raisedBy;
using xhook::test::ScopedEnvironment;
using xhook::test::TempDir;

namespace {

const QString kSecret = QStringLiteral("Sq-91c2-secret");
const QString kLogin = QStringLiteral("User ID=sa;Password=") + kSecret;

// FreeTDS's configuration file of the test's own, found first through FREETDSCONF as FreeTDS
// finds it.
class SqlServerOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile conf(dir.file("freetds.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Text));
        conf.write(
            "[global]\n"
            "\ttds version = auto\n"
            "; a comment\n"
            "[officesrv]\n"
            "\thost = db.office.example\n"
            "\tport = 1433\n"
            "\tca file = /etc/ssl/office/ca.crt\n"
            "[nocasrv]\n"
            "\thost = db2.office.example\n"
            "[nohostnamesrv]\n"
            "\thost = db3.office.example\n"
            "\tca file = system\n"
            "\tcheck certificate hostname = no\n");
    }

    static SqlServerOptions options(const QString& text) {
        return SqlServerOptions(ConnectionString::parse(text));
    }
    static DbError refusal(const QString& text) {
        return raisedBy<DbError>([&] { options(text); });
    }

    TempDir dir;
    ScopedEnvironment configuration{"FREETDSCONF", dir.file("freetds.conf").toUtf8()};
};

TEST_F(SqlServerOptionsTest, EveryKeyReachesFreeTdsAsItsOwnSetting) {
    const struct {
        QString keys;      // after Provider=SQLOLEDB
        QString expected;  // FreeTDS's string after Driver={FreeTDS};
        int loginTimeout;
    } cases[] = {
        {"Data Source=SRV\\SQLEXPRESS;Initial Catalog=ERP;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=SRV\\SQLEXPRESS;Database=ERP", 15},
        {"Data Source=db-host;" + kLogin, "UID=sa;PWD=" + kSecret + ";Server=db-host", 15},
        {"Data Source=db-host,1444;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=db-host;Port=1444", 15},
        {"Data Source=tcp:db-host,1444;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=db-host;Port=1444", 15},
        {"Data Source=db-host\\INST,1500;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=db-host;Port=1500", 15},
        {"Data Source=(local);" + kLogin, "UID=sa;PWD=" + kSecret + ";Server=localhost", 15},
        {"Data Source=.;" + kLogin, "UID=sa;PWD=" + kSecret + ";Server=localhost", 15},
        {"Data Source=h;User ID=sa;Password=\"a;b\"", "UID=sa;PWD={a;b};Server=h", 15},
        {"Data Source=h;Connect Timeout=30;" + kLogin, "UID=sa;PWD=" + kSecret + ";Server=h", 30},
        {"Data Source=h;Application Name=ERP client;Workstation ID=WS-01;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h;APP=ERP client;WSID=WS-01", 15},
        {"Data Source=h;Packet Size=4096;Current Language=us_english;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h;PacketSize=4096;Language=us_english", 15},
        {"Data Source=h;General Timeout=60;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h;Timeout=60", 15},
        {"Data Source=h;General Timeout=0;Initial File Name=\"\";Server SPN=\"\";" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h", 15},
        {"Data Source=h;Initial File Name=D:\\data\\erp.mdf;Server SPN=MSSQLSvc/h:1433;" + kLogin,
         "UID=sa;PWD=" + kSecret +
             ";Server=h;AttachDbFilename=D:\\data\\erp.mdf;ServerSPN=MSSQLSvc/h:1433",
         15},
        {"Data Source=h;Persist Security Info=True;Network Library=DBMSSOCN;Use Procedure for "
         "Prepare=1;Auto Translate=True;Tag with column collation when possible=False;Locale "
         "Identifier=2052;Integrated Security=False;" +
             kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h", 15},
        {"Data Source=h;Encrypt=yes;TrustServerCertificate=yes;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h;Encryption=require", 15},
        {"Data Source=h;Use Encryption for Data=True;Trust Server Certificate=True;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h;Encryption=require", 15},
        {"Data Source=h;Encrypt=no;" + kLogin, "UID=sa;PWD=" + kSecret + ";Server=h", 15},
        {"Data Source=h;Use Encryption for Data=Optional;TrustServerCertificate=True;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Server=h", 15},
        {"Data Source=officesrv;Encrypt=Mandatory;Initial Catalog=ERP;" + kLogin,
         "UID=sa;PWD=" + kSecret + ";Servername=officesrv;Database=ERP;Encryption=require", 15},
        {"Data Source=officesrv;" + kLogin, "UID=sa;PWD=" + kSecret + ";Servername=officesrv", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        const SqlServerOptions mapped = options("Provider=SQLOLEDB;" + c.keys);
        EXPECT_EQ(mapped.odbcConnectString(), "Driver={FreeTDS};" + c.expected);
        EXPECT_EQ(mapped.loginTimeoutSeconds(), c.loginTimeout);
        EXPECT_FALSE(mapped.describe().contains(kSecret));
    }
}

// The providers that hosts write, with the version the data-link dialog appends; MSOLEDBSQL19
// encrypts and checks the certificate unless told otherwise, as it does on Windows.
TEST_F(SqlServerOptionsTest, EachProviderNameIsTakenAndMsoledbsql19EncryptsByDefault) {
    for (const char* provider : {"SQLOLEDB", "SQLOLEDB.1", "SQLNCLI", "SQLNCLI10", "SQLNCLI11",
                                 "SQLNCLI11.1", "MSOLEDBSQL", "MSOLEDBSQL.1", "MSOLEDBSQL19"}) {
        SCOPED_TRACE(provider);
        const QString text =
            QStringLiteral("Provider=%1;Data Source=h;TrustServerCertificate=True;")
                .arg(QLatin1String(provider)) +
            kLogin;
        const bool encrypts = QLatin1String(provider) == QLatin1String("MSOLEDBSQL19");
        EXPECT_EQ(options(text).odbcConnectString().endsWith(";Encryption=require"), encrypts);
    }
    const DbError error = refusal("Provider=MSOLEDBSQL19;Data Source=h;" + kLogin);
    EXPECT_TRUE(error.description().contains("certificate")) << error.what();
}

// Strings as the data-link dialog of each provider saves them, with a SQL Server login.
TEST_F(SqlServerOptionsTest, StringsThatTheDataLinkDialogSavesAreTaken) {
    const QStringList saved = {
        "Provider=SQLOLEDB.1;Password=" + kSecret +
            ";Persist Security Info=True;User ID=sa;Initial Catalog=ERP;Data Source=SRV;Use "
            "Procedure for Prepare=1;Auto Translate=True;Packet Size=4096;Workstation "
            "ID=WS-01;Use Encryption for Data=False;Tag with column collation when possible=False",
        "Provider=SQLNCLI11.1;Persist Security Info=False;User ID=sa;Password=" + kSecret +
            ";Initial Catalog=ERP;Data Source=SRV\\SQLEXPRESS;Initial File Name=\"\";Server "
            "SPN=\"\"",
        "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=" + kSecret +
            ";Initial Catalog=ERP;Data Source=SRV\\SQLEXPRESS",
        "Provider=MSOLEDBSQL.1;Persist Security Info=False;User ID=sa;Password=" + kSecret +
            ";Initial Catalog=ERP;Data Source=SRV;Initial File Name=\"\";Server SPN=\"\";Use "
            "Encryption for Data=False;Trust Server Certificate=False;Connect Timeout=15;General "
            "Timeout=0;Current Language=\"\";Locale Identifier=2052",
    };
    for (const QString& text : saved) {
        SCOPED_TRACE(ConnectionString::forDisplay(text).toStdString());
        EXPECT_NO_THROW(options(text));
    }
}

TEST_F(SqlServerOptionsTest, RefusalsNameTheKeyAndNeverThePassword) {
    const struct {
        QString keys;  // after Provider=SQLOLEDB
        QStringList said;
    } cases[] = {
        {"Data Source=h;Integrated Security=SSPI;User ID=\"\";Password=" + kSecret,
         {"Integrated Security=SSPI", "Windows login", "User ID and Password"}},
        {"Data Source=h;Integrated Security=maybe;" + kLogin, {"Integrated Security"}},
        {"Data Source=h;Trusted_Connection=yes;" + kLogin, {"\"Trusted_Connection\""}},
        {"Data Source=h;Provider String=x;" + kLogin, {"\"Provider String\""}},
        {"Data Source=h;Network Library=DBNMPNTW;" + kLogin, {"Network Library", "TCP"}},
        {"Data Source=np:SRV;" + kLogin, {"Data Source", "TCP"}},
        {"Data Source=h,port;" + kLogin, {"Data Source", "port"}},
        {"Initial Catalog=ERP;" + kLogin, {"Data Source"}},
        {"Data Source=h;Encrypt=Strict;" + kLogin, {"Encrypt=Strict", "Mandatory"}},
        {"Data Source=h;Encrypt=sometimes;" + kLogin, {"Encrypt"}},
        {"Data Source=h;Encrypt=yes;Use Encryption for Data=False;" + kLogin,
         {"Encrypt", "Use Encryption for Data"}},
        {"Data Source=h;Encrypt=yes;" + kLogin,
         {"certificate", "[h]", "ca file", "TrustServerCertificate=True"}},
        {"Data Source=nocasrv;Use Encryption for Data=True;" + kLogin,
         {"certificate", "[nocasrv]"}},
        {"Data Source=nohostnamesrv;Encrypt=yes;" + kLogin, {"certificate"}},
        {"Data Source=h;TrustServerCertificate=perhaps;" + kLogin, {"TrustServerCertificate"}},
        {"Data Source=h;Packet Size=100;" + kLogin, {"Packet Size"}},
        {"Data Source=h;Connect Timeout=soon;" + kLogin, {"Connect Timeout"}},
        {"Data Source=h;Auto Translate=sometimes;" + kLogin, {"Auto Translate"}},
        {"Data Source=h;User ID=sa;Password=\"ab};cd" + kSecret + "\"", {"Password"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        const DbError error = refusal("Provider=SQLOLEDB;" + c.keys);
        EXPECT_EQ(error.number(), DbErrorNumber::InvalidConnectionString);
        for (const QString& part : c.said)
            EXPECT_TRUE(error.description().contains(part)) << error.what();
        EXPECT_FALSE(error.description().contains(kSecret)) << error.what();
    }
}

TEST_F(SqlServerOptionsTest, FreeTdsConfigurationIsReadAsFreeTdsReadsIt) {
    const std::optional<FreeTdsServerConfig> office = FreeTdsServerConfig::find("OfficeSrv");
    ASSERT_TRUE(office);
    EXPECT_EQ(office->value("host"), "db.office.example");
    EXPECT_EQ(office->value("CA File"), "/etc/ssl/office/ca.crt");
    EXPECT_EQ(office->value("tds version"), "auto") << "the [global] section applies too";
    EXPECT_EQ(office->file(), dir.file("freetds.conf"));
    EXPECT_FALSE(FreeTdsServerConfig::find("no-such-server"));
    EXPECT_EQ(FreeTdsServerConfig::searchPath().first(), dir.file("freetds.conf"));
    EXPECT_EQ(FreeTdsServerConfig::searchPath().last(), "/etc/freetds/freetds.conf");
}

TEST_F(SqlServerOptionsTest, TheMessageOfAFailedOpenSaysWhereItWent) {
    EXPECT_EQ(options("Provider=SQLOLEDB;Data Source=127.0.0.1,1;Initial Catalog=erp;" + kLogin)
                  .describe(),
              "opening server '127.0.0.1' port 1, database 'erp' through FreeTDS");
    EXPECT_EQ(options("Provider=SQLOLEDB;Data Source=SRV\\SQLEXPRESS;" + kLogin).describe(),
              "opening server 'SRV' instance 'SQLEXPRESS' through FreeTDS");
    EXPECT_EQ(
        options("Provider=SQLOLEDB;Data Source=h;Encrypt=yes;TrustServerCertificate=yes;" + kLogin)
            .describe(),
        "opening server 'h' port 1433 through FreeTDS with TLS, certificate not checked");
    EXPECT_EQ(options("Provider=SQLOLEDB;Data Source=officesrv;Encrypt=yes;" + kLogin).describe(),
              "opening the server 'officesrv' of FreeTDS's configuration file through FreeTDS "
              "with TLS, certificate checked");
}

}  // namespace
