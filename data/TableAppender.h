#pragma once

#include <QList>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariantMap>

namespace xhook::data {

class Connection;

// An updatable result set over a whole table, reduced to what the component does with one: add
// a row, written to the database at once. Opening it checks that the table exists.
class TableAppender {
  public:
    TableAppender(Connection& connection, QString tableName);
    // Writes one row; keys are column names (without regard to case). Raises DbError.
    void addRow(const QVariantMap& values);
    // Writes the rows in order, as few insert statements as the rows' columns allow: rows of the
    // same columns go into one statement of up to kRowsPerStatement rows, their values written
    // into the text by the driver. Raises DbError; the rows are checked before any is written.
    void addRows(const QList<QVariantMap>& rows);
    static constexpr qsizetype kRowsPerStatement = 500;
    void close();

  private:
    QString insertStatement(const QVariantMap& values) const;
    QString columnList(const QVariantMap& values) const;
    QString valueList(const QVariantMap& values) const;
    void insertBatch(const QList<QVariantMap>& rows, qsizetype first, qsizetype count);

    Connection& connection_;
    QString tableName_;
    QSqlRecord columns_;
    bool open_ = true;
};

}  // namespace xhook::data
