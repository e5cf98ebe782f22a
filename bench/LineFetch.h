#pragma once

#include <QString>
#include <memory>

struct sqlite3;

namespace xhook::data {
class Connection;
}

namespace xhook::bench {

// Reads every column of every row of a query and keeps nothing: what any reader of the rows
// must at least pay. Both return the number of cells read (NULL cells included).

// Through a forward-only QSqlQuery on a connection of its own to the database file.
class QtLineFetch {
  public:
    explicit QtLineFetch(const QString& path);
    ~QtLineFetch();
    QtLineFetch(const QtLineFetch&) = delete;
    QtLineFetch& operator=(const QtLineFetch&) = delete;

    long long readAll(const QString& sql);

  private:
    QString connectionName_;
};

// Through a forward-only QSqlQuery on a connection of the component's database layer, which is
// how the loader reaches a server.
class ConnectionLineFetch {
  public:
    explicit ConnectionLineFetch(const QString& connectionString);
    ~ConnectionLineFetch();
    ConnectionLineFetch(const ConnectionLineFetch&) = delete;
    ConnectionLineFetch& operator=(const ConnectionLineFetch&) = delete;

    long long readAll(const QString& sql);

  private:
    std::unique_ptr<data::Connection> connection_;
};

// Through the SQLite C API: sqlite3_step and sqlite3_column_text.
class SqliteLineFetch {
  public:
    explicit SqliteLineFetch(const QString& path);
    ~SqliteLineFetch();
    SqliteLineFetch(const SqliteLineFetch&) = delete;
    SqliteLineFetch& operator=(const SqliteLineFetch&) = delete;

    long long readAll(const QString& sql);

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace xhook::bench
