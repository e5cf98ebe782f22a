// The ODBC provider's connection strings (Provider=MSDASQL) as the driver manager is given them:
// ADO's keys turned into the driver manager's, every other key passed to the driver as written,
// values braced where ODBC needs it, a data source sent with the driver that odbc.ini names for
// it, and the refusals. No server is reached.
#include <gtest/gtest.h>

#include <QFile>

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/OdbcConnectString.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook::data;
using xhook::test::raisedBy;
using xhook::test::ScopedEnvironment;
using xhook::test::TempDir;

namespace {

const QString kSecret = QStringLiteral("Od-5b7e-secret");

// A user's odbc.ini of the test's own (ODBCINI), with one data source.
class OdbcConnectStringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile ini(dir.file("odbc.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Text));
        ini.write("[erp]\nDriver=PostgreSQL Unicode\nServername=db-host\nDatabase=erp\n");
    }

    static OdbcConnectString odbc(const QString& text) {
        return OdbcConnectString(ConnectionString::parse(text));
    }

    TempDir dir;
    ScopedEnvironment userDataSources{"ODBCINI", dir.file("odbc.ini").toUtf8()};
};

TEST_F(OdbcConnectStringTest, KeysReachTheDriverManagerAsTheProviderPassesThem) {
    const struct {
        QString text;
        QString expected;
        int loginTimeout;
    } cases[] = {
        {"Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=/run/pg;Port=5432;Database=erp;"
         "Uid=erp;Pwd=" +
             kSecret,
         "Driver={PostgreSQL Unicode};Server=/run/pg;Port=5432;Database=erp;Uid=erp;Pwd=" + kSecret,
         0},
        {"Provider=MSDASQL.1;Data Source=erp;User ID=erp;Password=" + kSecret,
         "DSN=erp;UID=erp;PWD=" + kSecret + ";Driver={PostgreSQL Unicode}", 0},
        {"Provider=MSDASQL;DSN=erp;Initial Catalog=other;Persist Security Info=False",
         "DSN=erp;DATABASE=other;Driver={PostgreSQL Unicode}", 0},
        {"Provider=MSDASQL;DSN=erp;Driver={PostgreSQL Unicode}",
         "DSN=erp;Driver={PostgreSQL Unicode}", 0},
        {"Provider=MSDASQL;Driver=SQLite3;Database=/data/host.db;NoCreat=1;Connect Timeout=20",
         "Driver=SQLite3;Database=/data/host.db;NoCreat=1", 20},
        {"Provider=MSDASQL;Driver={FreeTDS};Server=db;Pwd=\"a;b\";Pooling=false;Connection "
         "Lifetime=60;Connection Idle Lifetime=30",
         "Driver={FreeTDS};Server=db;Pwd={a;b}", 0},
        {"Provider=MSDASQL;Driver={FreeTDS};Server=db;APP=\" leading blank\"",
         "Driver={FreeTDS};Server=db;APP={ leading blank}", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ConnectionString::forDisplay(c.text).toStdString());
        const OdbcConnectString mapped = odbc(c.text);
        EXPECT_EQ(mapped.text(), c.expected);
        EXPECT_EQ(mapped.loginTimeoutSeconds(), c.loginTimeout);
        EXPECT_FALSE(mapped.describe().contains(kSecret));
    }
    EXPECT_EQ(odbc("Provider=MSDASQL;DSN=erp;Uid=u").describe(), "data source 'erp'");
    EXPECT_EQ(
        odbc("Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=h;Port=5;Database=d").describe(),
        "driver {PostgreSQL Unicode} server 'h' port '5' database 'd'");
}

TEST_F(OdbcConnectStringTest, RefusalsSayWhatIsMissingWithoutThePassword) {
    const struct {
        QString text;
        QString said;
    } cases[] = {
        {"Provider=MSDASQL;Server=h;Pwd=" + kSecret, "names a data source"},
        {"Provider=MSDASQL;DSN=nosuch;Pwd=" + kSecret, "'nosuch' is not defined"},
        {"Provider=MSDASQL;Extended Properties=\"DSN=erp;PWD=" + kSecret + "\"",
         "Extended Properties"},
        {"Provider=MSDASQL;Driver={FreeTDS};Pwd=\"x};" + kSecret + "\"", "Pwd"},
        {"Provider=MSDASQL;Driver={FreeTDS};Connect Timeout=-3;Pwd=" + kSecret, "Connect Timeout"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said.toStdString());
        const DbError error = raisedBy<DbError>([&] { odbc(c.text); });
        EXPECT_EQ(error.number(), DbErrorNumber::InvalidConnectionString);
        EXPECT_TRUE(error.description().contains(c.said)) << error.what();
        EXPECT_FALSE(error.description().contains(kSecret)) << error.what();
    }
}

// Through the connection: a string that Qt's ODBC driver would take for a file data source is
// refused before any driver is loaded, and an unknown driver is the driver manager's to report.
TEST_F(OdbcConnectStringTest, TheConnectionRefusesWhatTheDriverWouldMisreadAndReportsTheRest) {
    const struct {
        QString text;
        QString said;
        long number;
    } cases[] = {
        {"Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=db.dsn.example;Pwd=" + kSecret,
         "\".dsn\"", DbErrorNumber::InvalidConnectionString},
        {"Provider=MSDASQL;Driver={No Such Driver};Server=h;Pwd=" + kSecret, "No Such Driver", 0},
        {"Provider=MSDASQL;Driver=SQLite3;Database=" + dir.file("missing.db") + ";NoCreat=1",
         "SQLite", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said.toStdString());
        Connection connection;
        connection.setConnectionString(c.text);
        const DbError error = raisedBy<DbError>([&] { connection.open(); });
        EXPECT_TRUE(error.description().contains(c.said)) << error.what();
        if (c.number != 0) {
            EXPECT_EQ(error.number(), c.number);
        }
        EXPECT_FALSE(error.description().contains(kSecret)) << error.what();
        EXPECT_FALSE(connection.isOpen());
    }
    EXPECT_FALSE(QFile::exists(dir.file("missing.db"))) << "NoCreat=1 keeps the driver from it";
}

}  // namespace
