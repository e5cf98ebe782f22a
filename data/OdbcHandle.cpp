#include "data/OdbcHandle.h"

#include <sql.h>
#include <sqlext.h>

#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

namespace xhook::data {

namespace {

QString fromWide(const SQLWCHAR* text, qsizetype units) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), units);
}

}  // namespace

// Qt's ODBC driver hands out its SQLHDBC as a QVariant of type void*.
OdbcHandle odbcConnectionOf(const QSqlDatabase& db) {
    const QVariant handle = db.isOpen() && db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "void*") != 0 ||
        !*static_cast<void* const*>(handle.constData()))
        throw DbError(DbErrorNumber::ObjectClosed,
                      QStringLiteral("the ODBC connection has no handle (it is not open)"));
    return *static_cast<void* const*>(handle.constData());
}

QString odbcInfoText(OdbcHandle connection, unsigned short infoType) {
    SQLWCHAR text[256];
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, infoType, text, sizeof text, &bytes)))
        return QString();
    return fromWide(
        text, qMin<qsizetype>(bytes, sizeof text - sizeof(SQLWCHAR)) / qsizetype(sizeof(SQLWCHAR)));
}

DbError odbcError(short handleType, OdbcHandle handle, const QString& context) {
    QStringList texts;
    QString firstState;
    long number = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLWCHAR message[SQL_MAX_MESSAGE_LENGTH];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, state, &native, message,
                                          SQL_MAX_MESSAGE_LENGTH, &length)))
            break;
        texts << fromWide(message, qMin<qsizetype>(length, SQL_MAX_MESSAGE_LENGTH - 1)).trimmed();
        if (record == 1) {
            firstState = fromWide(state, SQL_SQLSTATE_SIZE);
            number = native;
        }
    }
    QString description = texts.isEmpty() ? QStringLiteral("unknown ODBC error") : texts.join(' ');
    if (!context.isEmpty()) description += " — " + context;
    return DbError(number != 0 ? number : DbErrorNumber::Generic, description, firstState);
}

OdbcStatement::OdbcStatement(OdbcHandle connection) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
        handle_ = nullptr;
        throw odbcError(SQL_HANDLE_DBC, connection, QStringLiteral("allocating a statement"));
    }
}

OdbcStatement::~OdbcStatement() {
    if (handle_) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
}

void OdbcStatement::check(short result, const QString& context) const {
    if (SQL_SUCCEEDED(result) || result == SQL_NO_DATA) return;
    throw odbcError(SQL_HANDLE_STMT, handle_, context);
}

}  // namespace xhook::data
