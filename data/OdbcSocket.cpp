#include "data/OdbcSocket.h"

#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>

#include <cstdlib>

namespace xhook::data {

namespace {

ino_t socketInode(int descriptor) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISSOCK(status.st_mode)) return 0;
    return status.st_ino;
}

}  // namespace

OdbcSocket::Sockets OdbcSocket::ofProcess() {
    Sockets sockets;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder) return sockets;
    const int own = dirfd(folder);
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
        const int descriptor = std::atoi(entry->d_name);
        if (descriptor == own) continue;
        if (const ino_t inode = socketInode(descriptor)) sockets.emplace(descriptor, inode);
    }
    closedir(folder);
    return sockets;
}

OdbcSocket OdbcSocket::addedBetween(const Sockets& before, const Sockets& after) {
    OdbcSocket found;
    int added = 0;
    for (const auto& socket : after) {
        if (before.count(socket)) continue;
        ++added;
        found.descriptor_ = socket.first;
        found.inode_ = socket.second;
    }
    return added == 1 ? found : OdbcSocket();
}

bool OdbcSocket::endedByPeer() const {
    if (socketInode(descriptor_) != inode_) return true;
    pollfd waiting{descriptor_, POLLIN, 0};
    return ::poll(&waiting, 1, 0) != 0;
}

}  // namespace xhook::data
