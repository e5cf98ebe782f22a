// The database layer on a real PostgreSQL server, named by XHOOK_PG_CONNECTION (scripts/test
// starts a throw-away server and sets it): opening, statements, result sets, the Transact-SQL
// rewrite, transactions, adding rows, and stored procedures with INOUT outputs. Every test uses
// tables and procedures of its own, so that the tests can run side by side on one database.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "component/SharedState.h"
#include "data/Command.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/ResultSet.h"
#include "data/SharedConnection.h"
#include "data/TableAppender.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"

using namespace xhook::data;
using xhook::test::raisedBy;

namespace {

constexpr const char* kConnectionVariable = "XHOOK_PG_CONNECTION";

class PostgresDataLayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connectionString = qEnvironmentVariable(kConnectionVariable);
        if (connectionString.isEmpty())
            GTEST_SKIP() << kConnectionVariable
                         << " is not set; scripts/test starts a PostgreSQL test server and sets it";
        db = connect(connectionString);
    }
    void TearDown() override {
        xhook::shared().gConnection.reset();
        xhook::shared().DBConnectionString.clear();
    }

    static std::unique_ptr<Connection> connect(const QString& text) {
        auto connection = std::make_unique<Connection>();
        connection->setConnectionString(text);
        connection->open();
        return connection;
    }

    // The connection string with another port, where no server listens.
    QString withPort(int port) const {
        QString text = connectionString;
        static const QRegularExpression portItem(QStringLiteral("Port=\\d+"),
                                                 QRegularExpression::CaseInsensitiveOption);
        text.replace(portItem, QStringLiteral("Port=%1").arg(port));
        if (!text.contains(QStringLiteral("Port=%1").arg(port)))
            text += QStringLiteral(";Port=%1").arg(port);
        return text;
    }

    QVariant scalar(const QString& sql) {
        auto rows = db->openResultSet(sql);
        return rows->eof() ? QVariant(QStringLiteral("<no row>")) : rows->value(0);
    }

    QString connectionString;
    std::unique_ptr<Connection> db;
};

Parameter parameter(const QString& name, int type, int direction, int size, const QVariant& value) {
    return Command::createParameter(name, type, direction, size, value);
}

// The reconciliation procedure's command with its six parameters, as the reconciliation command
// builds it, run on `connection`.
std::unique_ptr<Command> runReconcileCommand(Connection* connection, const QString& procedure,
                                             const QString& outbound, const QString& invoices,
                                             const QString& loginUserId) {
    auto command = std::make_unique<Command>();
    command->setActiveConnection(connection);
    command->setCommandText(procedure);
    command->setCommandType(Command::adCmdStoredProc);
    command->appendParameter(parameter("interids1", adVarChar, adParamInput, 1000, outbound));
    command->appendParameter(parameter("interids2", adVarChar, adParamInput, 1000, invoices));
    command->appendParameter(
        parameter("intType", adBigInt, adParamInput, 10, QVariant::fromValue(qint16(2))));
    command->appendParameter(
        parameter("intReturnValue", adBigInt, adParamOutput, 10, QVariant::fromValue(qint16(-1))));
    command->appendParameter(
        parameter("strReturnValue", adVarChar, adParamOutput, 100, QString("")));
    command->appendParameter(parameter("loginUserId", adBigInt, adParamInput, 10, loginUserId));
    command->execute();
    return command;
}

}  // namespace

TEST_F(PostgresDataLayerTest, OpensClosesAndReportsAFailedOpen) {
    EXPECT_TRUE(db->isOpen());
    EXPECT_EQ(db->providerName(), "PostgreSQL");
    EXPECT_EQ(scalar("select current_database()").toString(), "xhook_test");
    db->close();
    EXPECT_FALSE(db->isOpen());
    EXPECT_NO_THROW(db->close());

    Connection refused;
    refused.setConnectionString(withPort(1));
    const DbError error = raisedBy<DbError>([&] { refused.open(); });
    EXPECT_FALSE(refused.isOpen());
    EXPECT_TRUE(error.description().contains("port 1")) << error.description().toStdString();

    Connection badPort;
    badPort.setConnectionString(withPort(70000));
    EXPECT_EQ(raisedBy<DbError>([&] { badPort.open(); }).number(),
              DbErrorNumber::InvalidConnectionString);

    xhook::shared().DBConnectionString = withPort(1);
    EXPECT_FALSE(raisedBy<DbError>([] { xhook::OpenConnection(); }).description().isEmpty());
    EXPECT_EQ(xhook::shared().gConnection, nullptr);

    xhook::shared().DBConnectionString = connectionString;
    EXPECT_TRUE(xhook::OpenConnection());
    ASSERT_NE(xhook::shared().gConnection, nullptr);
    EXPECT_TRUE(xhook::shared().gConnection->isOpen());
    xhook::CloseConnection();
    EXPECT_EQ(xhook::shared().gConnection, nullptr);
}

