#pragma once

#include <memory>

#include "window/ReconciliationCommands.h"

namespace xhook {

class FrmHookResult;

// Where the window meets the reconciliations: the commands that the component gives every window
// it creates, and such a window.
ReconciliationCommands reconciliationCommands();
std::unique_ptr<FrmHookResult> createHookWindow();

}  // namespace xhook
