#include "component/SharedState.h"
#include "reconcile/CollectGridIds.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/ReconcileProcedure.h"
#include "window/Commands.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

namespace xhook {

// Both id lists are rewritten from what the grids show, so that removed rows drop out, before the
// database is touched; a grid without documents ends the command silently.
void MenuBillHook1_Click(HookForm& form) {
    startReconcileOutcome();
    SharedState& state = shared();
    if (form.vsf1->RowCount() == 1) return;
    if (form.vsf2->RowCount() == 1) return;
    if (!CollectGridIds(*form.vsf1, state.gInvoiceIds)) return;
    if (!CollectGridIds(*form.vsf2, state.gOutboundIds)) return;
    runReconcileWork([&](DatabaseOperation& operation, ReconcileObjects& objects) {
        CallReconcileProcedure(form, operation, objects, state.gOutboundIds, state.gInvoiceIds);
    });
}

}  // namespace xhook
