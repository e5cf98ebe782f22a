#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <functional>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoProcedures.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/TestSupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// A finder that answers as a user who picked documents 5001 and 5003.
class PickingFinder : public DocumentFinder {
  public:
    static inline QString filterSeen;
    QString Find(QString&, QString& filter) override {
        filterSeen = filter;
        return {};
    }
    QString SelectedIds() override { return QStringLiteral("5001,5003"); }
};

// One use of the window from the host's call to the close, the way an accountant works: look up,
// remove what does not belong, reconcile, widen a column, close; then the next hookBill.
TEST(WindowEndToEnd, LookUpRemoveReconcileCloseAndComeBack) {
    TempDir dir;
    clearSettings();
    const QString connectionString = host::sqliteConnectionString(dir.file("demo.db"));
    host::createDemoDatabase(connectionString, {});
    host::registerDemoProcedures();
    writeSetting("DBOperation", "DBConnectionString", connectionString);
    registerDocumentFinderFactory(kDocumentFinderClsid,
                                  [] { return std::make_unique<PickingFinder>(); });
    shared().gInvoiceIds.clear();
    shared().gOutboundIds.clear();
    RecordingMessages messages;

    DeZuvarEDodOziv8::clsXoutBillHook hook;
    int outboundRowsAfterLookup = 0, outboundRowsAfterRemoval = 0;
    bool checkEnabledAfter = true, autoEnabledAfter = true;
    QTimer::singleShot(0, [&] {
        HookForm& form = shared().gHookWindow->form();
        form.MenuXOutFind->trigger();
        outboundRowsAfterLookup = form.vsf2->RowCount();
        // 5003 belongs to invoice 1003, not to 1001: take it out of the outbound grid.
        for (int r = 1; r < form.vsf2->RowCount() - 1; ++r)
            if (form.vsf2->cellText(r, 0) == "5003") form.vsf2->setCurrentRow(r);
        form.vsf2->setFocus();
        form.MenuSaleBillOutRemove->trigger();
        outboundRowsAfterRemoval = form.vsf2->RowCount();
        form.toolbarButton("Check")->trigger();
        checkEnabledAfter = form.toolbarEntry(9)->isEnabled();
        autoEnabledAfter = form.MenuAutoHook->isEnabled();
        form.vsf1->setColWidth(3, 2880);
        form.MenuFileExit->trigger();
    });
    QString ids = "1001";
    EXPECT_FALSE(hook.hookBill(ids));

    EXPECT_TRUE(PickingFinder::filterSeen.contains("fcustomeridnumber='91310000MA1K000001'"));
    EXPECT_EQ(outboundRowsAfterLookup, 1 + 2 + 1 + 1) << "lines of 5001 and 5003 and the totals";
    EXPECT_LT(outboundRowsAfterRemoval, outboundRowsAfterLookup);
    ASSERT_FALSE(messages.messages.isEmpty());
    EXPECT_EQ(messages.messages.last().text, QStringLiteral("钩稽成功!"));
    EXPECT_FALSE(checkEnabledAfter);
    EXPECT_FALSE(autoEnabledAfter);
    EXPECT_EQ(shared().gOutboundIds, "5001") << "the list is rebuilt from the grid";

    data::Connection db;
    db.setConnectionString(connectionString);
    db.open();
    EXPECT_NE(readScalar(db, "select fhookinterid from icsale where finterid = 1001").toLongLong(),
              0);
    EXPECT_EQ(readScalar(db, "select isnull(fhookinterid,0) from icstockbill where finterid = 5003")
                  .toLongLong(),
              0);

    int widthOnReturn = 0;
    bool checkEnabledOnReturn = false;
    QTimer::singleShot(0, [&] {
        HookForm& form = shared().gHookWindow->form();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form)) << "activation restores the widths";
        widthOnReturn = form.vsf1->ColWidth(3);
        checkEnabledOnReturn = form.toolbarEntry(9)->isEnabled() && form.MenuBillHook1->isEnabled();
        form.MenuFileExit->trigger();
    });
    ids = "1002";
    hook.hookBill(ids);
    EXPECT_EQ(widthOnReturn, 2880) << "the width saved on close is restored on activation";
    EXPECT_TRUE(checkEnabledOnReturn) << "a new load of the window enables the commands again";

    registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
    shared().gHookWindow.reset();
    clearSettings();
}

}  // namespace
