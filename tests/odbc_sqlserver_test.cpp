// A SQL Server provider's string as hosts write it reaches FreeTDS's ODBC driver. No SQL Server
// runs on these machines: the connection goes to 127.0.0.1 on a port where nothing listens, and
// the failure is FreeTDS's own, named with the server and port it went to, with no password in
// it, through the data layer and through the tool.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcessEnvironment>

#include "data/Connection.h"
#include "data/DbError.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ToolRunner.h"

using namespace xhook;
using namespace xhook::test;

namespace {

const QString kSecret = QStringLiteral("Ms-4d1a-secret");

// Nothing listens on port 1 of the loopback address, and the browser service of an instance
// (UDP 1434) does not answer there either.
const struct Unreachable {
    const char* dataSource;
    const char* where;
} kUnreachable[] = {
    {"127.0.0.1,1", "server '127.0.0.1' port 1"},
    {"tcp:127.0.0.1,1", "server '127.0.0.1' port 1"},
    {"127.0.0.1\\SQLEXPRESS", "server '127.0.0.1' instance 'SQLEXPRESS'"},
};

QString sqlServerString(const char* provider, const char* dataSource) {
    return QStringLiteral(
               "Provider=%1;Persist Security Info=False;Data Source=%2;Initial "
               "Catalog=erp;User ID=sa;Password=%3")
        .arg(QLatin1String(provider), QLatin1String(dataSource), kSecret);
}

TEST(SqlServerThroughFreeTds,
     AnUnreachableServerFailsWithFreeTdsMessageNamingItWithoutThePassword) {
    for (const Unreachable& u : kUnreachable) {
        for (const char* provider : {"SQLOLEDB", "SQLOLEDB.1", "SQLNCLI11", "MSOLEDBSQL"}) {
            SCOPED_TRACE(std::string(provider) + " " + u.dataSource);
            data::Connection connection;
            connection.setConnectionString(sqlServerString(provider, u.dataSource));
            QElapsedTimer timer;
            timer.start();
            const data::DbError error = raisedBy<data::DbError>([&] { connection.open(); });
            EXPECT_LT(timer.elapsed(), 20000) << "within the login timeout";
            EXPECT_TRUE(error.description().contains("[FreeTDS]")) << error.what();
            EXPECT_TRUE(error.description().contains("Unable to connect")) << error.what();
            EXPECT_TRUE(error.description().contains(QLatin1String(u.where))) << error.what();
            EXPECT_TRUE(error.description().contains("database 'erp'")) << error.what();
            EXPECT_FALSE(error.description().contains(kSecret)) << error.what();
            EXPECT_FALSE(connection.isOpen());
        }
    }
}

// The tool, with the string in the user's settings: the grid load and the check end with the
// exit status of a database that cannot be reached, and neither they nor the settings print
// the password.
TEST(SqlServerThroughFreeTds, TheToolSaysWhyAndShowsNoPassword) {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    writeSetting("DBOperation", "DBConnectionString", sqlServerString("SQLOLEDB", "127.0.0.1,1"));
    for (const QStringList& arguments :
         {QStringList{"show", "invoices", "1001,1002"}, QStringList{"check"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun run = runXouthook(arguments, environment);
        EXPECT_EQ(run.status, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("[FreeTDS]")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("server '127.0.0.1' port 1")) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(kSecret) || run.err.contains(kSecret));
    }
    const ToolRun settings = runXouthook({"settings"}, environment);
    EXPECT_EQ(settings.status, 0) << settings.err.toStdString();
    EXPECT_TRUE(settings.out.contains("Password=***")) << settings.out.toStdString();
    EXPECT_FALSE(settings.out.contains(kSecret) || settings.err.contains(kSecret));
    clearSettings();
}

}  // namespace
