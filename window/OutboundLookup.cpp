// Placeholder until the outbound lookup is written.
#include "component/Errors.h"
#include "window/Commands.h"
namespace xhook {
void MenuXOutFind_Click(FrmHookResult&) { raiseInvalidProcedureCall("not built yet"); }
}  // namespace xhook
