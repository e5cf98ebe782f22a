#include "data/ConnectionSlot.h"

#include "data/Connection.h"

namespace xhook::data {

ConnectionSlot::ConnectionSlot() = default;
ConnectionSlot::~ConnectionSlot() = default;

ConnectionSlot& connectionSlot() {
    thread_local ConnectionSlot slot;
    return slot;
}

}  // namespace xhook::data
