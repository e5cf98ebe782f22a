#pragma once

#include <QString>
#include <QTemporaryDir>

namespace xhook::test {

// A throw-away PostgreSQL server in a folder of its own (scripts/pg-test-server), for tests that
// stop and start it; stopped and removed at the end.
class OwnServer {
  public:
    OwnServer();
    ~OwnServer();
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    bool started() const { return started_; }
    QString connectionString() const;
    // Stops it at once, as a crash does; callable from any thread.
    void crash() const;
    // Stops it cleanly, as an administrator's restart does: its sessions are told and ended.
    void stop() const;
    bool resume() const;
    // How many times the server's log names `text` (log_connections writes "connection
    // authorized" for each session that starts).
    int logCount(const QString& text) const;

  private:
    int run(const char* action) const;

    QTemporaryDir folder_;
    bool started_ = false;
};

}  // namespace xhook::test
