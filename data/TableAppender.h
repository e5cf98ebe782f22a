#pragma once

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
    void close();

private:
    QString insertStatement(const QVariantMap& values) const;

    Connection& connection_;
    QString tableName_;
    QSqlRecord columns_;
    bool open_ = true;
};

}  // namespace xhook::data
