#pragma once

#include <sys/types.h>

#include <set>
#include <utility>

namespace xhook::data {

// The network socket of a driver's session, for telling without a round trip whether the server
// has ended the session: ODBC offers no such question (a driver answers SQL_ATTR_CONNECTION_DEAD
// only from what a failed statement taught it), but a session that the server or the network
// ended has an end of file waiting on its socket, as an idle session is sent nothing else. The
// socket is the one that the driver's connect added to the process, found by comparing the
// process's sockets before and after it.
class OdbcSocket {
  public:
    using Sockets = std::set<std::pair<int, ino_t>>;  // descriptor and the socket's inode

    // The sockets that the process holds now.
    static Sockets ofProcess();
    // The one socket in `after` that is not in `before`; none when there is not exactly one
    // (another thread opened one meanwhile, or the driver holds no socket of its own).
    static OdbcSocket addedBetween(const Sockets& before, const Sockets& after);

    bool isKnown() const { return descriptor_ >= 0; }
    // Whether anything waits on the socket (an end of file, an error, or data nobody asked
    // for), or the descriptor no longer holds that socket.
    bool endedByPeer() const;

  private:
    int descriptor_ = -1;
    ino_t inode_ = 0;
};

}  // namespace xhook::data
