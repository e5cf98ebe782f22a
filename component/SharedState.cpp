#include "component/SharedState.h"

#include "data/Connection.h"
#include "window/FrmHookResult.h"

namespace xhook {

SharedState::SharedState() = default;
SharedState::~SharedState() = default;

SharedState& shared() {
    thread_local SharedState state;
    return state;
}

}  // namespace xhook
