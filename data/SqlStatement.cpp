#include "data/SqlStatement.h"

#include <QRegularExpression>
#include <QSqlError>

#include "data/DbError.h"
#include "data/StatementLog.h"

namespace xhook::data {

// Qt's SQLite driver binds only a few types natively and writes the rest as text, so a 16-bit
// integer would be stored as "5" in a column without a type; such values are widened first.
QVariant bindableValue(const QVariant& value) {
    if (value.isNull()) return value;
    switch (value.typeId()) {
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
            return value.toLongLong();
        case QMetaType::ULong:
            return value.toULongLong();
        case QMetaType::Float:
            return value.toDouble();
        default:
            return value;
    }
}

namespace {

// Qt's PostgreSQL driver reads a forward-only query row by row from the server, and a second
// statement on the same connection while such a query is being read discards its remaining rows.
// Its queries are therefore fetched whole, as a client-side cursor would be.
bool readsForwardOnly(const QSqlDatabase& db) {
    return db.driverName() != QLatin1String("QPSQL");
}

[[noreturn]] void raiseStatementError(const QSqlQuery& query, const QString& sql) {
    throw DbError::fromSqlError(query.lastError(), "SQL: " + sql);
}

}  // namespace

QSqlQuery runStatement(const QSqlDatabase& db, const QString& sql, const QVariantList& boundValues,
                       RowReading reading) {
    const QElapsedTimer timer = StatementLog::startTimer();
    QSqlQuery query(db);
    query.setForwardOnly(reading == RowReading::Streamed || readsForwardOnly(db));
    if (boundValues.isEmpty()) {
        if (!query.exec(sql)) raiseStatementError(query, sql);
    } else {
        if (!query.prepare(sql)) raiseStatementError(query, sql);
        for (const QVariant& value : boundValues) query.addBindValue(bindableValue(value));
        if (!query.exec()) raiseStatementError(query, sql);
    }
    StatementLog::sqlSent(timer, sql, boundValues, query);
    return query;
}

bool isPlainName(const QString& name) {
    static const QRegularExpression plain(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return plain.match(name).hasMatch();
}

void raiseObjectClosed(const QString& operation) {
    throw DbError(
        DbErrorNumber::ObjectClosed,
        QStringLiteral("operation is not allowed when the object is closed (%1)").arg(operation));
}

}  // namespace xhook::data
