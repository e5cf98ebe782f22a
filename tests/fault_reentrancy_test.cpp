// The host stays alive when it calls hookBill at awkward moments: from a thread other than the
// user-interface thread, and re-entrantly while one of the window's message boxes is open (the
// host's own timers and sockets still run inside a modal box).

#include <gtest/gtest.h>

#include <QAction>
#include <QTimer>
#include <functional>
#include <thread>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "DeZuvarEDodOziv8/xouthook_c.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/NativeProcedures.h"
#include "foundation/Errors.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoProcedures.h"
#include "tests/support/ReliabilitySupport.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;
using DeZuvarEDodOziv8::clsXoutBillHook;

namespace {

// A message sink that, while the first box is "open", lets the host call hookBill again.
class ReentrantHost : public MessageSink {
  public:
    struct Seen {
        QString text;
        int style;
        bool connectionOpen;
    };
    explicit ReentrantHost(QString ids) : ids_(std::move(ids)), scope_(this) {}
    void show(const QString& text, int style, const std::optional<QString>&) override {
        seen.append({text, style, shared().gConnection != nullptr});
        if (called) return;
        called = true;
        try {
            clsXoutBillHook hook;
            QString ids = ids_;
            hook.hookBill(ids);
            returned = true;
        } catch (const DeZuvarEDodOziv8::Error& error) {
            refusal = error.description();
        }
        windowVisibleInside = shared().gHookWindow && shared().gHookWindow->isVisible();
    }

    QList<Seen> seen;
    bool called = false;
    bool returned = false;
    bool windowVisibleInside = false;
    std::optional<QString> refusal;

  private:
    QString ids_;
    ScopedMessageSink scope_;
};

class HostAliveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clearSettings();
        connectionString_ = host::sqliteConnectionString(dir_.file("demo.db"));
        host::createDemoDatabase(connectionString_, {});
        host::registerDemoProcedures();
        writeSetting("DBOperation", "DBConnectionString", connectionString_);
        writeSetting("SystemSetup", "msgTitle", "宿主");
        shared().gInvoiceIds.clear();
        shared().gOutboundIds.clear();
    }
    void TearDown() override {
        shared().gHookWindow.reset();
        shared().gConnection.reset();
        clearSettings();
    }
    void run(const QString& sql) {
        data::Connection db;
        db.setConnectionString(connectionString_);
        db.open();
        db.execute(sql);
    }
    // hookBill with `whileShown` run inside the window's modal loop; the window is closed after.
    void hookBillWhile(const QString& ids, std::function<void(HookForm&)> whileShown) {
        test::hookBillWhile(ids, [&](FrmHookResult& window) { whileShown(window.form()); });
    }

    TempDir dir_;
    QString connectionString_;
};

