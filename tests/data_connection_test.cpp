// The database layer on real SQLite files: opening, statements, result sets, transactions,
// adding rows to a table, stored procedures and their parameters, and the fault seam.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <thread>

#include "data/Command.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/NativeProcedures.h"
#include "data/ResultSet.h"
#include "data/TableAppender.h"
#include "foundation/Errors.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook::data;
using xhook::test::raisedBy;

namespace {

QString sqliteString(const QString& path, const QString& extra = {}) {
    return "Provider=SQLite;Data Source=" + path + extra;
}

class ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FaultInjection::clear();
        path = dir.file("host.db");
        Connection setup;
        setup.setConnectionString(sqliteString(path, ";Mode=ReadWriteCreate"));
        setup.open();
        setup.execute(
            "create table items(id integer primary key, name text, qty integer, note text)");
        setup.execute(
            "insert into items(name, qty, note) values('bolt', 5, null), ('nut', 7, ''), "
            "('gear', 1, 'x')");
    }
    void TearDown() override { FaultInjection::clear(); }

    std::unique_ptr<Connection> connect(const QString& text) {
        auto connection = std::make_unique<Connection>();
        connection->setConnectionString(text);
        connection->open();
        return connection;
    }
    std::unique_ptr<Connection> connect() { return connect(sqliteString(path)); }

    // One value of the first row of `sql`, read on a fresh connection.
    QVariant scalar(const QString& sql) {
        auto connection = connect();
        auto rows = connection->openResultSet(sql);
        return rows->eof() ? QVariant(QStringLiteral("<no row>")) : rows->value(0);
    }

    DbError openError(const QString& text) {
        Connection connection;
        connection.setConnectionString(text);
        const DbError error = raisedBy<DbError>([&] { connection.open(); });
        EXPECT_FALSE(connection.isOpen());
        return error;
    }

    xhook::test::TempDir dir;
    QString path;
};

}  // namespace

TEST_F(ConnectionTest, OpenNeverCreatesAMissingFileUnlessAsked) {
    const QString missing = dir.file("missing.db");
    const DbError error = openError(sqliteString(missing));
    EXPECT_TRUE(error.description().contains(missing)) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("does not exist"));
    EXPECT_FALSE(QFile::exists(missing));

    auto created = connect(sqliteString(missing, ";mode=readwritecreate"));
    EXPECT_TRUE(created->isOpen());
    EXPECT_EQ(created->providerName(), "SQLite");
    EXPECT_TRUE(QFile::exists(missing));

    auto readOnly = connect(sqliteString(path, ";Mode=Read"));
    EXPECT_EQ(readOnly->openResultSet("select count(*) from items")->value(0).toInt(), 3);
    EXPECT_TRUE(raisedBy<DbError>([&] { readOnly->execute("delete from items"); })
                    .description()
                    .contains("readonly"));

    EXPECT_TRUE(
        openError(sqliteString(path, ";Mode=Sometimes")).description().contains("Sometimes"));

    const QString notADatabase = dir.file("notes.txt");
    QFile file(notADatabase);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_TRUE(openError(sqliteString(notADatabase)).description().contains("not a database"));
}

TEST_F(ConnectionTest, ProviderAndKeyErrorsSayWhatIsWrong) {
    const DbError empty = openError("");
    EXPECT_EQ(empty.number(), DbErrorNumber::ProviderNotFound);
    EXPECT_TRUE(empty.description().contains("no provider"));
    EXPECT_EQ(openError("Data Source=" + path).number(), DbErrorNumber::ProviderNotFound);

    const DbError unknown = openError("Provider=Oracle;Data Source=x");
    EXPECT_EQ(unknown.number(), DbErrorNumber::ProviderNotFound);
    EXPECT_TRUE(unknown.description().contains("'Oracle'"));

    const DbError postgres = openError("Provider=PostgreSQL;Server=h");
    EXPECT_EQ(postgres.number(), DbErrorNumber::InvalidConnectionString);
    EXPECT_TRUE(postgres.description().contains("\"Database\""));

    const DbError noSource = openError("Provider=SQLite");
    EXPECT_EQ(noSource.number(), DbErrorNumber::InvalidConnectionString);
    EXPECT_TRUE(noSource.description().contains("\"Data Source\""));
}

