#pragma once

namespace xhook {

class FrmHookResult;
class HookForm;

// The window's commands: the seam between the window and the reconciliations.
//
// The window declares here every command its menus and buttons route to, and calls them by these
// declarations only. Three are the window's own (defined in window/); the two reconciliations are
// defined in reconcile/, which includes the window's headers (HookForm, FlexGrid) to read the
// grids and disable the commands. The window includes nothing of reconcile/: the two meet at link
// time, through the declarations below, and nowhere else.
//
// Each command runs to completion on the window's thread; an error that a command does not handle
// itself passes out to the window's event handling (runWindowStep).

// Defined in reconcile/.

// "钩稽": reconciles every invoice of vsf1 with every outbound document of vsf2.
void MenuBillHook1_Click(HookForm& form);
// "自动钩稽": reconciles the invoices of vsf1 with the source documents of their lines.
void MenuAutoHook_Click(HookForm& form);

// Defined in window/.

// "销售出库单查询": looks up the customer's unreconciled outbound documents and lists them in vsf2.
void MenuXOutFind_Click(FrmHookResult& window);
// "销售发票移除" / "销售出库单移除": takes the document under the cursor out of vsf1 / vsf2.
void MenuSaleBillRemove_Click(HookForm& form);
void MenuSaleBillOutRemove_Click(HookForm& form);

}  // namespace xhook
