#include "component/HookWindow.h"

#include "reconcile/Reconciliations.h"
#include "window/FrmHookResult.h"

namespace xhook {

ReconciliationCommands reconciliationCommands() {
    return {MenuBillHook1_Click, MenuAutoHook_Click};
}

std::unique_ptr<FrmHookResult> createHookWindow() {
    return std::make_unique<FrmHookResult>(reconciliationCommands());
}

}  // namespace xhook
