#pragma once

namespace xhook {

class FrmHookResult;
class HookForm;

// The window's own commands, which its menus and right-click menus route to. The two
// reconciliations are not among them: the window is given those (ReconciliationCommands.h).
//
// Each command runs to completion on the window's thread; an error that a command does not handle
// itself passes out to the window's event handling (runWindowStep).

// "销售出库单查询": looks up the customer's unreconciled outbound documents and lists them in vsf2.
void MenuXOutFind_Click(FrmHookResult& window);
// "销售发票移除" / "销售出库单移除": takes the document under the cursor out of vsf1 / vsf2.
void MenuSaleBillRemove_Click(HookForm& form);
void MenuSaleBillOutRemove_Click(HookForm& form);

}  // namespace xhook
