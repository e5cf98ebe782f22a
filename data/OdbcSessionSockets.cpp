#include "data/OdbcSessionSockets.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>

namespace xhook::data {

namespace {

// A session is one connection; a few more may have been opened by other threads meanwhile.
constexpr qsizetype kMostSocketsWatched = 4;

ino_t socketInode(int descriptor) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISSOCK(status.st_mode)) return 0;
    return status.st_ino;
}

int socketOption(int descriptor, int option) {
    int value = 0;
    socklen_t length = sizeof value;
    if (getsockopt(descriptor, SOL_SOCKET, option, &value, &length) != 0) return -1;
    return value;
}

// A connection's socket: a stream that does not listen for connections of its own.
bool isConnectedStream(int descriptor) {
    return socketOption(descriptor, SO_TYPE) == SOCK_STREAM &&
           socketOption(descriptor, SO_ACCEPTCONN) == 0;
}

}  // namespace

OdbcSessionSockets::Sockets OdbcSessionSockets::ofProcess() {
    Sockets sockets;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder) return sockets;
    const int own = dirfd(folder);
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
        const int descriptor = std::atoi(entry->d_name);
        if (descriptor == own) continue;
        const ino_t inode = socketInode(descriptor);
        if (inode != 0 && isConnectedStream(descriptor)) sockets.emplace(descriptor, inode);
    }
    closedir(folder);
    return sockets;
}

OdbcSessionSockets OdbcSessionSockets::addedBetween(const Sockets& before, const Sockets& after) {
    OdbcSessionSockets added;
    for (const auto& socket : after)
        if (!before.count(socket)) added.sockets_.append(socket);
    if (added.sockets_.size() > kMostSocketsWatched) added.sockets_.clear();
    return added;
}

bool OdbcSessionSockets::endedByPeer() const {
    for (const auto& [descriptor, inode] : sockets_) {
        if (socketInode(descriptor) != inode) return true;
        pollfd waiting{descriptor, POLLIN, 0};
        if (::poll(&waiting, 1, 0) != 0) return true;
    }
    return false;
}

}  // namespace xhook::data
