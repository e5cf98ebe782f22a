#include "data/SharedConnection.h"

#include <memory>

#include "data/Connection.h"
#include "data/ConnectionSlot.h"

namespace xhook {

// The connection is stored only once it is open, so a failed open leaves gConnection none and
// the next operation tries again.
bool OpenConnection() {
    data::ConnectionSlot& slot = data::connectionSlot();
    if (slot.gConnection) return true;
    auto connection = std::make_unique<data::Connection>();
    connection->setConnectionString(slot.DBConnectionString);
    connection->open();
    slot.gConnection = std::move(connection);
    return true;
}

// gConnection is none before the connection is closed: when the close fails, the error reaches
// the caller and the connection is released quietly all the same.
void CloseConnection() {
    std::unique_ptr<data::Connection> connection = std::move(data::connectionSlot().gConnection);
    if (connection) connection->close();
}

}  // namespace xhook
