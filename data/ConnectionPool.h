#pragma once

#include <QSqlDatabase>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "data/Backend.h"

namespace xhook::data {

class ConnectionString;

// How a connection string asks for its connections to be kept:
//   Pooling=true|false                 kept for the next open with the same string (default true)
//   Connection Lifetime=SECONDS        a connection older than this is closed, not kept (0: no
//                                      bound, the default)
//   Connection Idle Lifetime=SECONDS   a kept connection unused this long is closed (default
//                                      300; 0: no bound)
struct PoolingOptions {
    bool enabled = true;
    std::chrono::seconds lifetime{0};
    std::chrono::seconds idleLifetime{300};

    // Raises DbError naming the key for a value that is not a flag or a number of seconds.
    static PoolingOptions of(const ConnectionString& cs);
};

// An open database and what it takes to run it, as the pool keeps it between connections.
struct OpenDatabase {
    QString qtConnectionName;
    QSqlDatabase db;
    std::unique_ptr<Backend> backend;
    std::chrono::steady_clock::time_point opened;
};

// The open databases that closed connections left for the next open with the same connection
// string, one pool per thread (a Qt database serves only the thread that opened it). A kept
// database is checked when it is taken: one that the server has ended is closed, and the caller
// opens a fresh one.
class ConnectionPool {
  public:
    static ConnectionPool& ofThisThread();
    ~ConnectionPool();

    // A kept database for `key` that is still connected, or none.
    std::optional<OpenDatabase> take(const QString& key, const PoolingOptions& options);
    // Keeps `database` for `key` unless it has outlived its lifetime; closes it otherwise. The
    // backend has reset its session already.
    void give(const QString& key, OpenDatabase database, const PoolingOptions& options);
    // Closes every kept database of this thread.
    void clear();
    qsizetype idleCount() const { return idle_.size(); }

  private:
    struct Idle {
        QString key;
        OpenDatabase database;
        PoolingOptions options;
        std::chrono::steady_clock::time_point since;
    };
    void closeExpired(std::chrono::steady_clock::time_point now);

    std::vector<Idle> idle_;  // the longest idle first
};

// Closes an open database and removes it from Qt's list of databases.
void closeDatabase(OpenDatabase& database) noexcept;

}  // namespace xhook::data
