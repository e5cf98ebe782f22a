#pragma once

namespace xhook {

// The shared connection gConnection of the calling thread (ConnectionSlot.h), one per database
// operation. OpenConnection makes sure that one is open: it creates, configures (the connection
// string from the settings, client-side cursors, no command time limit, mode not specified) and
// opens it when there is none, and returns true; a failure is raised and leaves gConnection none.
bool OpenConnection();
// Closes and releases gConnection when there is one; a connection that is not open is released.
void CloseConnection();

}  // namespace xhook
