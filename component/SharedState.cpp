#include "component/SharedState.h"

#include "data/Connection.h"
#include "data/ConnectionSlot.h"
#include "window/FrmHookResult.h"
#include "window/WindowSession.h"

namespace xhook {

// The parts are made before the record, so they outlive it.
SharedState::SharedState() : SharedState(data::connectionSlot(), windowSession()) {}

SharedState::SharedState(data::ConnectionSlot& connection, WindowSession& window)
    : gConnection(connection.gConnection),
      DBConnectionString(connection.DBConnectionString),
      msgTitle(window.msgTitle),
      gLoginUserId(window.gLoginUserId),
      gInvoiceIds(window.gInvoiceIds),
      gOutboundIds(window.gOutboundIds),
      gCustomerNumber(window.gCustomerNumber),
      gHookWindow(window.gHookWindow) {}

SharedState::~SharedState() = default;

SharedState& shared() {
    thread_local SharedState state;
    return state;
}

}  // namespace xhook
