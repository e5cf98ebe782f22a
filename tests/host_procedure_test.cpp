// The stand-alone host's sp_GS_billGJ on the demo database, called through the database layer
// with the six parameters that the component passes: what it refuses and why, what a
// reconciliation writes, and that nothing is half-written. On SQLite the procedure is the native
// one, on PostgreSQL the server's own; both give the same answers.
#include <gtest/gtest.h>

#include <QDateTime>

#include "data/Command.h"
#include "data/DbError.h"
#include "host/lib/BillReconciliation.h"
#include "host/lib/DemoProcedures.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"

using namespace xhook;
using namespace xhook::data;
using namespace xhook::test;

namespace {

struct Answer {
    QVariant value;
    QString text;
};

// What a refusal must leave as it was.
struct Snapshot {
    QVariant reconciliations;
    QVariant entries;
    QList<QVariantList> invoiceHooks;
    QList<QVariantList> outboundHooks;
    bool operator==(const Snapshot&) const = default;
};

class ReconcileProcedureTest : public DemoDatabaseBackendTest {
  protected:
    void SetUp() override {
        host::registerDemoProcedures();
        host::registerDemoProcedures();  // a second registration changes nothing
        DemoDatabaseBackendTest::SetUp();
    }

    Answer call(const QString& outbound, const QString& invoices, const QVariant& user = "1") {
        Command command;
        command.setActiveConnection(&connection);
        command.setCommandText("sp_GS_billGJ");
        command.setCommandType(Command::adCmdStoredProc);
        command.appendParameter(
            Command::createParameter("interids1", adVarChar, adParamInput, 1000, outbound));
        command.appendParameter(
            Command::createParameter("interids2", adVarChar, adParamInput, 1000, invoices));
        command.appendParameter(Command::createParameter("intType", adBigInt, adParamInput, 10, 2));
        command.appendParameter(
            Command::createParameter("intReturnValue", adBigInt, adParamOutput, 10, -1));
        command.appendParameter(
            Command::createParameter("strReturnValue", adVarChar, adParamOutput, 100, QString()));
        command.appendParameter(
            Command::createParameter("loginUserId", adBigInt, adParamInput, 10, user));
        command.execute();
        return {command.parameter("intReturnValue").value,
                command.parameter("strReturnValue").value.toString()};
    }

    Snapshot snapshot() {
        return {readScalar(connection, "select count(*) from t_GS_billGJ"),
                readScalar(connection, "select count(*) from t_GS_billGJEntry"),
                readRows(connection, "select finterid, fhookinterid from icsale order by finterid"),
                readRows(connection,
                         "select finterid, fhookinterid from icstockbill order by finterid")};
    }

    // A refusal that names `named` and leaves the database as it was.
    void expectRefused(const QString& outbound, const QString& invoices, const QStringList& named) {
        SCOPED_TRACE((outbound + " / " + invoices).toStdString());
        const Snapshot before = snapshot();
        const Answer answer = call(outbound, invoices);
        EXPECT_EQ(answer.value, -1);
        EXPECT_LE(answer.text.size(), 100);
        EXPECT_FALSE(answer.text.isEmpty());
        for (const QString& part : named)
            EXPECT_TRUE(answer.text.contains(part)) << answer.text.toStdString();
        EXPECT_TRUE(snapshot() == before) << "a refusal writes nothing";
    }

    // The item code of the first line of `lineTable` (as e) that meets `condition`.
    QString itemNumberOf(const QString& lineTable, const QString& condition) {
        return readScalar(connection, QString("select i.fnumber from %1 e join t_icitem i on "
                                              "i.fitemid=e.fitemid where %2")
                                          .arg(lineTable, condition))
            .toString();
    }

    QVariant hookOf(const QString& table, int id) {
        return readScalar(
            connection,
            QString("select fhookinterid from %1 where finterid=%2").arg(table).arg(id));
    }
};

}  // namespace

