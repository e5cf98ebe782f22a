// A PostgreSQL server of the test's own that stops the way a failing server does (immediately,
// cutting its sessions off) before or during an operation: the operation fails with a message
// that says what happened, the shared connection is closed, and once the server is back the next
// operation succeeds.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/GridLayoutStore.h"
#include "host/lib/DemoDatabase.h"
#include "reconcile/Reconciliations.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/OwnServer.h"
#include "tests/support/ReconcileTestSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// On a server of the test's own, through the PostgreSQL provider and through ODBC.
class ServerStopTest : public ReconcileWindowFixture,
                       public ::testing::WithParamInterface<Backend> {
  protected:
    void SetUp() override {
        ReconcileWindowFixture::SetUp();
        ASSERT_TRUE(server.started()) << "scripts/pg-test-server could not start a server";
        host::createDemoDatabase(server.connectionString());
        shared().DBConnectionString = throughOdbc(GetParam())
                                          ? odbcConnectionString(server.connectionString())
                                          : server.connectionString();
    }

    // Stops the server after `delay`, from another thread, while this one waits on the database;
    // the thread is joined at the latest when it goes out of scope.
    std::jthread crashAfter(std::chrono::milliseconds delay) {
        return std::jthread([this, delay] {
            std::this_thread::sleep_for(delay);
            server.crash();
        });
    }

    // Another workstation's transaction that holds a lock the operation will wait for.
    std::unique_ptr<data::Connection> holdLock(const QString& sql) {
        auto other = std::make_unique<data::Connection>();
        other->setConnectionString(server.connectionString());
        other->open();
        other->beginTrans();
        other->execute(sql);
        return other;
    }

    static bool saysTheServerIsGone(const QString& text) {
        return text.contains("server", Qt::CaseInsensitive) &&
               (text.contains("closed", Qt::CaseInsensitive) ||
                text.contains("terminat", Qt::CaseInsensitive) ||
                text.contains("connect", Qt::CaseInsensitive));
    }

    OwnServer server;
};

TEST_P(ServerStopTest, AStoppedServerFailsTheLoadAndTheNextLoadSucceedsOnceItIsBack) {
    server.crash();
    shared().gInvoiceIds = QStringLiteral("1001");
    const data::DbError error = raisedBy<data::DbError>([&] { window.find1(); });
    EXPECT_TRUE(error.description().contains("xhook_test")) << error.what();
    EXPECT_TRUE(saysTheServerIsGone(error.description())) << error.what();
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_TRUE(messages.messages.isEmpty()) << "a failed open is the caller's to show";

    ASSERT_TRUE(server.resume());
    EXPECT_TRUE(window.find1());
    EXPECT_GT(form().vsf1->RowCount(), 2);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_P(ServerStopTest, AServerStoppingDuringTheReconciliationFailsItAndTheNextOneReconciles) {
    shared().gInvoiceIds = QStringLiteral("1001");
    shared().gOutboundIds = QStringLiteral("5001");
    ASSERT_TRUE(window.find1());
    ASSERT_TRUE(window.find2());
    // The procedure waits for the invoice that another workstation has locked; the server stops
    // meanwhile.
    auto other = holdLock("select finterid from icsale where finterid=1001 for update");
    std::jthread crash = crashAfter(std::chrono::milliseconds(800));
    MenuBillHook1_Click(form());
    crash.join();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(saysTheServerIsGone(messages.messages[0].text))
        << messages.messages[0].text.toStdString();
    EXPECT_EQ(messages.messages[0].style, 48);
    EXPECT_TRUE(messages.messages[0].connectionOpen);
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_TRUE(commandsEnabled());
    other.reset();

    ASSERT_TRUE(server.resume());
    messages.messages.clear();
    MenuBillHook1_Click(form());
    expectOnlyMessage("钩稽成功!", 64, false);
    EXPECT_TRUE(commandsDisabled());
}

TEST_P(ServerStopTest, AServerStoppingDuringALayoutSaveKeepsTheStoredLayout) {
    FlexGrid grid("vsf1");
    grid.setColCount(4);
    ASSERT_TRUE(SaveGridLayout("XSGJA", grid, 1));
    const int stored = grid.ColWidth(0);
    grid.setColWidth(0, stored * 2);
    // The save's delete waits for the rows that another workstation is replacing.
    auto other = holdLock("delete from t_GS_tableinfo where ftablename='XSGJA'");
    std::jthread crash = crashAfter(std::chrono::milliseconds(800));
    EXPECT_FALSE(SaveGridLayout("XSGJA", grid, 1));
    crash.join();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(saysTheServerIsGone(messages.messages[0].text))
        << messages.messages[0].text.toStdString();
    EXPECT_EQ(shared().gConnection, nullptr);
    other.reset();

    ASSERT_TRUE(server.resume());
    FlexGrid restored("vsf1");
    restored.setColCount(4);
    EXPECT_TRUE(LoadGridLayout("XSGJA", restored, 1)) << "the layout saved before is there";
    EXPECT_EQ(restored.ColWidth(0), stored);
    EXPECT_TRUE(SaveGridLayout("XSGJA", grid, 1));
    EXPECT_TRUE(LoadGridLayout("XSGJA", restored, 1));
    EXPECT_EQ(restored.ColWidth(0), grid.ColWidth(0));
    EXPECT_EQ(messages.messages.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Provider, ServerStopTest,
                         ::testing::Values(Backend::PostgreSQL, Backend::PostgreSQLThroughOdbc),
                         backendName);

}  // namespace