TEST_F(PostgresDataLayerTest, ResultSetsReadByNameRegardlessOfCaseWithNullsAndRewrites) {
    db->execute("drop table if exists pg_rs_lines");
    db->execute(
        "create table pg_rs_lines(fSInterId bigint, fcustomerIdNumber varchar(20), fnote "
        "varchar(20), fprice numeric(10,2), fqty double precision, forderid integer)");
    db->execute(
        "insert into pg_rs_lines values (5001, 'C-01', null, 2.50, 3, 1), (5002, 'C-02', '', "
        "10, 0.25, 2), (5003, 'C-03', 'x', null, null, 3)");

    auto rows = db->openResultSet(
        "select fSInterId, fcustomerIdNumber, fnote, fprice, fqty from pg_rs_lines order by "
        "forderid");
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->value("fSInterId").toLongLong(), 5001);
    EXPECT_EQ(rows->value("FSINTERID").toLongLong(), 5001);
    EXPECT_EQ(rows->value("fcustomeridnumber").toString(), "C-01");
    EXPECT_EQ(rows->value("fCustomerIdNumber").toString(), "C-01");
    EXPECT_TRUE(rows->value("fnote").isNull());
    EXPECT_EQ(rows->value("fprice").typeId(), QMetaType::Double);
    EXPECT_EQ(rows->value("fprice").toString(), "2.5");
    EXPECT_EQ(rows->value("fqty").toString(), "3");
    EXPECT_EQ(raisedBy<DbError>([&] { rows->value("fmissing"); }).number(),
              DbErrorNumber::ItemNotFound);
    rows->moveNext();
    ASSERT_FALSE(rows->eof());
    EXPECT_FALSE(rows->value("fnote").isNull());
    EXPECT_EQ(rows->value("fnote").toString(), "");
    EXPECT_EQ(rows->value("fprice").toString(), "10");
    EXPECT_EQ(rows->value("fqty").toString(), "0.25");
    rows->moveNext();
    EXPECT_TRUE(rows->value("fprice").isNull());
    rows->moveNext();
    EXPECT_TRUE(rows->eof());

    auto top = db->openResultSet(
        "select top 2 fSInterId, isnull(fnote,'-') as fnote from pg_rs_lines order by forderid");
    QStringList seen;
    for (; !top->eof(); top->moveNext())
        seen << top->value("FSInterID").toString() + ":" + top->value("FNote").toString();
    EXPECT_EQ(seen, QStringList({"5001:-", "5002:"}));

    db->execute("drop table if exists t_GS_tableinfo");
    db->execute("create table t_GS_tableinfo(ftablename varchar(40), fcolwidth integer)");
    db->execute("insert into t_GS_tableInfo values ('vsf1', 1200)");
    EXPECT_EQ(scalar("select fColWidth from T_GS_TABLEINFO where fTableName='vsf1'").toInt(), 1200);
}

TEST_F(PostgresDataLayerTest, ProviderErrorsCarryTheSqlState) {
    const DbError missingTable =
        raisedBy<DbError>([&] { db->openResultSet("select * from pg_no_such_table"); });
    EXPECT_EQ(missingTable.nativeCode(), "42P01");
    EXPECT_TRUE(missingTable.description().contains("pg_no_such_table"))
        << missingTable.description().toStdString();

    db->execute("drop table if exists pg_err_keys");
    db->execute("create table pg_err_keys(id bigint primary key)");
    db->execute("insert into pg_err_keys values (?)", {qint64(1)});
    EXPECT_EQ(
        raisedBy<DbError>([&] { db->execute("insert into pg_err_keys values (1)"); }).nativeCode(),
        "23505");
    EXPECT_EQ(raisedBy<DbError>([&] { db->execute("selec 1"); }).nativeCode(), "42601");
}

