#include "data/ResultSet.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/SqlStatement.h"

namespace xhook::data {

namespace {

[[noreturn]] void raiseNoFieldNumber(int index, const QString& sqlText) {
    throw DbError(
        DbErrorNumber::ItemNotFound,
        QStringLiteral("the result has no field number %1 — SQL: %2").arg(index).arg(sqlText));
}

}  // namespace

ResultSet::ResultSet(QSqlQuery query, QString sqlText, RowReading reading)
    : query_(std::move(query)), sqlText_(std::move(sqlText)), sent_(StatementLog::lastSent()) {
    if (reading == RowReading::Streamed) sqliteRows_ = SqliteRowReader::of(query_);
    const QSqlRecord record = query_.record();
    for (int i = 0; i < record.count(); ++i) {
        names_.append(record.fieldName(i));
        const QString key = names_.last().toCaseFolded();
        if (!indexByFoldedName_.contains(key))
            indexByFoldedName_.insert(key, i);  // the first of two equal names wins
        if (record.field(i).metaType().id() == QMetaType::Float) singlePrecisionColumns_ << i;
    }
    fetch();
}

ResultSet::~ResultSet() {
    sent_.rowsRead(rowsRead_, atEnd_);
}

bool ResultSet::eof() const {
    requireOpen("EOF");
    return atEnd_;
}

QVariant ResultSet::value(const QString& fieldName) const {
    FaultInjection::check(DbCall::ReadValue);
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw DbError(
            DbErrorNumber::ItemNotFound,
            QStringLiteral("the result has no field \"%1\" — SQL: %2").arg(fieldName, sqlText_));
    return valueAt(index);
}

// Why value(index) cannot read: the number is out of range, the result is closed or at its end.
QVariant ResultSet::valueOutOfReach(int index) const {
    if (index < 0 || index >= names_.size()) raiseNoFieldNumber(index, sqlText_);
    valueAt(index);
    Q_UNREACHABLE();
}

QVariant ResultSet::valueAt(int index) const {
    requireOpen("read a value");
    if (atEnd_)
        throw DbError(
            DbErrorNumber::NoCurrentRecord,
            QStringLiteral("no current record: the result is at its end — SQL: %1").arg(sqlText_));
    return fieldValue(index);
}

QVariant ResultSet::fieldValue(int index) const {
    if (sqliteRows_) return sqliteRows_->value(index);
    const QVariant value = query_.value(index);
    if (value.typeId() != QMetaType::QString || !singlePrecisionColumns_.contains(index))
        return value;
    bool ok = false;
    const double number = value.toString().toDouble(&ok);
    return ok ? QVariant(number) : value;
}

// Names compare without regard to case: both sides are case-folded.
int ResultSet::fieldIndex(const QString& fieldName) const {
    return indexByFoldedName_.value(fieldName.toCaseFolded(), -1);
}

int ResultSet::fieldCount() const {
    return int(names_.size());
}

QString ResultSet::fieldName(int index) const {
    if (index < 0 || index >= names_.size()) raiseNoFieldNumber(index, sqlText_);
    return names_[index];
}

void ResultSet::moveNext() {
    FaultInjection::check(DbCall::MoveNext);
    requireOpen("MoveNext");
    if (atEnd_)
        throw DbError(
            DbErrorNumber::NoCurrentRecord,
            QStringLiteral("cannot move past the end of the result — SQL: %1").arg(sqlText_));
    fetch();
}

// The statement is released as soon as the last row has been read.
void ResultSet::fetch() {
    atEnd_ = !(sqliteRows_ ? sqliteRows_->next() : query_.next());
    if (!atEnd_) {
        ++rowsRead_;
        return;
    }
    const QSqlError error = sqliteRows_ ? sqliteRows_->lastError() : query_.lastError();
    query_.finish();
    if (!error.isValid()) sent_.rowsRead(rowsRead_, true);
    if (error.isValid()) throw DbError::fromSqlError(error, "SQL: " + sqlText_);
}

void ResultSet::close() {
    sent_.rowsRead(rowsRead_, atEnd_);
    open_ = false;
    query_.finish();
}

void ResultSet::requireOpen(const char* operation) const {
    if (!open_) raiseObjectClosed(QStringLiteral("result set: %1").arg(operation));
}

}  // namespace xhook::data