TEST_P(ReconcileProcedureTest, RefusesWithAReasonAndWritesNothing) {
    expectRefused(",5999,", ",1001,", {"5999", "销售出库单", "不存在"});
    expectRefused(",5001,", ",1001,1999,", {"1999", "销售发票", "不存在"});
    expectRefused(",5010,0,", ",1009,", {"内码0"});
    expectRefused(",0,", ",1001,", {"内码0"});
    expectRefused(",5001,5006,", ",1001,1005,",
                  {"不属于同一客户", "XSFP000001", "上海宏达机电设备有限公司", "XSFP000005",
                   "北京恒信五金制品有限公司"});
    expectRefused(",5006,", ",1001,", {"不属于同一客户", "XSCK000006"});
    expectRefused(",5007,", ",1006,", {"XSFP000006", "已经钩稽", "GJ000001"});
    expectRefused(",5007,5008,", ",1007,", {"XSCK000007", "已经钩稽", "GJ000001"});
    const QString differing = itemNumberOf("icstockbillentry",
                                           "e.finterid=5005 and e.fqty <> (select s.fqty from "
                                           "icsaleentry s where s.finterid=1004 and "
                                           "s.fentryid=e.fentryid)");
    ASSERT_FALSE(differing.isEmpty());
    expectRefused(",5005,", ",1004,", {differing, "不一致"});
    // The line without source: its item is on the invoice only.
    const QString unsourced =
        itemNumberOf("icsaleentry", "e.finterid=1009 and e.fsinterid is null");
    expectRefused(",5010,", ",1009,", {unsourced, "只在销售发票中"});
    // Goods delivered but not invoiced: on the outbound side only.
    const QString uninvoiced = itemNumberOf("icsaleentry", "e.finterid=1001 and e.fentryid=2");
    connection.execute("delete from icsaleentry where finterid=1001 and fentryid=2");
    expectRefused(",5001,", ",1001,", {uninvoiced, "只在销售出库单中"});
    expectRefused(",", ",1001,", {"没有要钩稽的销售出库单"});
    expectRefused(",5001,", ",,", {"没有要钩稽的销售发票"});
    expectRefused("", "", {"没有要钩稽的"});
    expectRefused(",5001,abc,", ",1001,", {"abc", "无效"});
    expectRefused(",5001,", ",1001,-2,", {"-2", "无效"});
    expectRefused(",5001,", ",1001, 1002,", {"无效"});
    expectRefused(",5001,", ",99999999999999999999,", {"无效"});
}

TEST_P(ReconcileProcedureTest, ReconcilesAllDocumentsAndRefusesThemAfterwards) {
    const Answer answer = call(",5001,5002,5001,", ",1001,1002,", 7);
    ASSERT_EQ(answer.value, 1) << answer.text.toStdString();
    EXPECT_TRUE(answer.text.contains("GJ000002"));
    EXPECT_EQ(readRows(connection,
                       "select finterid, fbillno, fuserid, ftype, fcustid from "
                       "t_GS_billGJ where finterid=2"),
              QList<QVariantList>({{2, "GJ000002", 7, 2, 1}}));
    EXPECT_TRUE(
        QDateTime::fromString(
            readScalar(connection, "select fdate from t_GS_billGJ where finterid=2").toString(),
            "yyyy-MM-dd hh:mm:ss")
            .isValid());
    EXPECT_EQ(readRows(connection,
                       "select fentryid, fbilltype, fbillinterid, fbillno from "
                       "t_GS_billGJEntry where finterid=2 order by fentryid"),
              QList<QVariantList>({{1, 1, 1001, "XSFP000001"},
                                   {2, 1, 1002, "XSFP000002"},
                                   {3, 2, 5001, "XSCK000001"},
                                   {4, 2, 5002, "XSCK000002"}}));
    EXPECT_EQ(hookOf("icsale", 1001), 2);
    EXPECT_EQ(hookOf("icsale", 1002), 2);
    EXPECT_EQ(hookOf("icstockbill", 5001), 2);
    EXPECT_EQ(hookOf("icstockbill", 5002), 2);
    EXPECT_EQ(readScalar(connection, "select count(*) from icsale where fhookinterid is not null"),
              3)
        << "no other invoice is touched";

    expectRefused(",5001,5002,", ",1001,1002,", {"XSFP000001", "已经钩稽", "GJ000002"});
    expectRefused(",5001,", ",1003,", {"XSCK000001", "已经钩稽"});
    // The finder no longer offers them.
    EXPECT_EQ(readColumn(connection,
                         "select finterid from vGproductOutBill where 1=1 and "
                         "fcustomeridnumber='91310000MA1K000001' and "
                         "isnull(fhookinterid,0)=0  order by fbillno"),
              QVariantList({5003, 5004, 5005}));
}

