#include "data/TableAppender.h"

#include <QSqlDriver>
#include <QSqlField>
#include <QStringList>

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/SqlStatement.h"
#include "data/StatementLog.h"

namespace xhook::data {

namespace {

// The table's name goes into the statements unquoted, so that it resolves as the component's
// other statements do (without regard to case); only a plain, optionally qualified name is taken.
void requirePlainTableName(const QString& name) {
    if (!isPlainName(name))
        throw DbError(DbErrorNumber::ItemNotFound,
                      QStringLiteral("'%1' is not a valid table name").arg(name));
}

}  // namespace

// The empty query fails with the provider's own error when the table does not exist.
TableAppender::TableAppender(Connection& connection, QString tableName)
    : connection_(connection), tableName_(std::move(tableName)) {
    requirePlainTableName(tableName_);
    const QString probe = QStringLiteral("select * from %1 where 1=0").arg(tableName_);
    StatementLog::recordSql(probe);
    columns_ = runStatement(connection_.database(), probe).record();
}

void TableAppender::addRow(const QVariantMap& values) {
    FaultInjection::check(DbCall::AddRow);
    if (!open_) raiseObjectClosed(QStringLiteral("table '%1': AddNew").arg(tableName_));
    const QString insert = insertStatement(values);
    StatementLog::recordSql(insert, values.values());
    runStatement(connection_.database(), insert, values.values());
}

void TableAppender::close() {
    open_ = false;
}

void TableAppender::addRows(const QList<QVariantMap>& rows) {
    for (const QVariantMap& row : rows) {
        FaultInjection::check(DbCall::AddRow);
        if (!open_) raiseObjectClosed(QStringLiteral("table '%1': AddNew").arg(tableName_));
        if (!row.isEmpty()) columnList(row);
    }
    for (qsizetype first = 0; first < rows.size();) {
        qsizetype count = 1;
        while (first + count < rows.size() && count < kRowsPerStatement && !rows[first].isEmpty() &&
               rows[first + count].keys() == rows[first].keys())
            ++count;
        insertBatch(rows, first, count);
        first += count;
    }
}

void TableAppender::insertBatch(const QList<QVariantMap>& rows, qsizetype first, qsizetype count) {
    if (rows[first].isEmpty()) {
        addRow(rows[first]);
        return;
    }
    QStringList values;
    for (qsizetype i = first; i < first + count; ++i) values << valueList(rows[i]);
    const QString insert = QStringLiteral("insert into %1 (%2) values %3")
                               .arg(tableName_, columnList(rows[first]), values.join(','));
    StatementLog::recordSql(insert);
    runStatement(connection_.database(), insert);
}

QString TableAppender::insertStatement(const QVariantMap& values) const {
    if (values.isEmpty()) return QStringLiteral("insert into %1 default values").arg(tableName_);
    QStringList placeholders;
    for (qsizetype i = 0; i < values.size(); ++i) placeholders << QStringLiteral("?");
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(tableName_, columnList(values), placeholders.join(','));
}

// Column names are taken as the table spells them, quoted; unknown ones are refused.
QString TableAppender::columnList(const QVariantMap& values) const {
    const QSqlDriver* driver = connection_.database().driver();
    QStringList columns;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const int index = columns_.indexOf(it.key());
        if (index < 0)
            throw DbError(
                DbErrorNumber::ItemNotFound,
                QStringLiteral("table '%1' has no column \"%2\"").arg(tableName_, it.key()));
        columns << driver->escapeIdentifier(columns_.fieldName(index), QSqlDriver::FieldName);
    }
    return columns.join(',');
}

// One row's values as literals, so that a whole batch goes to the server in one statement without
// a prepared statement of its own: a text by the connection's own rules for its session, any
// other value (a number, NULL) as the driver writes it.
QString TableAppender::valueList(const QVariantMap& values) const {
    const QSqlDriver* driver = connection_.database().driver();
    QStringList literals;
    for (const QVariant& value : values) {
        if (value.typeId() == QMetaType::QString && !value.isNull()) {
            literals << connection_.textLiteral(value.toString());
            continue;
        }
        const QVariant bound = bindableValue(value);
        QSqlField field(QString(), bound.metaType());
        field.setValue(bound);
        literals << driver->formatValue(field);
    }
    return '(' + literals.join(',') + ')';
}

}  // namespace xhook::data
