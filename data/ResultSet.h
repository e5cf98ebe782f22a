#pragma once

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

#include "data/FaultInjection.h"
#include "data/SqliteRowReader.h"
#include "data/StatementLog.h"

namespace xhook::data {

// How a result set's rows reach it (see Connection::openResultSet). Streamed on SQLite, the rows
// are read through SQLite's own interface (SqliteRowReader).
enum class RowReading { Held, Streamed };

// A result set read forward once: test for the end, read a field by name (without regard to
// case), move on, close. A NULL reads as a null QVariant, distinguishable from an empty text.
class ResultSet {
  public:
    // `query` has been executed, forward-only, and is positioned before its first row.
    ResultSet(QSqlQuery query, QString sqlText, RowReading reading = RowReading::Held);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    bool eof() const;
    // Raises DbError (item not found) for a name the result lacks, or (no current record) at the
    // end.
    QVariant value(const QString& fieldName) const;
    QVariant value(int index) const {
        FaultInjection::check(DbCall::ReadValue);
        if (open_ && !atEnd_ && index >= 0 && index < names_.size()) {
            if (sqliteRows_) return sqliteRows_->value(index);
            if (singlePrecisionColumns_.isEmpty()) return query_.value(index);
            return fieldValue(index);
        }
        return valueOutOfReach(index);
    }
    int fieldIndex(const QString& fieldName) const;  // -1 when absent
    int fieldCount() const;
    QString fieldName(int index) const;
    void moveNext();
    void close();
    bool isOpen() const { return open_; }

  private:
    void fetch();
    void requireOpen(const char* operation) const;
    QVariant valueAt(int index) const;
    QVariant fieldValue(int index) const;
    [[noreturn]] QVariant valueOutOfReach(int index) const;

    QSqlQuery query_;
    std::unique_ptr<SqliteRowReader> sqliteRows_;  // reads query_'s rows when it has one
    QString sqlText_;
    QHash<QString, int> indexByFoldedName_;  // field numbers by case-folded name
    QStringList names_;
    // Columns of a single-precision floating-point type, which Qt's ODBC driver reads as the
    // driver's text of the number: they are read as the number (a double, as elsewhere).
    QList<int> singlePrecisionColumns_;
    bool open_ = true;
    bool atEnd_ = false;
    qint64 rowsRead_ = 0;
    StatementLog::Sent sent_;  // the statement as the diagnostic log numbered it
};

}  // namespace xhook::data