TEST_P(ReconcileProcedureTest, SplitDeliveriesAndTheNextNumber) {
    EXPECT_EQ(call(",5003,5004,", ",1003,").value, 1);
    EXPECT_EQ(call(",5006,", ",1005,", QVariant()).value, 1);
    EXPECT_EQ(readColumn(connection, "select fbillno from t_GS_billGJ order by finterid"),
              QVariantList({"GJ000001", "GJ000002", "GJ000003"}));
    EXPECT_EQ(readScalar(connection, "select fuserid from t_GS_billGJ where finterid=2"), 1);
    EXPECT_TRUE(readScalar(connection, "select fuserid from t_GS_billGJ where finterid=3").isNull())
        << "no user given, none recorded";
    EXPECT_EQ(hookOf("icstockbill", 5004), 2);
    EXPECT_EQ(hookOf("icsale", 1005), 3);
}

TEST_P(ReconcileProcedureTest, AFailureWhileWritingUndoesEverything) {
    // The entries cannot be written: the header written before them must go as well.
    connection.execute("drop table t_GS_billGJEntry");
    const QVariant reconciliations = readScalar(connection, "select count(*) from t_GS_billGJ");
    const DbError error = raisedBy<DbError>([&] { call(",5001,", ",1001,"); });
    // The server names the table as it folds unquoted names, in lower case.
    EXPECT_TRUE(error.description().contains("t_GS_billGJEntry", Qt::CaseInsensitive))
        << error.what();
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(readScalar(connection, "select count(*) from t_GS_billGJ"), reconciliations);
    EXPECT_TRUE(hookOf("icsale", 1001).isNull());
    EXPECT_TRUE(hookOf("icstockbill", 5001).isNull());
}

TEST_P(ReconcileProcedureTest, LongNamesAreCutWithinTheReasonLimit) {
    connection.execute("update t_customer set fname=? where fitemid=2",
                       {QString(98, QChar(0x5DE5)) + QString::fromUtf8("𠀀𠀀")});  // 100 long
    connection.execute("update t_customer set fname=? where fitemid=1",
                       {QString(48, QChar(0x5546)) + QString::fromUtf8("𠀀𠀀𠀀𠀀𠀀𠀀")});
    const Answer answer = call(",5006,", ",1001,");
    EXPECT_EQ(answer.value, -1);
    EXPECT_LE(answer.text.size(), 100);
    EXPECT_TRUE(answer.text.startsWith("单据不属于同一客户:XSFP000001"))
        << answer.text.toStdString();
    EXPECT_TRUE(answer.text.endsWith(QChar(0x2026)));

    // A cut never splits a character made of two code units.
    const QString pairs = QString("ab") + QString::fromUtf8("𠀀𠀀𠀀");
    EXPECT_EQ(host::limitReason(pairs, 5), QString("ab") + QString::fromUtf8("𠀀") + QChar(0x2026));
    EXPECT_EQ(host::limitReason(pairs, 4), QString("ab") + QChar(0x2026));
    EXPECT_EQ(host::limitReason(pairs, 8), pairs);
}

XHOOK_ON_EACH_PROVIDER(ReconcileProcedureTest);