TEST_F(PostgresDataLayerTest, TransactionsCommitAndRollBack) {
    db->execute("drop table if exists pg_tx_rows");
    db->execute("create table pg_tx_rows(id bigint)");

    db->beginTrans();
    EXPECT_TRUE(db->inTransaction());
    db->execute("insert into pg_tx_rows values (1)");
    EXPECT_EQ(connect(connectionString)
                  ->openResultSet("select count(*) from pg_tx_rows")
                  ->value(0)
                  .toInt(),
              0);  // not visible to another connection before the commit
    db->rollbackTrans();
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(scalar("select count(*) from pg_tx_rows").toInt(), 0);

    db->beginTrans();
    db->execute("insert into pg_tx_rows values (2)");
    db->commitTrans();
    EXPECT_EQ(scalar("select count(*) from pg_tx_rows").toInt(), 1);

    // A transaction left open when the connection closes is rolled back.
    db->beginTrans();
    db->execute("insert into pg_tx_rows values (3)");
    db->close();
    db = connect(connectionString);
    EXPECT_EQ(scalar("select count(*) from pg_tx_rows").toInt(), 1);
}

TEST_F(PostgresDataLayerTest, TableAppenderAddsRowsByColumnNameRegardlessOfCase) {
    db->execute("drop table if exists pg_app_widths");
    db->execute(
        "create table pg_app_widths(fTableName varchar(40), fColIndex integer, fColWidth "
        "bigint, fNote varchar(10))");
    auto table = db->openTable("pg_App_Widths");
    table->addRow({{"FTABLENAME", "vsf1"}, {"fcolindex", 3}, {"fColWidth", qint64(1440)}});
    table->addRow({{"fTableName", "it's"}, {"fColIndex", QString("4")}, {"fNote", QString("")}});
    EXPECT_EQ(raisedBy<DbError>([&] {
                  table->addRow({{"fWidth", 1}});
              }).number(),
              DbErrorNumber::ItemNotFound);
    table->close();

    auto rows = db->openResultSet(
        "select fTableName, fColIndex, fColWidth, fNote from pg_app_widths order by fColIndex");
    ASSERT_FALSE(rows->eof());
    EXPECT_EQ(rows->value("ftablename").toString(), "vsf1");
    EXPECT_EQ(rows->value("fcolwidth").toLongLong(), 1440);
    EXPECT_TRUE(rows->value("fnote").isNull());
    rows->moveNext();
    EXPECT_EQ(rows->value("ftablename").toString(), "it's");
    EXPECT_EQ(rows->value("fcolindex").toInt(), 4);
    EXPECT_FALSE(rows->value("fnote").isNull());

    EXPECT_EQ(raisedBy<DbError>([&] { db->openTable("pg_no_such_widths"); }).nativeCode(), "42P01");
}

TEST_F(PostgresDataLayerTest, ReconcileProcedureAnswersThroughItsInoutParameters) {
    db->execute(
        "create or replace procedure sp_GS_billGJ(interids1 varchar, interids2 varchar, intType "
        "bigint, inout intReturnValue bigint, inout strReturnValue varchar, loginUserId bigint) "
        "language plpgsql as $$ begin "
        "  if intReturnValue is not null or strReturnValue is not null then "
        "    raise exception 'outputs arrive with a value'; end if; "
        "  intReturnValue := intType + loginUserId; "
        "  strReturnValue := interids1 || interids2; "
        "end $$");

    auto command = runReconcileCommand(db.get(), "sp_GS_billGJ", ",5001,", ",1001,1002,", "7");
    const QVariant answer = command->parameter("intReturnValue").value;
    EXPECT_EQ(answer.typeId(), QMetaType::LongLong);
    EXPECT_EQ(answer.toLongLong(), 9);
    const QVariant text = command->parameter("strReturnValue").value;
    EXPECT_EQ(text.typeId(), QMetaType::QString);
    EXPECT_EQ(text.toString(), ",5001,,1001,1002,");
    EXPECT_EQ(command->parameter("interids1").value.toString(), ",5001,");

    // Quotes and backslashes reach the procedure as they are, never as SQL.
    auto quoted =
        runReconcileCommand(db.get(), "sp_gs_billgj", "a'b\\", "');drop table x;--", " 40 ");
    EXPECT_EQ(quoted->parameter("intReturnValue").value.toLongLong(), 42);
    EXPECT_EQ(quoted->parameter("strReturnValue").value.toString(), "a'b\\');drop table x;--");
}

