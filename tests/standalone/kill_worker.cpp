// A worker for the kill tests: it runs one database operation of the window over and over on a
// host database until it is killed, and says after each run that the run has ended.
//
//   xhook-kill-worker save <connection string>
//     saves the invoice grid's layout (XSGJA, type 1); run i saves 5 + i % 7 columns, every one
//     of them the width of kill-worker width number i % 350 (see layoutWidth).
//   xhook-kill-worker reconcile <connection string>
//     reconciles invoice 1001 with outbound document 5001 through the window's command, then
//     takes the reconciliation back in one transaction of its own.
//
// Each finished run prints "done <i>" on a line of its own.

#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "component/HookWindow.h"
#include "component/SharedState.h"
#include "data/GridLayoutStore.h"
#include "foundation/Messages.h"
#include "host/lib/DemoProcedures.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/Reconciliations.h"
#include "tests/support/ReliabilitySupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;

namespace {

int layoutWidth(int run) {
    return FlexGrid::pixelsToTwipsX(20 + run % 350);
}

void done(int run) {
    std::printf("done %d\n", run);
    std::fflush(stdout);
}

int saveLayouts() {
    FlexGrid grid(QStringLiteral("vsf1"));
    for (int run = 0;; ++run) {
        grid.setColCount(5 + run % 7);
        for (int c = 0; c < grid.ColCount(); ++c) grid.setColWidth(c, layoutWidth(run));
        if (!SaveGridLayout(QStringLiteral("XSGJA"), grid, 1)) return 1;
        done(run);
    }
}

int reconcileOverAndOver() {
    host::registerDemoProcedures();
    FrmHookResult window{reconciliationCommands()};
    shared().gInvoiceIds = QStringLiteral("1001");
    shared().gOutboundIds = QStringLiteral("5001");
    if (!window.find1() || !window.find2()) return 1;
    for (int run = 0;; ++run) {
        MenuBillHook1_Click(window.form());
        if (!lastReconcileOutcome().reconciled()) {
            std::fprintf(stderr, "run %d did not reconcile\n", run);
            return 1;
        }
        test::takeBackReconciliation(shared().DBConnectionString, 1001);
        done(run);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: xhook-kill-worker save|reconcile <connection string>\n");
        return 2;
    }
    StderrMessageSink messages;
    setMessageSink(&messages);
    shared().DBConnectionString = arguments[2];
    shared().msgTitle = QStringLiteral("kill worker");
    shared().gLoginUserId = QStringLiteral("1");
    if (arguments[1] == QLatin1String("save")) return saveLayouts();
    if (arguments[1] == QLatin1String("reconcile")) return reconcileOverAndOver();
    std::fprintf(stderr, "unknown mode %s\n", qPrintable(arguments[1]));
    return 2;
}
