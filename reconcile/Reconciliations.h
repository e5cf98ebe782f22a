#pragma once

namespace xhook {

class HookForm;

// The two reconciliation commands of the window. The component gives them to the window it
// creates (ReconciliationCommands); each runs to completion on the window's thread, and an error
// that it does not handle itself passes out to the window's event handling.

// "钩稽": reconciles every invoice of vsf1 with every outbound document of vsf2.
void MenuBillHook1_Click(HookForm& form);
// "自动钩稽": reconciles the invoices of vsf1 with the source documents of their lines.
void MenuAutoHook_Click(HookForm& form);

}  // namespace xhook