TEST_F(PostgresDataLayerTest, ProceduresRunInTheOpenTransactionAndRaiseWithTheSqlState) {
    db->execute("drop table if exists pg_proc_log");
    db->execute("create table pg_proc_log(fnote varchar(200))");
    db->execute(
        "create or replace procedure pg_proc_note(fText varchar, inout intReturnValue bigint, "
        "inout strReturnValue varchar) language plpgsql as $$ begin "
        "  if fText = 'refuse' then raise exception 'refused: %', fText using errcode = '22023'; "
        "  end if; "
        "  insert into pg_proc_log values (fText); "
        "  intReturnValue := length(fText); strReturnValue := repeat(fText, 3); "
        "end $$");
    auto call = [&](const QString& text, int answerSize) {
        QList<Parameter> parameters{
            parameter("fText", adVarChar, adParamInput, 200, text),
            parameter("intReturnValue", adBigInt, adParamOutput, 10, qint64(-1)),
            parameter("strReturnValue", adVarChar, adParamOutput, answerSize, QString("")),
        };
        db->runProcedure("PG_Proc_Note", parameters);
        return parameters;
    };

    const QList<Parameter> answers = call("abc", 100);
    EXPECT_EQ(answers[1].value.toLongLong(), 3);
    EXPECT_EQ(answers[2].value.toString(), "abcabcabc");
    EXPECT_EQ(scalar("select count(*) from pg_proc_log").toInt(), 1);

    db->beginTrans();
    call("undone", 100);
    db->rollbackTrans();
    EXPECT_EQ(scalar("select count(*) from pg_proc_log where fnote='undone'").toInt(), 0);

    const DbError tooLong = raisedBy<DbError>([&] { call("long", 5); });
    EXPECT_EQ(tooLong.number(), DbErrorNumber::ValueTooLong);
    EXPECT_EQ(scalar("select count(*) from pg_proc_log where fnote='long'").toInt(), 0);

    const DbError refused = raisedBy<DbError>([&] { call("refuse", 100); });
    EXPECT_EQ(refused.nativeCode(), "22023");
    EXPECT_TRUE(refused.description().contains("refused: refuse"))
        << refused.description().toStdString();
    EXPECT_EQ(scalar("select count(*) from pg_proc_log where fnote='refuse'").toInt(), 0);

    QList<Parameter> none;
    EXPECT_EQ(
        raisedBy<DbError>([&] { db->runProcedure("pg_no_such_procedure", none); }).nativeCode(),
        "42883");
}

TEST_F(PostgresDataLayerTest, AResultSetKeepsItsRowsWhileOtherStatementsRunOnTheConnection) {
    db->execute("drop table if exists pg_rs_many");
    db->execute("create table pg_rs_many(id bigint, fnote varchar(10))");
    db->execute("insert into pg_rs_many select g, 'n' from generate_series(1, 500) g");

    auto rows = db->openResultSet("select id from pg_rs_many order by id");
    QList<qint64> seen;
    for (; !rows->eof(); rows->moveNext()) {
        seen.append(rows->value("id").toLongLong());
        // Another statement between two reads, as a routine that writes while it reads does.
        db->execute("update pg_rs_many set fnote='r' where id=?", {seen.last()});
    }
    ASSERT_EQ(seen.size(), 500) << "rows lost after the first statement in between";
    EXPECT_EQ(seen.last(), 500);
    EXPECT_EQ(scalar("select count(*) from pg_rs_many where fnote='r'").toInt(), 500);
}
