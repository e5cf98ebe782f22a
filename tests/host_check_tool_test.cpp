// xouthook check, the administrator's check of a site's database: on the demo database it finds
// everything and exits 0; with a configured column missing from its view, without the procedure,
// or with a procedure parameter of the wrong direction it exits 1 naming the object and what is
// wrong; it exits 2 when the database cannot be reached. It never writes: the SQLite file is the
// same byte for byte, the server's tables hold the same rows, and the statements it sent (the
// diagnostic log) are all reads. The comparison of a catalog's parameters with the component's is
// tested on its own below.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include "data/DbError.h"
#include "host/lib/FinderRegistration.h"
#include "host/lib/ProcedureContract.h"
#include "reconcile/ReconcileParameters.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ToolRunner.h"

using namespace xhook;
using namespace xhook::test;

namespace {

using data::DeclaredParameter;

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class CheckTool : public DemoDatabaseBackendTest {
  protected:
    void SetUp() override {
        DemoDatabaseBackendTest::SetUp();
        if (IsSkipped()) return;
        host::registerDemoFinder(host::demoFinderPluginPath());
        writeSetting("DBOperation", "DBConnectionString", connectionString);
    }
    void TearDown() override {
        host::unregisterDemoFinder();
        clearSettings();
    }

    // A statement on the database through its own provider, as the site's administrator would.
    void prepare(const QString& sql) {
        data::Connection own;
        own.setConnectionString(providerString());
        own.open();
        own.execute(sql);
    }
    QString providerString() const {
        return scratch ? scratch->providerConnectionString() : connectionString;
    }

    // Everything that the check could have written to: the file, or every table's rows.
    QStringList stateOfTheDatabase() {
        if (!scratch) return {QString::fromLatin1(fileHash(path).toHex())};
        data::Connection own;
        own.setConnectionString(providerString());
        own.open();
        QStringList state = dumpAll(own);
        try {
            for (const QVariantList& row : readRows(
                     own, "select * from t_GS_tableinfo order by ftablename, ftype, fsequence"))
                state << QVariant(row).toStringList().join('|');
        } catch (const data::DbError&) {
            state << QStringLiteral("no t_GS_tableinfo");
        }
        return state;
    }

    // Runs the check with the statement log on; the output's lines, one per object.
    ToolRun check() {
        const QStringList before = stateOfTheDatabase();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_LOGGING_RULES", "xhook.sql=true");
        ToolRun run = runXouthook({"check"}, environment);
        EXPECT_EQ(stateOfTheDatabase(), before) << "the check wrote to the database";
        static const QRegularExpression writes(
            QStringLiteral("xhook.sql: #\\d+ sent[^:]*: *(insert|update|delete|create|drop|alter|"
                           "begin|call)"),
            QRegularExpression::CaseInsensitiveOption);
        EXPECT_FALSE(run.err.contains(writes)) << run.err.toStdString();
        return run;
    }

    static QString lineOf(const ToolRun& run, const QString& object) {
        for (const QString& line : run.out.split('\n'))
            if (line.mid(7).startsWith(object + ':')) return line;
        return {};
    }
};

TEST_P(CheckTool, FindsEveryObjectOnTheDemoDatabase) {
    const ToolRun run = check();
    EXPECT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList objects = {"table tblFindInfoEntry",
                                 "view vGSaleFP",
                                 "view vGproductOut",
                                 "table icsaleentry",
                                 "table t_GS_tableinfo",
                                 "procedure sp_GS_billGJ",
                                 "document finder {F295C352-DBCE-4A72-B206-4C4E87837FD8}"};
    EXPECT_EQ(run.out.count('\n'), objects.size()) << run.out.toStdString();
    for (const QString& object : objects) {
        SCOPED_TRACE(object.toStdString());
        EXPECT_TRUE(lineOf(run, object).startsWith("ok     ")) << run.out.toStdString();
    }
    EXPECT_TRUE(lineOf(run, "view vGSaleFP").contains("12 configured")) << run.out.toStdString();
    EXPECT_TRUE(lineOf(run, "procedure sp_GS_billGJ").contains("6 parameters"))
        << run.out.toStdString();
}

TEST_P(CheckTool, NamesAConfiguredColumnThatItsViewLacks) {
    prepare(
        "insert into tblFindInfoEntry (ftypeid, fentryid, fFieldname, fTitleName, fAlign, "
        "fDataFormat, fIsMerge, fIsSum) values (101, 13, 'fnosuch', '无此列', '1', '', 0, 0)");
    const ToolRun run = check();
    EXPECT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    const QString line = lineOf(run, "view vGproductOut");
    EXPECT_TRUE(line.startsWith("WRONG  ")) << run.out.toStdString();
    EXPECT_TRUE(
        line.contains("no column fnosuch (configured in tblFindInfoEntry, ftypeid 101, "
                      "fentryid 13)"))
        << line.toStdString();
    EXPECT_TRUE(lineOf(run, "view vGSaleFP").startsWith("ok     ")) << run.out.toStdString();
}

TEST_P(CheckTool, NamesAMissingTableAndAViewWithoutAColumnItReads) {
    prepare("drop table t_GS_tableinfo");
    prepare("drop view vGSaleFP");
    prepare(
        "create view vGSaleFP as select finterid, fentryid, fbillno from icsale, "
        "(select 1 as fentryid) e");
    const ToolRun run = check();
    EXPECT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(lineOf(run, "table t_GS_tableinfo")
                    .startsWith("WRONG  table t_GS_tableinfo: "
                                "cannot be read"))
        << run.out.toStdString();
    const QString view = lineOf(run, "view vGSaleFP");
    for (const char* column : {"forderid", "fcustomerIdNumber", "fstatus", "fdate"})
        EXPECT_TRUE(view.contains(QStringLiteral("no column ") + column)) << view.toStdString();
}

// The connection string names a database that is not there.
TEST_P(CheckTool, ExitsTwoWhenTheDatabaseCannotBeReached) {
    writeSetting("DBOperation", "DBConnectionString",
                 missingDatabaseConnectionString(backend(), dir.path()));
    const ToolRun run = runXouthook({"check"}, QProcessEnvironment::systemEnvironment());
    EXPECT_EQ(run.status, 2) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QRegularExpression("(^|\\n)error -?\\d+: ")))
        << run.err.toStdString();
}

