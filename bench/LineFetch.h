#pragma once

#include <QString>

struct sqlite3;

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
