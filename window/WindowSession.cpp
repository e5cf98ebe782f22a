#include "window/WindowSession.h"

#include "data/ConnectionSlot.h"
#include "window/FrmHookResult.h"

namespace xhook {

WindowSession::WindowSession() = default;
WindowSession::~WindowSession() = default;

// Thread-local objects are destroyed in the reverse order of their construction.
WindowSession& windowSession() {
    data::connectionSlot();
    thread_local WindowSession session;
    return session;
}

}  // namespace xhook
