// Placeholder until row removal is written.
#include "component/Errors.h"
#include "window/Commands.h"
namespace xhook {
void MenuSaleBillRemove_Click(HookForm&) { raiseInvalidProcedureCall("not built yet"); }
void MenuSaleBillOutRemove_Click(HookForm&) { raiseInvalidProcedureCall("not built yet"); }
}  // namespace xhook
