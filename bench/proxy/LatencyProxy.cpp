#include "bench/proxy/LatencyProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <deque>
#include <stdexcept>
#include <vector>

namespace xhook::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReadSize = 64 * 1024;

// Bytes read on one side, to be written on the other once `due`; no bytes stand for the end.
struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

// One client connection and its connection to the server.
struct Link {
    int client = -1;
    int server = -1;
    std::deque<Chunk> toServer;
    std::deque<Chunk> toClient;
    bool clientSpokeLast = false;
    bool handshakeOwed = true;  // the client's first bytes also wait for the TCP handshake
    bool clientEnded = false;
    bool serverEnded = false;

    ~Link() {
        if (client >= 0) ::close(client);
        if (server >= 0) ::close(server);
    }
};

[[noreturn]] void raiseSystemError(const char* what) {
    throw std::runtime_error(std::string("latency proxy: ") + what + ": " + std::strerror(errno));
}

int listenOnLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) raiseSystemError("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 64) != 0) {
        ::close(fd);
        raiseSystemError("listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

int connectUnix(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Writes all of `bytes`; false when the peer has gone.
bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += size_t(n);
    }
    return true;
}

// Reads what is there; an empty result is the end of the peer's side.
std::string readSome(int fd) {
    std::string bytes(kReadSize, '\0');
    ssize_t n;
    do n = ::read(fd, bytes.data(), bytes.size());
    while (n < 0 && errno == EINTR);
    bytes.resize(n > 0 ? size_t(n) : 0);
    return bytes;
}

QString connectionValue(const QString& connectionString, const QString& key) {
    const QRegularExpression item(QStringLiteral("(?:^|;)\\s*%1\\s*=\\s*([^;]*)").arg(key),
                                  QRegularExpression::CaseInsensitiveOption);
    return item.match(connectionString).captured(1).trimmed();
}

QString withValue(const QString& connectionString, const QString& key, const QString& value) {
    const QRegularExpression item(QStringLiteral("(^|;)\\s*%1\\s*=[^;]*").arg(key),
                                  QRegularExpression::CaseInsensitiveOption);
    QString text = connectionString;
    if (text.contains(item)) return text.replace(item, QStringLiteral("\\1%1=%2").arg(key, value));
    return text + QStringLiteral(";%1=%2").arg(key, value);
}

}  // namespace

struct LatencyProxy::Links {
    std::vector<std::unique_ptr<Link>> all;
};

LatencyProxy::LatencyProxy(std::string unixSocketPath, std::chrono::microseconds oneWayDelay)
    : target_(std::move(unixSocketPath)), delay_(oneWayDelay), links_(std::make_unique<Links>()) {
    listenFd_ = listenOnLoopback(port_);
    if (::pipe2(wakePipe_, O_CLOEXEC) != 0) raiseSystemError("pipe");
    thread_ = std::thread([this] { run(); });
}

LatencyProxy::~LatencyProxy() {
    stopping_ = true;
    wake();
    thread_.join();
    links_.reset();
    ::close(listenFd_);
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
}

void LatencyProxy::resetCounts() {
    roundTrips_ = 0;
    accepted_ = 0;
}

void LatencyProxy::cutConnections() {
    cutRequested_ = true;
    wake();
    while (cutRequested_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LatencyProxy::wake() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &byte, 1);
}

std::string LatencyProxy::unixSocketOf(const QString& connectionString) {
    const QString folder = connectionValue(connectionString, QStringLiteral("Server"));
    QString port = connectionValue(connectionString, QStringLiteral("Port"));
    if (port.isEmpty()) port = QStringLiteral("5432");
    return (folder + QStringLiteral("/.s.PGSQL.") + port).toStdString();
}

QString LatencyProxy::throughProxy(const QString& connectionString, int port) {
    const QString server = withValue(connectionString, QStringLiteral("Server"), "127.0.0.1");
    return withValue(server, QStringLiteral("Port"), QString::number(port));
}

// One thread carries every connection: it waits for bytes or for the next chunk that falls due,
// reads what came, and writes what is due.
void LatencyProxy::run() {
    std::vector<std::unique_ptr<Link>>& links = links_->all;
    while (!stopping_) {
        Clock::time_point next = Clock::now() + std::chrono::seconds(1);
        std::vector<pollfd> fds{{wakePipe_[0], POLLIN, 0}, {listenFd_, POLLIN, 0}};
        for (const auto& link : links) {
            for (const auto* queue : {&link->toServer, &link->toClient})
                if (!queue->empty()) next = std::min(next, queue->front().due);
            fds.push_back({link->clientEnded ? -1 : link->client, POLLIN, 0});
            fds.push_back({link->serverEnded ? -1 : link->server, POLLIN, 0});
        }
        const auto wait = std::max(next - Clock::now(), Clock::duration::zero());
        const timespec timeout{
            time_t(std::chrono::duration_cast<std::chrono::seconds>(wait).count()),
            long(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count() % 1000000000)};
        if (::ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0 && errno != EINTR)
            raiseSystemError("poll");
        if (fds[0].revents) {
            char drained[64];
            [[maybe_unused]] const ssize_t n = ::read(wakePipe_[0], drained, sizeof drained);
        }
        if (cutRequested_) {
            links.clear();
            cutRequested_ = false;
            continue;
        }
        const Clock::time_point now = Clock::now();
        for (size_t i = 0; i < links.size(); ++i) {
            Link& link = *links[i];
            if (fds[2 + 2 * i].revents) {
                std::string bytes = readSome(link.client);
                link.clientEnded = bytes.empty();
                auto due = now + delay_;
                if (link.handshakeOwed) due += 2 * delay_;
                link.handshakeOwed = false;
                link.clientSpokeLast = true;
                link.toServer.push_back({due, std::move(bytes)});
            }
            if (fds[3 + 2 * i].revents) {
                std::string bytes = readSome(link.server);
                link.serverEnded = bytes.empty();
                if (link.clientSpokeLast && !bytes.empty()) ++roundTrips_;
                link.clientSpokeLast = false;
                link.toClient.push_back({now + delay_, std::move(bytes)});
            }
        }
        if (fds[1].revents) {
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                auto link = std::make_unique<Link>();
                link->client = client;
                link->server = connectUnix(target_);
                ++accepted_;
                ++roundTrips_;  // the TCP handshake
                if (link->server >= 0) links.push_back(std::move(link));
            }
        }
        // Due chunks are written; a link ends with the end of either side, once it is due.
        std::erase_if(links, [](const std::unique_ptr<Link>& link) {
            const Clock::time_point due = Clock::now();
            for (auto [queue, fd] : {std::pair{&link->toServer, link->server},
                                     std::pair{&link->toClient, link->client}}) {
                while (!queue->empty() && queue->front().due <= due) {
                    if (queue->front().bytes.empty() || !sendAll(fd, queue->front().bytes))
                        return true;
                    queue->pop_front();
                }
            }
            return false;
        });
    }
}

}  // namespace xhook::bench
