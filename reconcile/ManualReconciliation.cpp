#include "reconcile/CollectGridIds.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/ReconcileProcedure.h"
#include "reconcile/Reconciliations.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"
#include "window/WindowSession.h"

namespace xhook {

// Both id lists are rewritten from what the grids show, so that removed rows drop out, before the
// database is touched; a grid without documents ends the command silently.
void MenuBillHook1_Click(HookForm& form) {
    startReconcileOutcome();
    WindowSession& state = windowSession();
    if (form.vsf1->RowCount() == 1) return;
    if (form.vsf2->RowCount() == 1) return;
    if (!CollectGridIds(*form.vsf1, state.gInvoiceIds)) return;
    if (!CollectGridIds(*form.vsf2, state.gOutboundIds)) return;
    runReconcileWork([&](DatabaseOperation& operation, ReconcileObjects& objects) {
        CallReconcileProcedure(form, operation, objects, state.gOutboundIds, state.gInvoiceIds);
    });
}

}  // namespace xhook
