// The xouthook tool on the demo host database in a SQLite file and on the PostgreSQL server:
// creating the database, loading grids, reconciling manually and automatically and printing a
// layout give the same output and exit status on both, and leave the same rows. On the server
// through ODBC (Provider=MSDASQL with psqlODBC), the grids print exactly as through the
// PostgreSQL provider, and the reconciliations reconcile.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <memory>

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "host/lib/DemoDatabase.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ToolRunner.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// One side of the comparison: a database and the user settings folder that the tool runs with.
struct Side {
    QString connectionString;
    QStringList shownAs;  // how the tool names the database, the longest name first
    QProcessEnvironment environment;

    // The run with the database's names in its output replaced by "<database>".
    ToolRun run(const QStringList& arguments) const {
        ToolRun result = runXouthook(arguments, environment);
        for (const QString& name : shownAs) {
            result.out.replace(name, QStringLiteral("<database>"));
            result.err.replace(name, QStringLiteral("<database>"));
        }
        return result;
    }
};

QProcessEnvironment environmentIn(const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = folder + '/' + QString::fromLatin1(name).toLower();
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert(name, path);
    }
    return environment;
}

class ToolParity : public ::testing::Test {
  protected:
    void SetUp() override {
        XHOOK_SKIP_WITHOUT_SERVER(Backend::PostgreSQL);
        ASSERT_TRUE(QFileInfo::exists(xouthookPath())) << "build the xouthook target first";
        path = dir.file("demo.db");
        sqlite = {host::sqliteConnectionString(path),
                  {host::sqliteConnectionString(path), path},
                  environmentIn(dir.file("sqlite"))};
        server = std::make_unique<ScratchDatabase>(Backend::PostgreSQL, dir.path());
        postgres = {server->connectionString(),
                    {data::ConnectionString::forDisplay(server->connectionString())},
                    environmentIn(dir.file("postgres"))};
    }

    // Runs the same command on both sides; returns what the first said.
    ToolRun expectSame(const QStringList& arguments) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun onFile = sqlite.run(arguments);
        const ToolRun onServer = postgres.run(arguments);
        EXPECT_EQ(onFile.status, onServer.status) << onServer.err.toStdString();
        EXPECT_EQ(onFile.out, onServer.out);
        EXPECT_EQ(onFile.err, onServer.err);
        return onFile;
    }

    // The same on both sides, ending with `status` and saying `text` on standard error.
    void expectSaid(const QStringList& arguments, int status, const QString& text) {
        const ToolRun said = expectSame(arguments);
        EXPECT_EQ(said.status, status) << arguments.join(' ').toStdString();
        EXPECT_TRUE(said.err.contains(text)) << said.err.toStdString();
    }

    // Every row of the database; the times of reconciliations made today are left out.
    static QStringList rowsOf(const QString& connectionString) {
        data::Connection connection;
        connection.setConnectionString(connectionString);
        connection.open();
        const QRegularExpression now(QDate::currentDate().toString(Qt::ISODate) +
                                     QStringLiteral(" \\d\\d:\\d\\d:\\d\\d"));
        QStringList rows = dumpAll(connection);
        rows.replaceInStrings(now, QStringLiteral("<now>"));
        return rows;
    }

    TempDir dir;
    QString path;  // the SQLite file
    Side sqlite;
    Side postgres;
    std::unique_ptr<ScratchDatabase> server;
};

// The user settings of `from` with another connection string, in a settings folder of `to`'s.
void copySettings(const Side& from, const Side& to) {
    const QString file = QStringLiteral("/DuVariz2007.ini");
    QFile source(from.environment.value("XDG_CONFIG_HOME") + file);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly | QIODevice::Text));
    QString settings = QString::fromUtf8(source.readAll());
    settings.replace(QRegularExpression(QStringLiteral("(?m)^DBConnectionString=.*$")),
                     QStringLiteral("DBConnectionString=\"%1\"").arg(to.connectionString));
    QFile target(to.environment.value("XDG_CONFIG_HOME") + file);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly | QIODevice::Text));
    target.write(settings.toUtf8());
}

