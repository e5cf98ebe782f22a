#include "data/TableAppender.h"

#include <QRegularExpression>
#include <QSqlDriver>
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
    static const QRegularExpression plain(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    if (!plain.match(name).hasMatch())
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

// Column names are taken as the table spells them, quoted; unknown ones are refused.
QString TableAppender::insertStatement(const QVariantMap& values) const {
    if (values.isEmpty()) return QStringLiteral("insert into %1 default values").arg(tableName_);
    const QSqlDriver* driver = connection_.database().driver();
    QStringList columns;
    QStringList placeholders;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const int index = columns_.indexOf(it.key());
        if (index < 0)
            throw DbError(
                DbErrorNumber::ItemNotFound,
                QStringLiteral("table '%1' has no column \"%2\"").arg(tableName_, it.key()));
        columns << driver->escapeIdentifier(columns_.fieldName(index), QSqlDriver::FieldName);
        placeholders << QStringLiteral("?");
    }
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(tableName_, columns.join(','), placeholders.join(','));
}

}  // namespace xhook::data
