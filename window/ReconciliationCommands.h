#pragma once

#include <functional>

namespace xhook {

class HookForm;

// The two reconciliations that the window's menu items "钩稽" and "自动钩稽" and its toolbar button
// "Check" run. The window does not know how documents are reconciled: whoever creates it gives it
// these (the component, from the reconciliation operations). Each runs to completion on the
// window's thread; an error that it does not handle itself passes out to the window's event
// handling. A window given none reports "要求对象" (object required) for either.
struct ReconciliationCommands {
    std::function<void(HookForm&)> reconcile;               // "钩稽"
    std::function<void(HookForm&)> reconcileAutomatically;  // "自动钩稽"
};

}  // namespace xhook
