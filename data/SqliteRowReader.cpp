#include "data/SqliteRowReader.h"

#include <sqlite3.h>

#include <QByteArrayView>
#include <QCoreApplication>
#include <QSqlResult>

#include "data/SqlStatement.h"

namespace xhook::data {

namespace {

// The statement behind a query of Qt's SQLite driver (its handle, a QVariant of the driver's own
// type "sqlite3_stmt*"); null for any other driver. The driver links the system's SQLite, as
// this library does.
sqlite3_stmt* statementOf(const QSqlQuery& query) {
    const QSqlDriver* driver = query.driver();
    if (!driver || driver->dbmsType() != QSqlDriver::SQLite ||
        qstrcmp(driver->metaObject()->className(), "QSQLiteDriver") != 0 || !query.result())
        return nullptr;
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0) return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

// Whether the database keeps its texts as UTF-8, SQLite's default; when that cannot be learnt,
// the texts are read as UTF-16, which is always the driver's reading.
bool keepsUtf8(sqlite3* db) {
    sqlite3_stmt* pragma = nullptr;
    bool utf8 = false;
    if (sqlite3_prepare_v2(db, "pragma encoding", -1, &pragma, nullptr) == SQLITE_OK &&
        sqlite3_step(pragma) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(pragma, 0));
        utf8 = name && qstrcmp(name, "UTF-8") == 0;
    }
    sqlite3_finalize(pragma);
    return utf8;
}

// SQLite's translation to UTF-16 writes U+FFFD for U+FFFE and U+FFFF, which Qt's UTF-8 decoder
// keeps; `utf8` is valid UTF-8.
bool holdsFffeOrFfff(QByteArrayView utf8) {
    for (qsizetype at = utf8.indexOf('\xEF'); at >= 0; at = utf8.indexOf('\xEF', at + 1)) {
        if (at + 2 < utf8.size() && utf8[at + 1] == '\xBF' && uchar(utf8[at + 2]) >= 0xBE)
            return true;
    }
    return false;
}

// Whether Qt's UTF-8 decoder gives the text that SQLite's translation to UTF-16 would: for
// valid UTF-8 without those two noncharacters. SQLite reads invalid sequences its own way.
bool decodesAlike(QByteArrayView utf8) {
    return utf8.isValidUtf8() && !holdsFffeOrFfff(utf8);
}

}  // namespace

std::unique_ptr<SqliteRowReader> SqliteRowReader::of(QSqlQuery& query) {
    sqlite3_stmt* statement = statementOf(query);
    if (!statement) return nullptr;
    return std::unique_ptr<SqliteRowReader>(new SqliteRowReader(query, statement));
}

SqliteRowReader::SqliteRowReader(QSqlQuery& query, sqlite3_stmt* statement)
    : query_(query),
      statement_(statement),
      driver_(query.driver()),
      precision_(query.numericalPrecisionPolicy()),
      utf8Database_(keepsUtf8(sqlite3_db_handle(statement))) {}

// The driver's execution has already stepped to the first row and keeps it: the query moves
// onto it without stepping, and the statement stands on it. Every later row is stepped here.
bool SqliteRowReader::next() {
    if (!started_) {
        started_ = true;
        const bool onRow = query_.next();
        if (!onRow) error_ = query_.lastError();
        return onRow;
    }
    if (!statementAlive()) {
        error_ = QSqlError(QCoreApplication::translate("QSQLiteResult", "Unable to fetch row"),
                           QCoreApplication::translate("QSQLiteResult", "No query"),
                           QSqlError::ConnectionError);
        return false;
    }
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) {
        sqlite3_reset(statement_);
        return false;
    }
    error_ = fetchError(result);
    return false;
}

// As the driver does: a generic error or a constraint's is known in full only after the reset;
// any other is taken as the step gave it, then the statement is reset.
QSqlError SqliteRowReader::fetchError(int result) {
    const bool knownAfterReset = result == SQLITE_ERROR || result == SQLITE_CONSTRAINT;
    if (knownAfterReset) result = sqlite3_reset(statement_);
    QSqlError error(
        QCoreApplication::translate("QSQLiteResult", "Unable to fetch row"),
        QString(reinterpret_cast<const QChar*>(sqlite3_errmsg16(sqlite3_db_handle(statement_)))),
        QSqlError::ConnectionError, QString::number(result));
    if (!knownAfterReset) sqlite3_reset(statement_);
    return error;
}

bool SqliteRowReader::statementAlive() const {
    return driver_ && driver_->isOpen();
}

QVariant SqliteRowReader::value(int index) const {
    if (!statementAlive())
        raiseObjectClosed(QStringLiteral("result set: read a value, its connection closed"));
    switch (sqlite3_column_type(statement_, index)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(statement_, index));
        case SQLITE_FLOAT:
            return floatingPoint(index);
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement_, index)),
                              sqlite3_column_bytes(statement_, index));
        default:
            return text(index);
    }
}

// A floating-point value under the query's precision policy, as the driver reads it.
QVariant SqliteRowReader::floatingPoint(int index) const {
    switch (precision_) {
        case QSql::LowPrecisionInt32:
            return sqlite3_column_int(statement_, index);
        case QSql::LowPrecisionInt64:
            return qlonglong(sqlite3_column_int64(statement_, index));
        default:
            return sqlite3_column_double(statement_, index);
    }
}

// The text as UTF-8 where it is kept so and decodes alike, which spares SQLite its translation
// (and an allocation); else the driver's own reading, UTF-16.
QString SqliteRowReader::text(int index) const {
    if (utf8Database_) {
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
        const QByteArrayView bytes(utf8, sqlite3_column_bytes(statement_, index));
        if (utf8 && decodesAlike(bytes)) return QString::fromUtf8(bytes);
    }
    return QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(statement_, index)),
                   sqlite3_column_bytes16(statement_, index) / qsizetype(sizeof(QChar)));
}

}  // namespace xhook::data
