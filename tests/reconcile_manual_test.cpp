#include <gtest/gtest.h>

#include <QAction>

#include "component/HookWindow.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/Parameter.h"
#include "foundation/Errors.h"
#include "reconcile/CollectGridIds.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/Reconciliations.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using xhook::test::fillDocumentGrid;

namespace {

class ManualReconciliation : public xhook::test::ReconcileBackendFixture {
  protected:
    void fill(const QStringList& invoices, const QStringList& outbound) {
        fillDocumentGrid(*form().vsf1, invoices);
        fillDocumentGrid(*form().vsf2, outbound);
    }
};

// `count` distinct ids of four digits, from 1000 on.
QStringList fourDigitIds(int count) {
    QStringList ids;
    for (int i = 0; i < count; ++i) ids << QString::number(1000 + i);
    return ids;
}

TEST(CollectGridIds, TakesWholeIdsOnceInOrderOfFirstOccurrence) {
    FrmHookResult window{reconciliationCommands()};
    FlexGrid& grid = window.vsf1();
    QString list = QStringLiteral("9,8");
    fillDocumentGrid(grid, {"100", "1001", "100", "2", "1001", "10"});
    EXPECT_TRUE(CollectGridIds(grid, list));
    EXPECT_EQ(list, "100,1001,2,10");

    // The totals row is never read, even when its column 0 holds text.
    grid.setCellProperty(FlexGrid::kSelectorText, grid.RowCount() - 1, 0, "777");
    EXPECT_TRUE(CollectGridIds(grid, list));
    EXPECT_EQ(list, "100,1001,2,10");

    // Only the header and totals rows left: no id, and the list is empty rather than ",".
    fillDocumentGrid(grid, {"5"});
    grid.RemoveRow(1);
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_FALSE(CollectGridIds(grid, list));
    EXPECT_EQ(list, "");

    // Row numbers are 16-bit: a grid beyond them overflows and leaves the list as it was.
    list = QStringLiteral("42");
    grid.setRowCount(32770);
    try {
        CollectGridIds(grid, list);
        ADD_FAILURE() << "no overflow";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::Overflow);
    }
    EXPECT_EQ(list, "42");
}

TEST_P(ManualReconciliation, GridsWithoutDocumentsEndSilentlyBeforeTheDatabase) {
    shared().gInvoiceIds = QStringLiteral("101,102");
    shared().gOutboundIds = QStringLiteral("5001");

    fill({}, {"5001"});
    MenuBillHook1_Click(form());
    fill({"101"}, {});
    MenuBillHook1_Click(form());
    EXPECT_EQ(shared().gInvoiceIds, "101,102");  // the outbound grid is tested before either list
    EXPECT_EQ(shared().gOutboundIds, "5001");

    // Grids left with their header and totals rows by row removal: the lists are emptied.
    fill({"101"}, {"5001"});
    form().vsf2->RemoveRow(1);
    MenuBillHook1_Click(form());
    EXPECT_EQ(shared().gInvoiceIds, "101");
    EXPECT_EQ(shared().gOutboundIds, "");
    form().vsf1->RemoveRow(1);
    MenuBillHook1_Click(form());
    EXPECT_EQ(shared().gInvoiceIds, "");

    EXPECT_TRUE(procedure.calls().isEmpty());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(lastReconcileOutcome().result, ReconcileOutcome::Result::EndedWithoutCall);
}