XHOOK_ON_EACH_PROVIDER(CheckTool);

// The procedure of the server: SQLite's is the host's registration in C++, which the tool makes
// itself.
class CheckToolOnTheServer : public CheckTool {};

TEST_P(CheckToolOnTheServer, NamesAMissingProcedure) {
    prepare("drop procedure sp_GS_billGJ");
    const ToolRun run = check();
    EXPECT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    const QString line = lineOf(run, "procedure sp_GS_billGJ");
    EXPECT_TRUE(line.startsWith("WRONG  procedure sp_GS_billGJ: not in the "))
        << line.toStdString();
    EXPECT_TRUE(
        line.contains(throughOdbc(backend()) ? "ODBC procedure catalog" : "information schema"))
        << line.toStdString();
}

TEST_P(CheckToolOnTheServer, NamesAParameterOfTheWrongDirection) {
    prepare("drop procedure sp_GS_billGJ");
    prepare(
        "create procedure sp_GS_billGJ(interids1 varchar, interids2 varchar, intType bigint, "
        "inout intReturnValue bigint, strReturnValue varchar, loginUserId bigint) language "
        "plpgsql as $$ begin intReturnValue := -1; end $$");
    const ToolRun run = check();
    EXPECT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();
    const QString line = lineOf(run, "procedure sp_GS_billGJ");
    EXPECT_TRUE(
        line.contains("parameter 5 strreturnvalue is an input, the component passes it "
                      "as an output"))
        << line.toStdString();
    EXPECT_EQ(line.count("parameter "), 1) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backend, CheckToolOnTheServer,
                         ::testing::Values(Backend::PostgreSQL, Backend::PostgreSQLThroughOdbc),
                         backendName);

DeclaredParameter declared(const char* name, int direction, int type, const char* typeName,
                           int size = 0) {
    return {QLatin1String(name), direction, type, QLatin1String(typeName), size};
}

// SQL Server's catalog: '@' before the names, OUTPUT parameters as input-output, declared lengths.
QList<DeclaredParameter> sqlServerCatalog() {
    using namespace data;
    return {declared("@interids1", adParamInput, adVarChar, "varchar", 1000),
            declared("@interids2", adParamInput, adVarChar, "varchar", 1000),
            declared("@intType", adParamInput, adBigInt, "bigint"),
            declared("@intReturnValue", adParamInputOutput, adBigInt, "bigint"),
            declared("@strReturnValue", adParamInputOutput, adVarChar, "nvarchar", 100),
            declared("@loginUserId", adParamInput, adInteger, "int")};
}

TEST(ProcedureContract, ACatalogAgreesOrSaysWhatDiffers) {
    using namespace data;
    const QList<DeclaredParameter> expected = reconcileProcedureParameters();
    EXPECT_EQ(host::procedureProblems(expected, expected), QStringList());
    EXPECT_EQ(host::procedureProblems(sqlServerCatalog(), expected), QStringList());
    const struct {
        const char* change;
        std::function<void(QList<DeclaredParameter>&)> apply;
        QStringList problems;
    } cases[] = {
        {"an output declared as an input",
         [](auto& p) { p[4].direction = adParamInput; },
         {"parameter 5 @strReturnValue is an input, the component passes it as an output"}},
        {"an input declared as an output",
         [](auto& p) { p[0].direction = adParamOutput; },
         {"parameter 1 @interids1 is an output, the component passes it as an input"}},
        {"a renamed parameter",
         [](auto& p) { p[2].name = "@intKind"; },
         {"parameter 3 @intKind should be named intType"}},
        {"a text too short",
         [](auto& p) { p[1].size = 500; },
         {"parameter 2 @interids2 holds 500 characters, the component passes up to 1000"}},
        {"a number declared as text",
         [](auto& p) {
             p[3] = declared("@intReturnValue", adParamInputOutput, adVarChar, "varchar", 10);
         },
         {"parameter 4 @intReturnValue is of type varchar, the component passes a bigint"}},
        {"a small integer for the user",
         [](auto& p) {
             p[5].type = adSmallInt;
             p[5].typeName = "smallint";
         },
         {"parameter 6 @loginUserId is of type smallint, the component passes a bigint"}},
        {"a parameter too many",
         [](auto& p) { p.append(declared("@extra", adParamInput, adBigInt, "bigint")); },
         {"it has 7 parameters, the component passes 6"}},
        {"a parameter too few",
         [](auto& p) { p.removeLast(); },
         {"it has 5 parameters, the component passes 6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        QList<DeclaredParameter> catalog = sqlServerCatalog();
        c.apply(catalog);
        EXPECT_EQ(host::procedureProblems(catalog, expected), c.problems);
    }
}

}  // namespace
