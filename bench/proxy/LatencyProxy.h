#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace xhook::bench {

// A TCP proxy on 127.0.0.1 that stands for a network between the component and a PostgreSQL
// server listening on a unix socket: every chunk read on either side is written to the other
// side only after a one-way delay, and the TCP handshake of a new connection costs one round trip
// as well (the client's first bytes wait twice the delay). It counts the round trips it carries:
// one per handshake and one each time the server answers after the client has spoken.
// For the tests and the benchmarks only; it never listens beyond the loopback address.
class LatencyProxy {
  public:
    // Listens on a free port of 127.0.0.1 at once and forwards to `unixSocketPath`.
    LatencyProxy(std::string unixSocketPath, std::chrono::microseconds oneWayDelay);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy&) = delete;
    LatencyProxy& operator=(const LatencyProxy&) = delete;

    int port() const { return port_; }
    long roundTrips() const { return roundTrips_.load(); }
    long connectionsAccepted() const { return accepted_.load(); }
    void resetCounts();
    // Ends every forwarded connection at once, as a cut network cable ends them for the client
    // (it sees the connection closed); new connections are forwarded as before.
    void cutConnections();

    // The unix socket that a connection string's Server (a socket folder) and Port name.
    static std::string unixSocketOf(const QString& connectionString);
    // `connectionString` sent through a proxy on `port` instead of its own server and port.
    static QString throughProxy(const QString& connectionString, int port);

  private:
    struct Links;
    void run();
    void wake();

    std::string target_;
    std::chrono::microseconds delay_;
    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<long> roundTrips_{0};
    std::atomic<long> accepted_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> cutRequested_{false};
    std::unique_ptr<Links> links_;
    std::thread thread_;
};

}  // namespace xhook::bench