TEST_P(ManualReconciliation, PassesTheGridsIdsEnclosedInSeparatorsAndStaysSilentOnOtherAnswers) {
    shared().gInvoiceIds = QStringLiteral("1001,1002,1003");  // 1003 was removed from the grid
    shared().gLoginUserId = QStringLiteral("7");
    fill({"1001", "1001", "1002"}, {"5001"});
    procedure.setAnswer(0);
    MenuBillHook1_Click(form());

    EXPECT_EQ(shared().gInvoiceIds, "1001,1002");
    EXPECT_EQ(shared().gOutboundIds, "5001");
    ASSERT_EQ(procedure.calls().size(), 1);
    const QList<data::Parameter> sent = procedure.calls().first();
    const QStringList names{"interids1",      "interids2",      "intType",
                            "intReturnValue", "strReturnValue", "loginUserId"};
    const QList<int> types{200, 200, 20, 20, 200, 20}, directions{1, 1, 1, 2, 2, 1},
        sizes{1000, 1000, 10, 10, 100, 10};
    ASSERT_EQ(sent.size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(sent[i].type, types[i]) << names[i].toStdString();
        EXPECT_EQ(sent[i].direction, directions[i]) << names[i].toStdString();
        if (procedure.seesDeclarations()) {
            EXPECT_EQ(sent[i].name, names[i]);
            EXPECT_EQ(sent[i].size, sizes[i]) << names[i].toStdString();
        } else {
            // The server's procedure has the names folded to lower case, and no sizes.
            EXPECT_EQ(sent[i].name, names[i].toLower());
        }
    }
    EXPECT_EQ(procedure.lastValue("interids1").toString(), ",5001,");
    EXPECT_EQ(procedure.lastValue("interids2").toString(), ",1001,1002,");
    EXPECT_EQ(procedure.lastValue("intType").toLongLong(), 2);
    EXPECT_EQ(procedure.lastValue("loginUserId").toLongLong(), 7);

    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_TRUE(commandsEnabled());
    EXPECT_EQ(lastReconcileOutcome().answer, 0);
    EXPECT_FALSE(lastReconcileOutcome().reconciled());

    // The toolbar's "钩稽" runs the same command.
    form().toolbarEntry(9)->trigger();
    EXPECT_EQ(procedure.calls().size(), 2);
}

TEST_P(ManualReconciliation, SuccessDisablesTheCommandsAndSaysSoAfterClosing) {
    fill({"1001", "1002"}, {"5001", "5002"});
    procedure.setAnswer(1);
    MenuBillHook1_Click(form());

    expectOnlyMessage("钩稽成功!", 64, false);
    EXPECT_TRUE(commandsDisabled());
    // Clicks on the disabled commands have no effect.
    form().toolbarEntry(9)->trigger();
    form().MenuBillHook1->trigger();
    form().MenuAutoHook->trigger();
    EXPECT_EQ(procedure.calls().size(), 1);
    EXPECT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(form().vsf1->RowCount(), 4);  // the grids are not reloaded
    EXPECT_EQ(form().vsf2->cellText(2, 0), "5002");
    EXPECT_TRUE(lastReconcileOutcome().reconciled());
}

TEST_P(ManualReconciliation, RefusalShowsTheProceduresTextAndLeavesTheCommandsEnabled) {
    fill({"1001"}, {"5001"});
    procedure.setAnswer(-1);
    procedure.setAnswerText(QStringLiteral("出库单已钩稽"));
    MenuBillHook1_Click(form());

    expectOnlyMessage("出库单已钩稽", 48, false);
    EXPECT_TRUE(commandsEnabled());
    EXPECT_EQ(lastReconcileOutcome().answer, -1);
}

