#pragma once

#include <QString>
#include <memory>

namespace xhook::data {

class Connection;

// The calling thread's shared connection: the connection of the database operation that is
// running (none between operations, see SharedConnection.h) and the connection string from the
// user's settings that it is opened with. One exists per thread, for as long as the component is
// loaded; the component's shared state record holds it as its first two fields.
struct ConnectionSlot {
    ConnectionSlot();
    ~ConnectionSlot();
    ConnectionSlot(const ConnectionSlot&) = delete;
    ConnectionSlot& operator=(const ConnectionSlot&) = delete;

    std::unique_ptr<Connection> gConnection;  // the shared connection, empty when closed
    QString DBConnectionString;
};

// The calling thread's slot.
ConnectionSlot& connectionSlot();

}  // namespace xhook::data
