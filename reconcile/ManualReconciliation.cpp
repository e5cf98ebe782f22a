// Placeholder until the manual reconciliation is written.
#include "component/Errors.h"
#include "window/Commands.h"
namespace xhook {
void MenuBillHook1_Click(HookForm&) { raiseInvalidProcedureCall("not built yet"); }
}  // namespace xhook