TEST_F(ConnectionTest, ClosedConnectionRefusesWorkAndCloseIsTolerant) {
    const int qtConnectionsBefore = QSqlDatabase::connectionNames().size();
    Connection connection;
    EXPECT_NO_THROW(connection.close());
    QList<Parameter> none;
    const std::function<void()> operations[] = {
        [&] { connection.execute("select 1"); },
        [&] { connection.openResultSet("select 1"); },
        [&] { connection.openTable("items"); },
        [&] { connection.beginTrans(); },
        [&] { connection.commitTrans(); },
        [&] { connection.rollbackTrans(); },
        [&] { connection.runProcedure("sp_any", none); },
        [&] { connection.database(); },
    };
    for (const auto& operation : operations)
        EXPECT_EQ(raisedBy<DbError>(operation).number(), DbErrorNumber::ObjectClosed);

    connection.setConnectionString(sqliteString(path));
    connection.open();
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), qtConnectionsBefore + 1);
    EXPECT_EQ(raisedBy<DbError>([&] { connection.open(); }).number(), DbErrorNumber::ObjectOpen);
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_NO_THROW(connection.close());
    EXPECT_EQ(QSqlDatabase::connectionNames().size(), qtConnectionsBefore);
    connection.open();
    EXPECT_EQ(connection.openResultSet("select count(*) from items")->value(0).toInt(), 3);
}

TEST_F(ConnectionTest, StatementsGoThroughTheRewriteAndErrorsCarryTheProviderText) {
    auto connection = connect();
    auto rows = connection->openResultSet(
        "select top 2 name, isnull(note, '-') as note from items "
        "order by qty desc");
    EXPECT_EQ(rows->value("name").toString(), "nut");
    EXPECT_EQ(rows->value("note").toString(), "");
    rows->moveNext();
    EXPECT_EQ(rows->value("name").toString(), "bolt");
    EXPECT_EQ(rows->value("note").toString(), "-");
    rows->moveNext();
    EXPECT_TRUE(rows->eof());

    connection->execute("update items set qty = isnull(qty, 0) + 1 where name = 'gear'");
    EXPECT_EQ(scalar("select qty from items where name='gear'").toInt(), 2);

    const DbError error =
        raisedBy<DbError>([&] { connection->execute("insert into nosuch values(1)"); });
    EXPECT_EQ(error.number(), 1);
    EXPECT_EQ(error.nativeCode(), "1");
    EXPECT_TRUE(error.description().contains("no such table: nosuch"));
    EXPECT_TRUE(error.description().contains("insert into nosuch values(1)"));
    EXPECT_TRUE(raisedBy<DbError>([&] { connection->openResultSet("select nope from items"); })
                    .description()
                    .contains("no such column: nope"));
}

TEST_F(ConnectionTest, BoundValuesArePositionalAndKeepTheirTypes) {
    auto connection = connect();
    connection->execute("create table loose(a, b, c)");
    connection->execute("insert into loose values(?, ?, ?)",
                        {QVariant::fromValue<qint16>(5), QStringLiteral("it's"), QVariant()});
    auto rows =
        connection->openResultSet("select typeof(a), typeof(b), typeof(c), a, b from loose");
    EXPECT_EQ(rows->value(0).toString(), "integer");
    EXPECT_EQ(rows->value(1).toString(), "text");
    EXPECT_EQ(rows->value(2).toString(), "null");
    EXPECT_EQ(rows->value(3).toLongLong(), 5);
    EXPECT_EQ(rows->value(4).toString(), "it's");
}

TEST_F(ConnectionTest, ResultSetReadsByNameAndTellsNullFromEmpty) {
    auto connection = connect();
    auto rows = connection->openResultSet("select id, name as Name, note from items order by id");
    EXPECT_EQ(rows->fieldCount(), 3);
    EXPECT_EQ(rows->fieldName(1), "Name");
    EXPECT_EQ(rows->fieldIndex("NAME"), 1);
    EXPECT_EQ(rows->fieldIndex("missing"), -1);
    EXPECT_EQ(rows->value("name").toString(), "bolt");
    EXPECT_EQ(rows->value("NaMe"), rows->value(1));
    EXPECT_TRUE(rows->value("note").isNull());
    rows->moveNext();
    EXPECT_FALSE(rows->value("note").isNull());
    EXPECT_EQ(rows->value("note").toString(), "");

    const DbError unknown = raisedBy<DbError>([&] { rows->value("fmissing"); });
    EXPECT_EQ(unknown.number(), DbErrorNumber::ItemNotFound);
    EXPECT_TRUE(unknown.description().contains("fmissing"));
    EXPECT_EQ(raisedBy<DbError>([&] { rows->value(3); }).number(), DbErrorNumber::ItemNotFound);

    rows->moveNext();
    rows->moveNext();
    EXPECT_TRUE(rows->eof());
    EXPECT_EQ(raisedBy<DbError>([&] { rows->value("name"); }).number(),
              DbErrorNumber::NoCurrentRecord);
    EXPECT_EQ(raisedBy<DbError>([&] { rows->moveNext(); }).number(),
              DbErrorNumber::NoCurrentRecord);
    rows->close();
    EXPECT_EQ(raisedBy<DbError>([&] { rows->eof(); }).number(), DbErrorNumber::ObjectClosed);

    EXPECT_TRUE(connection->openResultSet("select * from items where 1=0")->eof());
}