TEST_P(ManualReconciliation, ErrorsAreShownWhileTheConnectionIsOpenAndThenItIsClosed) {
    fill({"1001"}, {"5001"});
    struct Case {
        const char* what;
        QVariant answer;
        QVariant text;
        std::optional<QString> failure;
        QString expected;
    };
    const QList<Case> cases{
        {"procedure error", 1, "", QStringLiteral("发票已作废"), "发票已作废"},
        {"null answer", QVariant(), "", {}, "无效使用 Null"},
        {"answer beyond 16 bits", 40000, "", {}, "溢出"},
        {"null text", 1, QVariant(), {}, "无效使用 Null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.messages.clear();
        procedure.setAnswer(c.answer);
        procedure.setAnswerText(c.text);
        procedure.setFailure(c.failure);
        MenuBillHook1_Click(form());
        expectOnlyFailure(c.expected);
        EXPECT_TRUE(commandsEnabled());  // an answer 1 read with a failure is no success
        EXPECT_EQ(lastReconcileOutcome().result, ReconcileOutcome::Result::Failed);
    }

    // A user id that is no number fails in the database layer, before the procedure runs.
    procedure.clearCalls();
    messages.messages.clear();
    procedure.setFailure(std::nullopt);
    shared().gLoginUserId = QStringLiteral("abc");
    MenuBillHook1_Click(form());
    expectOnlyFailure("abc");
    EXPECT_TRUE(procedure.calls().isEmpty());
}

TEST_P(ManualReconciliation, AFailedOpenPassesOutWithTheListsRewritten) {
    shared().DBConnectionString.clear();
    shared().gInvoiceIds = QStringLiteral("1,2");
    fill({"1001"}, {"5001"});
    EXPECT_ANY_THROW(MenuBillHook1_Click(form()));
    EXPECT_EQ(shared().gInvoiceIds, "1001");
    EXPECT_EQ(shared().gOutboundIds, "5001");
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_P(ManualReconciliation, ListsLongerThanTheirParameterAreRefusedBeforeAnythingIsSent) {
    const QStringList invoices = fourDigitIds(199) << "123";  // 998 characters
    fill(invoices, {"5001"});
    procedure.setAnswer(0);
    MenuBillHook1_Click(form());
    ASSERT_EQ(procedure.calls().size(), 1);
    EXPECT_EQ(procedure.lastValue("interids2").toString().size(), 1000);
    EXPECT_TRUE(messages.messages.isEmpty());

    procedure.clearCalls();
    fill(QStringList(invoices) << "5", {"5001"});
    MenuBillHook1_Click(form());
    EXPECT_TRUE(procedure.calls().isEmpty());
    expectOnlyMessage("所选销售发票过多: 共 201 张, 最多可钩稽 200 张, 超出 1 张", 48, false);
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(shared().gInvoiceIds.size(), 1000);  // kept whole, not cut to size
    EXPECT_EQ(lastReconcileOutcome().result, ReconcileOutcome::Result::EndedWithoutCall);

    messages.messages.clear();
    fill({"1001"}, fourDigitIds(250));
    MenuBillHook1_Click(form());
    expectOnlyMessage("所选销售出库单过多: 共 250 张, 最多可钩稽 199 张, 超出 51 张", 48, false);
    EXPECT_TRUE(procedure.calls().isEmpty());
}

// On SQLite with the native procedure, and on the server with its own.
using ManualReconciliationOnTheDemoDatabase = xhook::test::DemoDatabaseBackendFixture;

TEST_P(ManualReconciliationOnTheDemoDatabase, AMatchingInvoiceIsReconciledOnceThenRefused) {
    loadWindow("1001", "5001");
    MenuBillHook1_Click(form());
    expectOnlyMessage("钩稽成功!", 64, false);
    EXPECT_TRUE(commandsDisabled());
    EXPECT_EQ(reconciliationCount(), 2);  // the demo data holds one already
    const qint64 reconciliation = invoiceReconciliation(1001);
    EXPECT_GT(reconciliation, 0);
    EXPECT_EQ(outboundReconciliation(5001), reconciliation);

    // The next load builds the window anew; the procedure now refuses the same documents.
    window.close();
    messages.messages.clear();
    loadWindow("1001", "5001");
    ASSERT_TRUE(commandsEnabled());
    MenuBillHook1_Click(form());
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0].style, 48);
    EXPECT_FALSE(messages.messages[0].text.isEmpty());
    EXPECT_TRUE(commandsEnabled());
    EXPECT_EQ(reconciliationCount(), 2);
    EXPECT_EQ(lastReconcileOutcome().answer, -1);
}

XHOOK_ON_EACH_PROVIDER(ManualReconciliationOnTheDemoDatabase);

XHOOK_ON_EACH_PROVIDER(ManualReconciliation);

}  // namespace
