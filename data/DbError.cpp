#include "data/DbError.h"

#include <QSqlError>

#include "data/StatementLog.h"

namespace xhook::data {

DbError::DbError(long number, QString description, QString nativeCode)
    : ComponentError(number, std::move(description)), nativeCode_(std::move(nativeCode)) {
    StatementLog::error(this->number(), this->description(), nativeCode_);
}

namespace {

// SQLite reports its result code as a decimal text; it becomes the error's number.
long numberOf(const QSqlError& error) {
    bool numeric = false;
    const long number = error.nativeErrorCode().toLong(&numeric);
    return numeric ? number : DbErrorNumber::Generic;
}

// The database's own text first, the driver's summary after it when it says something more.
QString textOf(const QSqlError& error) {
    const QString database = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (database.isEmpty()) return driver;
    if (driver.isEmpty() || driver == database) return database;
    return database + " (" + driver + ")";
}

}  // namespace

DbError DbError::fromSqlError(const QSqlError& error, const QString& context) {
    QString description = textOf(error);
    if (description.isEmpty()) description = QStringLiteral("unknown database error");
    if (!context.isEmpty()) description += " — " + context;
    return DbError(numberOf(error), description, error.nativeErrorCode());
}

}  // namespace xhook::data