TEST_F(ConnectionTest, TransactionsCommitRollBackAndCloseRollsBack) {
    auto connection = connect();
    connection->beginTrans();
    EXPECT_TRUE(connection->inTransaction());
    EXPECT_NE(raisedBy<DbError>([&] { connection->beginTrans(); }).description().indexOf("already"),
              -1);
    connection->execute("delete from items");
    connection->rollbackTrans();
    EXPECT_FALSE(connection->inTransaction());
    EXPECT_EQ(scalar("select count(*) from items").toInt(), 3);

    connection->beginTrans();
    connection->execute("delete from items where name='bolt'");
    connection->commitTrans();
    EXPECT_EQ(scalar("select count(*) from items").toInt(), 2);
    EXPECT_TRUE(raisedBy<DbError>([&] { connection->commitTrans(); })
                    .description()
                    .contains("no transaction"));
    EXPECT_THROW(connection->rollbackTrans(), DbError);

    connection->beginTrans();
    connection->execute("delete from items");
    connection->close();
    EXPECT_EQ(scalar("select count(*) from items").toInt(), 2);
}

// A second workstation that wants to write waits for the first one's transaction to end.
TEST_F(ConnectionTest, AWriterWaitsForAnotherConnectionsTransaction) {
    auto first = connect();
    first->beginTrans();
    first->execute("insert into items(name) values('first')");
    QString secondError;
    qint64 waitedMs = 0;
    std::thread second([&] {
        try {
            Connection other;
            other.setConnectionString(sqliteString(path));
            other.open();
            QElapsedTimer timer;
            timer.start();
            other.beginTrans();
            waitedMs = timer.elapsed();
            other.execute("insert into items(name) values('second')");
            other.commitTrans();
        } catch (const DbError& error) {
            secondError = error.description();
        }
    });
    QThread::msleep(400);
    first->commitTrans();
    second.join();
    EXPECT_EQ(secondError, QString());
    EXPECT_GE(waitedMs, 300);
    EXPECT_EQ(scalar("select count(*) from items where name in ('first','second')").toInt(), 2);
}

TEST_F(ConnectionTest, TableAppenderWritesEachRowAtOnce) {
    auto connection = connect();
    const DbError missing = raisedBy<DbError>([&] { connection->openTable("t_nosuch"); });
    EXPECT_TRUE(missing.description().contains("no such table: t_nosuch"));
    EXPECT_TRUE(raisedBy<DbError>([&] { connection->openTable("items; drop table items"); })
                    .description()
                    .contains("not a valid table name"));

    auto table = connection->openTable("ITEMS");
    table->addRow({{"NAME", "washer"}, {"Qty", QVariant::fromValue<qint16>(9)}});
    EXPECT_EQ(scalar("select qty from items where name='washer'").toInt(), 9);
    const DbError unknown = raisedBy<DbError>([&] { table->addRow({{"fwidth", 1}}); });
    EXPECT_EQ(unknown.number(), DbErrorNumber::ItemNotFound);
    EXPECT_TRUE(unknown.description().contains("fwidth"));

    connection->beginTrans();
    table->addRow({{"name", "spring"}});
    connection->rollbackTrans();
    EXPECT_EQ(scalar("select count(*) from items where name='spring'").toInt(), 0);

    table->close();
    EXPECT_EQ(raisedBy<DbError>([&] {
                  table->addRow({{"name", "x"}});
              }).number(),
              DbErrorNumber::ObjectClosed);
}

