#pragma once

#include <sys/types.h>

#include <QList>
#include <set>
#include <utility>

namespace xhook::data {

// The network sockets of a driver's session, for telling without a round trip whether the server
// has ended the session: ODBC offers no such question (a driver answers SQL_ATTR_CONNECTION_DEAD
// only from what a failed statement taught it), but a session that the server or the network
// ended has an end of file waiting on its socket, as an idle session is sent nothing else.
//
// The session's socket is one of those that the driver's connect added to the process, found by
// comparing the process's connected stream sockets before and after it. Another thread of the
// host may have opened one meanwhile; every one added is watched, so that the session's own is
// among them: a session is taken for ended when any of them has something waiting or is gone,
// which at worst costs a fresh session that was not needed.
class OdbcSessionSockets {
  public:
    using Sockets = std::set<std::pair<int, ino_t>>;  // descriptor and the socket's inode

    // The connected stream sockets that the process holds now.
    static Sockets ofProcess();
    // Those in `after` that are not in `before`; none known when there are none, or more than a
    // few (too busy a process to tell).
    static OdbcSessionSockets addedBetween(const Sockets& before, const Sockets& after);

    bool isKnown() const { return !sockets_.isEmpty(); }
    // Whether anything waits on one of the sockets (an end of file, an error, or data nobody
    // asked for), or a descriptor no longer holds its socket.
    bool endedByPeer() const;

  private:
    QList<std::pair<int, ino_t>> sockets_;
};

}  // namespace xhook::data
