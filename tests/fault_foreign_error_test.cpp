// An exception of another kind than the component's own errors (std::bad_alloc from deep inside
// the database layer) in any of the six database operations: the operation rolls back what its
// transaction wrote, closes the shared connection and lets the error pass to the window's event
// handling or the host. The host's next hookBill is not refused as if an operation still held
// the connection.

#include <gtest/gtest.h>

#include <QAction>
#include <functional>
#include <new>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "data/FaultInjection.h"
#include "data/GridLayoutStore.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;
using data::DbCall;
using data::FaultInjection;
using DeZuvarEDodOziv8::clsXoutBillHook;

namespace {

struct Operation {
    const char* name;
    std::function<void(FrmHookResult&)> run;  // as the window or the host starts it
    int failingCall;                          // counted from the open, which is call 1
    DbCall failingKind;
};

class ForeignErrorTest : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        clearSettings();
        DemoDatabaseFixture::SetUp();
        connectionString_ = shared().DBConnectionString;
        writeSetting("DBOperation", "DBConnectionString", connectionString_);
    }
    void TearDown() override {
        FaultInjection::clear();
        shared().gHookWindow.reset();
        DemoDatabaseFixture::TearDown();
        clearSettings();
    }

    QString connectionString_;
};

TEST_F(ForeignErrorTest, EveryOperationClosesTheConnectionAndTheHostCanCallAgain) {
    const QList<Operation> operations = {
        {"find1", [](FrmHookResult& w) { w.find1(); }, 2, DbCall::OpenResultSet},
        {"find2", [](FrmHookResult& w) { w.find2(); }, 2, DbCall::OpenResultSet},
        {"manual reconciliation", [](FrmHookResult& w) { w.form().MenuBillHook1->trigger(); }, 2,
         DbCall::RunProcedure},
        {"automatic reconciliation", [](FrmHookResult& w) { w.form().MenuAutoHook->trigger(); }, 2,
         DbCall::OpenResultSet},
        // Open, open the table, begin, delete, and the first row written.
        {"SaveGridLayout",
         [](FrmHookResult& w) { SaveGridLayout(QStringLiteral("XSGJA"), w.vsf1(), 1); }, 5,
         DbCall::AddRow},
        {"LoadGridLayout",
         [](FrmHookResult& w) { LoadGridLayout(QStringLiteral("XSGJA"), w.vsf1(), 1); }, 2,
         DbCall::OpenResultSet},
    };
    hookBillWhile("1001", [](FrmHookResult&) {});  // the closing stores a layout of type 1
    ASSERT_FALSE(test::storedLayout(connectionString_, "XSGJA", 1).isEmpty());

    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        bool faultFired = false;
        std::optional<DbCall> failedKind;
        BoundaryRun boundary;
        bool closedAfter = false;
        std::optional<QString> refusal;
        LayoutRows layoutBefore, layoutAfter;
        shared().gInvoiceIds.clear();
        hookBillWhile("1001", [&](FrmHookResult& window) {
            shared().gOutboundIds = QStringLiteral("5001");
            window.find2();
            window.vsf1().setColWidth(3, window.vsf1().ColWidth(3) + 600);
            messages.messages.clear();
            layoutBefore = test::storedLayout(connectionString_, "XSGJA", 1);
            FaultInjection::failCallWith(operation.failingCall,
                                         std::make_exception_ptr(std::bad_alloc()));
            boundary = runAtEventBoundary([&] { operation.run(window); });
            faultFired = FaultInjection::triggered();
            failedKind = FaultInjection::failedCall();
            FaultInjection::clear();
            closedAfter = shared().gConnection == nullptr;
            layoutAfter = test::storedLayout(connectionString_, "XSGJA", 1);
            try {
                clsXoutBillHook hook;  // the window is visible: the call returns at once
                QString ids = QStringLiteral("1002");
                hook.hookBill(ids);
            } catch (const DeZuvarEDodOziv8::Error& error) {
                refusal = error.description();
            }
        });
        ASSERT_TRUE(faultFired);
        EXPECT_EQ(failedKind, operation.failingKind);
        EXPECT_TRUE(closedAfter) << "no connection is left behind";
        EXPECT_FALSE(refusal.has_value()) << refusal.value_or(QString()).toStdString();
        EXPECT_EQ(shared().gInvoiceIds.split(',').count("1002"), 1) << "the next call ran";
        ASSERT_FALSE(messages.messages.isEmpty()) << "the error reached the event handling";
        EXPECT_EQ(messages.messages[0].style, MessageExclamation);
        EXPECT_FALSE(messages.messages[0].connectionOpen) << "reported after the close";
        EXPECT_EQ(layoutAfter, layoutBefore) << "the layout save's transaction was rolled back";
        EXPECT_EQ(shared().gConnection, nullptr);
    }
}

}  // namespace
