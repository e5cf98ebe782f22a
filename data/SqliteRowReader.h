#pragma once

#include <QPointer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <memory>

struct sqlite3_stmt;

namespace xhook::data {

// The rows of a query that Qt's SQLite driver has executed, read through SQLite's own interface:
// the statement is stepped here and a field is converted to a QVariant only when it is read,
// where QSqlQuery would convert and cache every field of every row. Each value is the one the
// driver would give (type, number, text). The reading is forward only; the query keeps the
// statement, its execution, its record and its finish.
class SqliteRowReader {
  public:
    // A reader of `query`'s rows, or none when the query is not a statement of Qt's SQLite
    // driver. `query` has just been executed and stands before its first row; it must outlive
    // the reader, which is then its only reader.
    static std::unique_ptr<SqliteRowReader> of(QSqlQuery& query);

    // Moves to the next row, the first on the first call; false at the end, or on an error,
    // which lastError() then holds as the driver would have made it.
    bool next();
    const QSqlError& lastError() const { return error_; }
    // Field `index` (within the record's count) of the current row.
    QVariant value(int index) const;

  private:
    SqliteRowReader(QSqlQuery& query, sqlite3_stmt* statement);
    bool statementAlive() const;
    QString text(int index) const;
    QVariant floatingPoint(int index) const;
    QSqlError fetchError(int result);

    QSqlQuery& query_;
    sqlite3_stmt* statement_;
    // The driver finalizes the statement when its database closes.
    QPointer<const QSqlDriver> driver_;
    QSql::NumericalPrecisionPolicy precision_;
    bool utf8Database_;  // texts are kept as UTF-8 (else as UTF-16)
    bool started_ = false;
    QSqlError error_;
};

}  // namespace xhook::data