namespace {

Parameter& named(QList<Parameter>& parameters, const char* name) {
    for (Parameter& p : parameters)
        if (p.name == QLatin1String(name)) return p;
    throw std::logic_error(name);
}

// A procedure shaped like the host's reconciliation procedure: writes a row, answers in the
// outputs, and fails on request.
void reconcileForTest(QSqlDatabase& db, QList<Parameter>& parameters) {
    const QVariant type = named(parameters, "intType").value;
    QSqlQuery insert(db);
    insert.prepare("insert into items(name, qty, note) values(?, ?, ?)");
    insert.addBindValue(named(parameters, "interids1").value);
    insert.addBindValue(named(parameters, "loginUserId").value);
    insert.addBindValue(QString::fromLatin1(type.metaType().name()) + "/" +
                        named(parameters, "loginUserId").value.metaType().name() + "/" +
                        named(parameters, "interids2").value.metaType().name() + "/" +
                        (named(parameters, "intReturnValue").value.isNull() ? "null" : "set"));
    if (!insert.exec()) throw DbError::fromSqlError(insert.lastError());
    if (type.toLongLong() == 9) xhook::raiseInvalidProcedureCall("refused on purpose");
    if (type.toLongLong() == 8) {
        named(parameters, "strReturnValue").value = QString(101, 'w');
        return;
    }
    if (type.toLongLong() == 7) return;  // answers nothing
    named(parameters, "intReturnValue").value = 1;
    named(parameters, "strReturnValue").value = "done";
}

class ProcedureTest : public ConnectionTest {
  protected:
    void SetUp() override {
        ConnectionTest::SetUp();
        registerNativeProcedure("SP_Test_Reconcile", reconcileForTest);
        connection = connect();
    }
    void TearDown() override {
        unregisterNativeProcedure("sp_test_reconcile");
        ConnectionTest::TearDown();
    }

    Command reconcileCommand(qint64 type, const QVariant& userId = QStringLiteral(" 42 ")) {
        Command command;
        command.setActiveConnection(connection.get());
        command.setCommandText("sp_test_reconcile");
        command.setCommandType(Command::adCmdStoredProc);
        command.appendParameter(
            Command::createParameter("interids1", adVarChar, adParamInput, 1000, ",5001,"));
        command.appendParameter(
            Command::createParameter("interids2", adVarChar, adParamInput, 1000, ",1001,1002,"));
        command.appendParameter(Command::createParameter("intType", adBigInt, adParamInput, 10,
                                                         QVariant::fromValue<qint16>(type)));
        command.appendParameter(Command::createParameter("intReturnValue", adBigInt, adParamOutput,
                                                         10, QVariant::fromValue<qint16>(-1)));
        command.appendParameter(
            Command::createParameter("strReturnValue", adVarChar, adParamOutput, 100, ""));
        command.appendParameter(
            Command::createParameter("loginUserId", adBigInt, adParamInput, 10, userId));
        return command;
    }

    int rowsWritten() { return scalar("select count(*) from items where name=',5001,'").toInt(); }

    std::unique_ptr<Connection> connection;
};

}  // namespace

TEST_F(ProcedureTest, OutputsReceiveTheAnswersAndInputsArriveTyped) {
    Command command = reconcileCommand(2);
    command.execute();
    EXPECT_EQ(command.parameter("INTRETURNVALUE").value.toLongLong(), 1);
    EXPECT_EQ(command.parameter("strReturnValue").value.toString(), "done");
    EXPECT_EQ(command.parameter("intType").value.toInt(), 2);
    EXPECT_EQ(scalar("select qty from items where name=',5001,'").toLongLong(), 42);
    EXPECT_EQ(scalar("select note from items where name=',5001,'").toString(),
              "qlonglong/qlonglong/QString/null");
    EXPECT_EQ(raisedBy<DbError>([&] { command.parameter("nosuch"); }).number(),
              DbErrorNumber::ItemNotFound);

    Command silent = reconcileCommand(7);
    silent.execute();
    EXPECT_TRUE(silent.parameter("intReturnValue").value.isNull());
    EXPECT_TRUE(silent.parameter("strReturnValue").value.isNull());
}

