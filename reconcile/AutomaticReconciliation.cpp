// Placeholder until the automatic reconciliation is written.
#include "component/Errors.h"
#include "window/Commands.h"
namespace xhook {
void MenuAutoHook_Click(HookForm&) { raiseInvalidProcedureCall("not built yet"); }
}  // namespace xhook
