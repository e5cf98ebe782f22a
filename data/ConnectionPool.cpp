#include "data/ConnectionPool.h"

#include <algorithm>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

using Clock = std::chrono::steady_clock;

// The operations of one thread never nest, so one kept database per string serves them; a few
// more serve a host that holds several connections at once.
constexpr qsizetype kMaxIdlePerKey = 4;

[[noreturn]] void raiseBadValue(const QString& key, const QString& value, const QString& expected) {
    throw DbError(DbErrorNumber::InvalidConnectionString,
                  QStringLiteral("%1 '%2' is not %3").arg(key, visibleText(value), expected));
}

bool flagOf(const ConnectionString& cs, const QString& key, bool fallback) {
    const QString text = cs.value(key);
    if (text.isEmpty()) return fallback;
    for (const char* yes : {"true", "yes", "1"})
        if (text.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0) return true;
    for (const char* no : {"false", "no", "0"})
        if (text.compare(QLatin1String(no), Qt::CaseInsensitive) == 0) return false;
    raiseBadValue(key, text, QStringLiteral("true or false"));
}

std::chrono::seconds secondsOf(const ConnectionString& cs, const QString& key,
                               std::chrono::seconds fallback) {
    const QString text = cs.value(key);
    if (text.isEmpty()) return fallback;
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < 0) raiseBadValue(key, text, QStringLiteral("a number of seconds"));
    return std::chrono::seconds(seconds);
}

bool outlived(Clock::time_point start, std::chrono::seconds bound, Clock::time_point now) {
    return bound.count() > 0 && now - start >= bound;
}

}  // namespace

PoolingOptions PoolingOptions::of(const ConnectionString& cs) {
    PoolingOptions options;
    options.enabled = flagOf(cs, QStringLiteral("Pooling"), options.enabled);
    options.lifetime = secondsOf(cs, QStringLiteral("Connection Lifetime"), options.lifetime);
    options.idleLifetime =
        secondsOf(cs, QStringLiteral("Connection Idle Lifetime"), options.idleLifetime);
    return options;
}

void closeDatabase(OpenDatabase& database) noexcept {
    if (database.qtConnectionName.isEmpty()) return;
    database.db.close();
    database.db = QSqlDatabase();
    QSqlDatabase::removeDatabase(database.qtConnectionName);
    database.qtConnectionName.clear();
    database.backend.reset();
}

ConnectionPool& ConnectionPool::ofThisThread() {
    thread_local ConnectionPool pool;
    return pool;
}

ConnectionPool::~ConnectionPool() {
    clear();
}

// The most recently used database is taken first: it is the one least likely to have been
// ended by an idle timeout.
std::optional<OpenDatabase> ConnectionPool::take(const QString& key,
                                                 const PoolingOptions& options) {
    const Clock::time_point now = Clock::now();
    closeExpired(now);
    for (auto it = idle_.end(); it != idle_.begin();) {
        --it;
        if (it->key != key) continue;
        OpenDatabase database = std::move(it->database);
        idle_.erase(it);
        if (!outlived(database.opened, options.lifetime, now) &&
            database.backend->stillConnected(database.db))
            return database;
        closeDatabase(database);
        return take(key, options);
    }
    return std::nullopt;
}

void ConnectionPool::give(const QString& key, OpenDatabase database,
                          const PoolingOptions& options) {
    const Clock::time_point now = Clock::now();
    closeExpired(now);
    const auto sameKey = [&](const Idle& idle) { return idle.key == key; };
    if (outlived(database.opened, options.lifetime, now) ||
        std::count_if(idle_.begin(), idle_.end(), sameKey) >= kMaxIdlePerKey) {
        closeDatabase(database);
        return;
    }
    idle_.push_back({key, std::move(database), options, now});
}

void ConnectionPool::clear() {
    for (Idle& idle : idle_) closeDatabase(idle.database);
    idle_.clear();
}

void ConnectionPool::closeExpired(Clock::time_point now) {
    std::erase_if(idle_, [&](Idle& idle) {
        if (!outlived(idle.since, idle.options.idleLifetime, now) &&
            !outlived(idle.database.opened, idle.options.lifetime, now))
            return false;
        closeDatabase(idle.database);
        return true;
    });
}

}  // namespace xhook::data
