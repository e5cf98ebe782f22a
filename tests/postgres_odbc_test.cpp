// The ODBC provider on the PostgreSQL test server (XHOOK_PG_CONNECTION) through psqlODBC, and on
// SQLite files through sqliteodbc: text literals that the server reads back exactly with
// standard_conforming_strings on and off, the procedure through ODBC with its outputs checked as
// inputs are, the procedure catalogs, and a data source of odbc.ini. Each test works in a
// database of its own.
#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDriver>
#include <QSqlField>

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/NativeProcedures.h"
#include "data/OdbcServer.h"
#include "data/OdbcTextLiteral.h"
#include "data/ResultSet.h"
#include "data/TableAppender.h"
#include "host/lib/DemoDatabase.h"
#include "reconcile/ReconcileParameters.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook;
using namespace xhook::data;
using namespace xhook::test;

namespace {

// Texts that a literal must carry exactly: quotes, backslashes before and after them, a
// parameter marker, an ODBC escape, comment starts, Chinese and a character beyond the BMP.
const QStringList kTexts = {
    "plain",
    "it's",
    "back\\slash",
    "end\\",
    "\\';select 1;--",
    "a''b\\\\c",
    "q?mark {fn now()}",
    "-- /* not a comment */",
    "中文'\\客户",
    "\U0001F600 emoji",
    "",
    "\\';create table odbc_injected (x int);--",
};

// No text ran as SQL of its own.
bool injectedTableExists(Connection& connection, bool onServer) {
    return readScalar(connection, onServer ? "select count(*) from pg_tables where tablename = "
                                             "'odbc_injected'"
                                           : "select count(*) from sqlite_master where name = "
                                             "'odbc_injected'")
               .toInt() != 0;
}

std::unique_ptr<Connection> connect(const QString& text) {
    auto connection = std::make_unique<Connection>();
    connection->setConnectionString(text);
    connection->open();
    return connection;
}

TEST(OdbcTextLiteral, EachServerHasItsOwnForm) {
    const struct {
        OdbcServer server;
        QString text;
        QString literal;
    } cases[] = {
        {OdbcServer::TransactSql, "it's", "'it''s'"},
        {OdbcServer::TransactSql, "a\\b", "'a\\b'"},
        {OdbcServer::TransactSql, "客户'", "N'客户'''"},
        {OdbcServer::PostgreSql, "it's", "'it''s'"},
        {OdbcServer::PostgreSql, "\\';x", "E'\\\\'';x'"},
        {OdbcServer::Sqlite, "a'\\b", "'a''\\b'"},
        {OdbcServer::Sqlite, "x\U0001F600y'", "('x'||char(128512)||'y''')"},
        {OdbcServer::Sqlite, "\U0001F600", "char(128512)"},
        {OdbcServer::Sqlite, "", "''"},
        {OdbcServer::Other, "a'b", "'a''b'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(odbcTextLiteral(c.server, c.text), c.literal);
    }
    const DbError error =
        raisedBy<DbError>([] { odbcTextLiteral(OdbcServer::Sqlite, QString("a") + QChar(0)); });
    EXPECT_TRUE(error.description().contains("NUL")) << error.what();
}

TEST(OdbcServerKind, TheDriversNameOfTheServerDecidesWhatItIsSent) {
    const struct {
        const char* dbmsName;
        OdbcServer server;
    } cases[] = {
        {"Microsoft SQL Server", OdbcServer::TransactSql},
        {"SQL Server", OdbcServer::TransactSql},
        {"Adaptive Server Enterprise", OdbcServer::TransactSql},
        {"PostgreSQL", OdbcServer::PostgreSql},
        {"SQLite", OdbcServer::Sqlite},
        {"MySQL", OdbcServer::Other},
        {"", OdbcServer::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dbmsName);
        EXPECT_EQ(odbcServerOfDbmsName(QLatin1String(c.dbmsName)), c.server);
    }
}

// A database of its own on the server, reached through psqlODBC, every open logging in afresh.
// standard_conforming_strings is set for a transaction (SET LOCAL), so that it holds for the
// statements inside it also through pgbouncer's transaction pooling.
class OdbcOnTheServer : public ::testing::Test {
  protected:
    void SetUp() override {
        XHOOK_SKIP_WITHOUT_SERVER(test::Backend::PostgreSQLThroughOdbc);
        scratch =
            std::make_unique<ScratchDatabase>(test::Backend::PostgreSQLThroughOdbc, dir.path());
    }

    std::unique_ptr<Connection> inTransactionWith(const char* standardConformingStrings) {
        auto db = connect(odbc());
        db->beginTrans();
        db->execute(QStringLiteral("set local standard_conforming_strings = %1")
                        .arg(QLatin1String(standardConformingStrings)));
        EXPECT_EQ(readScalar(*db, "show standard_conforming_strings").toString(),
                  QLatin1String(standardConformingStrings));
        return db;
    }
    QString odbc() const { return scratch->connectionString() + ";Pooling=false"; }

    TempDir dir;
    std::unique_ptr<ScratchDatabase> scratch;
};

TEST_F(OdbcOnTheServer, TextLiteralsReadBackExactlyWithStandardConformingStringsOnAndOff) {
    for (const char* setting : {"on", "off"}) {
        SCOPED_TRACE(setting);
        auto db = inTransactionWith(setting);
        for (const QString& text : kTexts) {
            SCOPED_TRACE(text.toStdString());
            EXPECT_EQ(readScalar(*db, "select " + db->textLiteral(text) + " as v").toString(),
                      text);
        }
        EXPECT_FALSE(injectedTableExists(*db, true));
        // What Qt's ODBC driver would write (quotes doubled only) is read otherwise when the
        // setting is off: the session really has it.
        QSqlField field(QString(), QMetaType::fromType<QString>());
        field.setValue(QStringLiteral("back\\slash"));
        const QString driverLiteral = db->database().driver()->formatValue(field);
        EXPECT_EQ(readScalar(*db, "select " + driverLiteral).toString() == "back\\slash",
                  QLatin1String(setting) == QLatin1String("on"));
        db->rollbackTrans();
    }
}

// The layout store's way in: rows added with their texts written into one insert.
TEST_F(OdbcOnTheServer, RowsAddedThroughTheTableKeepTheirTextsWithStandardConformingStringsOff) {
    auto owner = connect(scratch->providerConnectionString());
    owner->execute("create table odbc_texts (n integer, t varchar(100))");
    auto db = inTransactionWith("off");
    QList<QVariantMap> rows;
    for (qsizetype i = 0; i < kTexts.size(); ++i) rows.append({{"n", i}, {"t", kTexts[i]}});
    db->openTable("odbc_texts")->addRows(rows);
    db->commitTrans();
    const QVariantList stored = readColumn(*owner, "select t from odbc_texts order by n");
    ASSERT_EQ(stored.size(), kTexts.size());
    for (qsizetype i = 0; i < kTexts.size(); ++i) EXPECT_EQ(stored[i].toString(), kTexts[i]);
    EXPECT_FALSE(injectedTableExists(*owner, true));
}

// An answer longer than its output's size is refused as an input would be, and the call's own
// transaction leaves nothing of the procedure's work; a NULL answer stays NULL; the server's error
// is the procedure's failure.
TEST_F(OdbcOnTheServer, TheProcedureAnswersAreHeldToTheirTypesAndSizes) {
    auto owner = connect(scratch->providerConnectionString());
    owner->execute("create table odbc_calls (n serial, what varchar(20))");
    owner->execute(
        "create procedure odbc_answer(what varchar, inout answer bigint, inout reason varchar) "
        "language plpgsql as $$ begin insert into odbc_calls(what) values (what); "
        "if what = 'long' then answer := 1; reason := repeat('长', 101); "
        "elsif what = 'null' then answer := null; reason := null; "
        "elsif what = 'fail' then raise exception 'refused by the server: %', what; "
        "else answer := 7; reason := '回答'; end if; end $$");
    auto db = connect(odbc());
    const auto call = [&](const QString& what) {
        QList<Parameter> parameters = {{"what", adVarChar, adParamInput, 20, what},
                                       {"answer", adBigInt, adParamOutput, 10, -1},
                                       {"reason", adVarChar, adParamOutput, 100, QString()}};
        db->runProcedure("odbc_answer", parameters);
        return parameters;
    };
    const QList<Parameter> answered = call("plain");
    EXPECT_EQ(answered[1].value, QVariant(qint64(7)));
    EXPECT_EQ(answered[2].value, QVariant(QString("回答")));
    const QList<Parameter> none = call("null");
    EXPECT_TRUE(none[1].value.isNull());
    EXPECT_TRUE(none[2].value.isNull());
    const DbError tooLong = raisedBy<DbError>([&] { call("long"); });
    EXPECT_EQ(tooLong.number(), DbErrorNumber::ValueTooLong) << tooLong.what();
    EXPECT_TRUE(tooLong.description().contains("101 characters")) << tooLong.what();
    const DbError failed = raisedBy<DbError>([&] { call("fail"); });
    EXPECT_TRUE(failed.description().contains("refused by the server: fail")) << failed.what();
    EXPECT_EQ(readColumn(*owner, "select what from odbc_calls order by n"),
              QVariantList({"plain", "null"}));
}

// The catalog that the check reads: psqlODBC's procedure catalog through ODBC, and the
// information schema through the PostgreSQL provider, alike for the host's procedure.
TEST_F(OdbcOnTheServer, BothCatalogsDeclareTheHostsProcedure) {
    host::createDemoDatabase(scratch->providerConnectionString());
    for (const QString& text : {odbc(), scratch->providerConnectionString()}) {
        SCOPED_TRACE(text.toStdString());
        auto db = connect(text);
        const std::optional<QList<DeclaredParameter>> declared =
            db->procedureParameters("sp_GS_billGJ");
        ASSERT_TRUE(declared);
        const QList<DeclaredParameter> expected = reconcileProcedureParameters();
        ASSERT_EQ(declared->size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(expected[i].name.toStdString());
            EXPECT_EQ((*declared)[i].name, expected[i].name.toLower());
            EXPECT_EQ((*declared)[i].type, expected[i].type);
            EXPECT_EQ((*declared)[i].direction,
                      expected[i].direction == adParamOutput ? adParamInputOutput : adParamInput);
            EXPECT_EQ((*declared)[i].size, 0) << "PostgreSQL keeps no length for a parameter";
        }
        EXPECT_FALSE(db->procedureParameters("sp_no_such_procedure"));
    }
}

// A data source of the user's odbc.ini, named by DSN= or ADO's Data Source=.
TEST_F(OdbcOnTheServer, ADataSourceOfOdbcIniIsReachedByItsName) {
    const ConnectionString server = ConnectionString::parse(scratch->providerConnectionString());
    QFile ini(dir.file("odbc.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Text));
    ini.write(QStringLiteral("[xhook_erp]\nDriver=PostgreSQL Unicode\nServername=%1\nPort=%2\n"
                             "Database=%3\n")
                  .arg(server.value("Server"), server.value("Port"), server.value("Database"))
                  .toUtf8());
    ini.close();
    const ScopedEnvironment userDataSources("ODBCINI", dir.file("odbc.ini").toUtf8());
    for (const QString& text :
         {QStringLiteral("Provider=MSDASQL;DSN=xhook_erp;UID=%1"),
          QStringLiteral("Provider=MSDASQL;Data Source=xhook_erp;User ID=%1")}) {
        SCOPED_TRACE(text.toStdString());
        auto db = connect(text.arg(server.value("User ID")) + ";Pooling=false");
        EXPECT_EQ(readScalar(*db, "select current_database()").toString(),
                  server.value("Database"));
        EXPECT_EQ(db->providerName(), "ODBC");
    }
}

// SQLite through sqliteodbc: its literals, and no stored procedure, since SQLite's are the native
// ones that only the SQLite provider's own connection runs.
TEST(OdbcOnSqlite, LiteralsReadBackAndProceduresAreRefusedSayingWhy) {
    TempDir dir;
    const ScratchDatabase scratch(test::Backend::SQLiteThroughOdbc, dir.path());
    auto db = connect(scratch.connectionString());
    for (const QString& text : kTexts) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(readScalar(*db, "select " + db->textLiteral(text) + " as v").toString(), text);
    }
    EXPECT_FALSE(injectedTableExists(*db, false));
    registerNativeProcedure("odbc_native", [](QSqlDatabase&, QList<Parameter>&) {});
    QList<Parameter> none;
    const DbError error = raisedBy<DbError>([&] { db->runProcedure("odbc_native", none); });
    EXPECT_TRUE(error.description().contains("Provider=SQLite")) << error.what();
    EXPECT_FALSE(db->procedureParameters("odbc_native")) << "sqliteodbc's catalog has none";
    unregisterNativeProcedure("odbc_native");
}

}  // namespace