TEST_F(ProcedureTest, AFailingProcedureIsRolledBackAndKeepsItsError) {
    Command refused = reconcileCommand(9);
    const DbError error = raisedBy<DbError>([&] { refused.execute(); });
    EXPECT_EQ(error.number(), xhook::RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_TRUE(error.description().contains("refused on purpose"));
    EXPECT_EQ(rowsWritten(), 0);

    Command tooLongAnswer = reconcileCommand(8);
    const DbError tooLong = raisedBy<DbError>([&] { tooLongAnswer.execute(); });
    EXPECT_EQ(tooLong.number(), DbErrorNumber::ValueTooLong);
    EXPECT_EQ(rowsWritten(), 0);

    Command missing = reconcileCommand(2);
    missing.setCommandText("sp_missing");
    EXPECT_TRUE(raisedBy<DbError>([&] { missing.execute(); })
                    .description()
                    .contains("could not find stored procedure 'sp_missing'"));
    EXPECT_EQ(raisedBy<DbError>([] { Command().execute(); }).number(), DbErrorNumber::ObjectClosed);
}

TEST_F(ProcedureTest, InsideAnOpenTransactionTheProcedureJoinsIt) {
    connection->beginTrans();
    reconcileCommand(2).execute();
    EXPECT_TRUE(connection->inTransaction());
    connection->rollbackTrans();
    EXPECT_EQ(rowsWritten(), 0);
}

TEST_F(ProcedureTest, InputsAreCheckedBeforeTheProcedureRuns) {
    Command badUser = reconcileCommand(2, QStringLiteral("abc"));
    const DbError wrongType = raisedBy<DbError>([&] { badUser.execute(); });
    EXPECT_EQ(wrongType.number(), DbErrorNumber::WrongType);
    EXPECT_TRUE(wrongType.description().contains("loginUserId"));
    EXPECT_EQ(rowsWritten(), 0);

    Command longList = reconcileCommand(2);
    longList.parameter("interids2").value = "," + QString(998, '1') + ",";
    longList.execute();
    longList.parameter("interids2").value = "," + QString(999, '1') + ",";
    const DbError tooLong = raisedBy<DbError>([&] { longList.execute(); });
    EXPECT_EQ(tooLong.number(), DbErrorNumber::ValueTooLong);
    for (const char* part : {"interids2", "1001", "1000"})
        EXPECT_TRUE(tooLong.description().contains(part)) << part;
    EXPECT_EQ(rowsWritten(), 1);
}

TEST(ParameterTest, BoundValuesTakeTheDeclaredType) {
    const auto bound = [](int type, const QVariant& value) {
        return boundInputValue(Parameter{"p", type, adParamInput, 10, value});
    };
    EXPECT_EQ(bound(adBigInt, " -42 ").typeId(), QMetaType::LongLong);
    EXPECT_EQ(bound(adBigInt, " -42 ").toLongLong(), -42);
    EXPECT_EQ(bound(adBigInt, QVariant::fromValue<qint16>(2)).toLongLong(), 2);
    EXPECT_EQ(bound(adBigInt, 3.0).toLongLong(), 3);
    for (const QVariant& wrong : {QVariant("abc"), QVariant(""), QVariant(2.5), QVariant("1e3")})
        EXPECT_EQ(raisedBy<DbError>([&] { bound(adBigInt, wrong); }).number(),
                  DbErrorNumber::WrongType)
            << wrong.toString().toStdString();
    EXPECT_EQ(bound(adVarChar, 12345).toString(), "12345");
    EXPECT_EQ(bound(adVarChar, "").typeId(), QMetaType::QString);
    EXPECT_TRUE(bound(adVarChar, QVariant()).isNull());
    EXPECT_TRUE(bound(adBigInt, QVariant()).isNull());
    EXPECT_EQ(raisedBy<DbError>([&] { bound(adVarChar, "12345678901"); }).number(),
              DbErrorNumber::ValueTooLong);
}

TEST_F(ConnectionTest, AnArmedFaultFailsTheNthCallOnce) {
    FaultInjection::failCall(3);
    auto connection = connect();                      // call 1
    connection->execute("update items set qty = 0");  // call 2
    const DbError fault = raisedBy<DbError>([&] { connection->openResultSet("select 1"); });
    EXPECT_EQ(fault.number(), DbErrorNumber::InjectedFault);
    EXPECT_TRUE(fault.description().contains("OpenResultSet"));
    EXPECT_TRUE(FaultInjection::triggered());
    auto rows = connection->openResultSet("select name from items");  // 4: no second failure
    rows->value("name");                                              // 5
    rows->moveNext();                                                 // 6
    EXPECT_EQ(FaultInjection::callsSeen(), 6);

    FaultInjection::failCall(1);
    EXPECT_THROW(connection->close(), DbError);
    EXPECT_TRUE(connection->isOpen());
    connection.reset();  // the destructor closes without the check and without raising
    FaultInjection::clear();
    EXPECT_EQ(FaultInjection::callsSeen(), 0);
    EXPECT_FALSE(FaultInjection::triggered());
}

TEST_F(ConnectionTest, ATextCommandRunsItsText) {
    auto connection = connect();
    Command command;
    command.setActiveConnection(connection.get());
    command.setCommandText("delete from items where isnull(note, '') = ''");
    command.execute();
    EXPECT_EQ(scalar("select count(*) from items").toInt(), 1);
}