// The success box comes after the connection was closed: a call inside it refreshes the invoice
// grid and returns at once, and the reconciliation's effects stay.
TEST_F(HostAliveTest, ACallWhileTheSuccessBoxIsOpenRefreshesTheGrid) {
    ReentrantHost host("1002");
    int rowsAfter = 0;
    bool checkEnabled = true;
    hookBillWhile("1001", [&](HookForm& form) {
        shared().gOutboundIds = "5001";
        ASSERT_TRUE(shared().gHookWindow->find2());
        form.MenuBillHook1->trigger();
        rowsAfter = form.vsf1->RowCount();
        checkEnabled = form.toolbarEntry(9)->isEnabled();
    });
    ASSERT_EQ(host.seen.size(), 1);
    EXPECT_EQ(host.seen[0].text, QStringLiteral("钩稽成功!"));
    EXPECT_TRUE(host.returned) << "the re-entrant call returned without blocking";
    EXPECT_FALSE(host.refusal.has_value());
    EXPECT_TRUE(host.windowVisibleInside);
    EXPECT_EQ(shared().gInvoiceIds, "1001,1002");
    EXPECT_GT(rowsAfter, 3) << "the lines of 1001 and 1002 and the totals";
    EXPECT_FALSE(checkEnabled) << "the success effects stay";
    EXPECT_TRUE(reconciliationInconsistencies(connectionString_).isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

// A failure box is shown while the failed operation still holds the connection: a call then would
// run a second operation inside the first, on its connection. It is refused, nothing changes, and
// the first operation ends as it would have.
TEST_F(HostAliveTest, ACallWhileAFailureBoxHoldsTheConnectionIsRefused) {
    ReentrantHost host("1002");
    run("drop view vGproductOut");
    bool checkEnabled = false;
    hookBillWhile("1001", [&](HookForm& form) {
        shared().gOutboundIds = "5001";
        shared().gHookWindow->find2();  // fails: the view is gone; the box is open
        checkEnabled = form.toolbarEntry(9)->isEnabled();
    });
    ASSERT_GE(host.seen.size(), 1);
    EXPECT_TRUE(host.seen[0].connectionOpen);
    ASSERT_TRUE(host.refusal.has_value()) << "the re-entrant call must be refused";
    EXPECT_FALSE(host.refusal->isEmpty());
    EXPECT_FALSE(host.returned);
    EXPECT_EQ(shared().gInvoiceIds, "1001") << "the refused call appended nothing";
    EXPECT_TRUE(checkEnabled);
    EXPECT_EQ(shared().gConnection, nullptr);
}

// The reconciliation's own failure box is shown while it still holds the connection: the call is
// refused, and the reconciliation ends as it would have.
TEST_F(HostAliveTest, ACallWhileTheReconciliationsFailureBoxIsOpenIsRefused) {
    ReentrantHost host("1002");
    data::unregisterNativeProcedure("sp_GS_billGJ");
    bool checkEnabled = false;
    hookBillWhile("1001", [&](HookForm& form) {
        shared().gOutboundIds = "5001";
        ASSERT_TRUE(shared().gHookWindow->find2());
        form.MenuBillHook1->trigger();
        checkEnabled = form.toolbarEntry(9)->isEnabled();
    });
    host::registerDemoProcedures();
    ASSERT_EQ(host.seen.size(), 1);
    EXPECT_TRUE(host.seen[0].text.contains("sp_GS_billGJ"));
    EXPECT_EQ(host.seen[0].style, MessageExclamation);
    EXPECT_TRUE(host.seen[0].connectionOpen);
    EXPECT_TRUE(host.refusal.has_value());
    EXPECT_EQ(shared().gInvoiceIds, "1001");
    EXPECT_TRUE(checkEnabled);
    EXPECT_EQ(reconciliationCount(connectionString_), 1) << "only the demo's own";
    EXPECT_EQ(shared().gConnection, nullptr);
}

// The same while the layout save's failure box holds the connection and its transaction: the save
// still rolls back and closes, and the previous layout stays whole.
TEST_F(HostAliveTest, ACallWhileTheLayoutSaveFailsLeavesThePreviousLayout) {
    ReentrantHost host("1002");
    int columns = 0;
    hookBillWhile("1001", [&](HookForm& form) { columns = form.vsf1->ColCount(); });
    const LayoutRows previous = storedLayout(connectionString_, "XSGJA", 1);
    ASSERT_EQ(previous.size(), columns);
    ASSERT_TRUE(host.seen.isEmpty());

    run("create trigger refuse_layout before insert on t_GS_tableinfo "
        "begin select raise(abort, 'layout writes refused'); end");
    hookBillWhile("1001", [&](HookForm& form) { form.vsf1->setColWidth(3, 3000); });
    ASSERT_GE(host.seen.size(), 1);
    EXPECT_TRUE(host.seen[0].text.contains("layout writes refused"));
    EXPECT_TRUE(host.refusal.has_value());
    EXPECT_EQ(storedLayout(connectionString_, "XSGJA", 1), previous);
    EXPECT_EQ(shared().gConnection, nullptr);
}

// From another thread, through the C surface: a clear failure status, as the header says, for
// the creation and for a call on an instance made on the user-interface thread; the window on the
// user-interface thread is not touched.
TEST_F(HostAliveTest, TheCSurfaceFromAnotherThreadFailsClearly) {
    xhook_instance* mine = nullptr;
    ASSERT_EQ(xhook_create(&mine, nullptr, nullptr), XHOOK_OK);
    struct Call {
        int status = XHOOK_OK;
        long number = 0;
        QString description;
    } create, hookBill;
    xhook_instance* made = reinterpret_cast<xhook_instance*>(&create);
    std::thread other([&] {
        char* text = nullptr;
        create.status = xhook_create(&made, &create.number, &text);
        if (text) create.description = QString::fromUtf8(text);
        xhook_free_string(text);
        text = nullptr;
        int result = -1;
        hookBill.status = xhook_hook_bill(mine, "1001", &result, &hookBill.number, &text);
        if (text) hookBill.description = QString::fromUtf8(text);
        xhook_free_string(text);
    });
    other.join();
    EXPECT_EQ(xhook_release(mine), XHOOK_OK);
    for (const Call* call : {&create, &hookBill}) {
        SCOPED_TRACE(call == &create ? "xhook_create" : "xhook_hook_bill");
        EXPECT_EQ(call->status, XHOOK_E_FAIL);
        EXPECT_EQ(call->number, RuntimeErrorNumber::InvalidProcedureCall);
        EXPECT_TRUE(call->description.contains(QStringLiteral("线程")))
            << call->description.toStdString();
    }
    EXPECT_EQ(made, nullptr) << "no instance was made";
    EXPECT_FALSE(shared().gHookWindow) << "nothing of the user-interface thread's record changed";
}

}  // namespace