TEST_F(ToolParity, ThroughOdbcTheGridsPrintAsThroughThePostgreSqlProviderAndReconcile) {
    const Side odbc = {
        odbcConnectionString(server->connectionString()),
        {data::ConnectionString::forDisplay(odbcConnectionString(server->connectionString()))},
        environmentIn(dir.file("odbc"))};
    ASSERT_EQ(postgres.run({"demo-db", "--connection", postgres.connectionString}).status, 0);
    copySettings(postgres, odbc);
    ASSERT_TRUE(runXouthook({"settings"}, odbc.environment).out.contains("Provider=MSDASQL"));
    QStringList allInvoices, allOutbound;
    for (int id = 1001; id <= 1014; ++id) allInvoices << QString::number(id);
    for (int id = 5001; id <= 5016; ++id) allOutbound << QString::number(id);
    for (const QStringList& arguments :
         {QStringList{"show", "--display", "invoices", "1001,1002"},
          QStringList{"show", "invoices", allInvoices.join(',')},
          QStringList{"show", "outbound", allOutbound.join(','), "--display"},
          QStringList{"show", "invoices", "4242"}, QStringList{"layout", "XSGJA"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun direct = postgres.run(arguments);
        const ToolRun throughOdbc = odbc.run(arguments);
        EXPECT_EQ(direct.status, 0) << direct.err.toStdString();
        EXPECT_EQ(throughOdbc.status, direct.status) << throughOdbc.err.toStdString();
        EXPECT_EQ(throughOdbc.out, direct.out);
        EXPECT_EQ(throughOdbc.err, direct.err);
    }
    const ToolRun reconciled = odbc.run({"reconcile", "--invoices", "1001", "--outbound", "5001"});
    EXPECT_EQ(reconciled.status, 0) << reconciled.err.toStdString();
    EXPECT_TRUE(reconciled.err.contains(QStringLiteral("钩稽成功!")))
        << reconciled.err.toStdString();
    const ToolRun again = postgres.run({"reconcile", "--invoices", "1001", "--outbound", "5001"});
    EXPECT_EQ(again.status, 1) << "recorded on the server";
    EXPECT_TRUE(again.err.contains(QStringLiteral("已经钩稽"))) << again.err.toStdString();
    const ToolRun automatic = odbc.run({"auto-reconcile", "--invoices", "1003"});
    EXPECT_EQ(automatic.status, 0) << automatic.err.toStdString();
    EXPECT_EQ(odbc.run({"auto-reconcile", "--invoices", "1003"}).status, 1);
}

TEST_F(ToolParity, TheToolAnswersAlikeOnTheFileAndOnTheServer) {
    const ToolRun madeFile = sqlite.run({"demo-db", path});
    const ToolRun madeOnServer =
        postgres.run({"demo-db", "--connection", postgres.connectionString});
    ASSERT_EQ(madeFile.status, 0) << madeFile.err.toStdString();
    ASSERT_EQ(madeOnServer.status, 0) << madeOnServer.err.toStdString();
    EXPECT_EQ(madeFile.out, madeOnServer.out);
    EXPECT_TRUE(madeOnServer.out.contains("sales invoices:     14"))
        << madeOnServer.out.toStdString();
    EXPECT_EQ(rowsOf(sqlite.connectionString), rowsOf(postgres.connectionString))
        << "the same demo data";

    // A second creation is refused on both, and --if-absent keeps both.
    EXPECT_EQ(sqlite.run({"demo-db", path}).status, 1);
    EXPECT_EQ(postgres.run({"demo-db", "--connection", postgres.connectionString}).status, 1);
    EXPECT_EQ(
        postgres.run({"demo-db", "--connection", postgres.connectionString, "--if-absent"}).status,
        0);

    QStringList allInvoices, allOutbound;
    for (int id = 1001; id <= 1014; ++id) allInvoices << QString::number(id);
    for (int id = 5001; id <= 5016; ++id) allOutbound << QString::number(id);
    const ToolRun lines = expectSame({"show", "invoices", allInvoices.join(',')});
    EXPECT_EQ(lines.status, 0);
    EXPECT_EQ(lines.out.count('\n'), 35) << "the header, 33 lines and the totals";
    EXPECT_EQ(expectSame({"show", "outbound", allOutbound.join(','), "--display"}).status, 0);
    EXPECT_EQ(expectSame({"show", "invoices", "1003,1009", "--display"}).status, 0);
    EXPECT_EQ(expectSame({"show", "invoices", "4242"}).status, 0);

    // Reconciled, then refused for every reason the procedure has.
    expectSaid({"reconcile", "--invoices", "1001", "--outbound", "5001"}, 0,
               QStringLiteral("钩稽成功!"));
    expectSaid({"reconcile", "--invoices", "1001", "--outbound", "5001"}, 1,
               QStringLiteral("已经钩稽"));
    expectSaid({"reconcile", "--invoices", "1002", "--outbound", "5006"}, 1,
               QStringLiteral("不属于同一客户"));
    expectSaid({"reconcile", "--invoices", "1004", "--outbound", "5005"}, 1,
               QStringLiteral("不一致"));
    expectSaid({"reconcile", "--invoices", "1002", "--outbound", "5002,5003"}, 1,
               QStringLiteral("只在"));
    expectSaid({"reconcile", "--invoices", "1999", "--outbound", "5002"}, 1,
               QStringLiteral("a grid holds no document"));
    EXPECT_EQ(expectSame({"reconcile", "--invoices", "1002", "--outbound", "x"}).status, 2);

    expectSaid({"auto-reconcile", "--invoices", "1003"}, 0, QStringLiteral("钩稽成功!"));
    expectSaid({"auto-reconcile", "--invoices", "1009"}, 1, QStringLiteral("内码0"));
    expectSaid({"auto-reconcile", "--invoices", "1006"}, 1, QStringLiteral("已经钩稽"));
    EXPECT_EQ(expectSame({"auto-reconcile", "--invoices", "1005,1007"}).status, 0);
    expectSaid({"auto-reconcile", "--invoices", "1003"}, 1, QStringLiteral("已经钩稽"));

    EXPECT_EQ(expectSame({"show", "outbound", allOutbound.join(',')}).status, 0);
    const ToolRun layout = expectSame({"layout", "XSGJA"});
    EXPECT_EQ(layout.status, 0);
    EXPECT_TRUE(layout.err.contains("no layout stored")) << layout.err.toStdString();
    EXPECT_EQ(rowsOf(sqlite.connectionString), rowsOf(postgres.connectionString))
        << "the same reconciliations recorded";
}

}  // namespace
