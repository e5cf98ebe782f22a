#include "data/PostgresSession.h"

#include <libpq-fe.h>
#include <poll.h>

#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

#include "data/DbError.h"

namespace xhook::data {

namespace {

// Qt's PostgreSQL driver hands out its connection handle as a PGconn*, named by the struct
// behind that type.
PGconn* handleOf(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver()) return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

// The value of one option of the connection as the client library has it in effect.
QString optionInEffect(PGconn* connection, const char* keyword) {
    PQconninfoOption* options = PQconninfo(connection);
    QString value;
    for (PQconninfoOption* option = options; option && option->keyword; ++option)
        if (qstrcmp(option->keyword, keyword) == 0 && option->val)
            value = QString::fromUtf8(option->val);
    PQconninfoFree(options);
    return value;
}

// The variables that the client library reads for its options' defaults, and the two that name
// where its service file is.
QStringList clientEnvironmentNames() {
    QStringList names{QStringLiteral("PGSERVICEFILE"), QStringLiteral("PGSYSCONFDIR")};
    PQconninfoOption* defaults = PQconndefaults();
    for (PQconninfoOption* option = defaults; option && option->keyword; ++option)
        if (option->envvar) names << QString::fromLatin1(option->envvar);
    PQconninfoFree(defaults);
    names.removeDuplicates();
    return names;
}

bool somethingArrived(int socket) {
    pollfd waiting{socket, POLLIN, 0};
    return ::poll(&waiting, 1, 0) != 0;
}

}  // namespace

bool postgresSessionAlive(const QSqlDatabase& db) {
    PGconn* connection = handleOf(db);
    if (!connection || PQstatus(connection) != CONNECTION_OK) return false;
    const int socket = PQsocket(connection);
    if (socket < 0) return false;
    if (!somethingArrived(socket)) return true;
    // An idle session is sent nothing that the component asked for: whatever came is the end.
    PQconsumeInput(connection);
    return false;
}

PostgresTransaction postgresTransactionState(const QSqlDatabase& db) {
    PGconn* connection = handleOf(db);
    if (!connection || PQstatus(connection) != CONNECTION_OK) return PostgresTransaction::Unknown;
    switch (PQtransactionStatus(connection)) {
        case PQTRANS_IDLE:
            return PostgresTransaction::None;
        case PQTRANS_INTRANS:
        case PQTRANS_INERROR:
            return PostgresTransaction::Open;
        default:
            return PostgresTransaction::Unknown;
    }
}

QString postgresTextLiteral(const QSqlDatabase& db, const QString& text) {
    PGconn* connection = handleOf(db);
    if (!connection)
        throw DbError(DbErrorNumber::ObjectClosed,
                      QStringLiteral("operation is not allowed when the object is closed "
                                     "(a literal for a database that is not open)"));
    const QByteArray utf8 = text.toUtf8();
    char* literal = PQescapeLiteral(connection, utf8.constData(), size_t(utf8.size()));
    if (!literal)
        throw DbError(DbErrorNumber::WrongType,
                      QStringLiteral("the text cannot be written as a "
                                     "literal of the session: %1")
                          .arg(QString::fromUtf8(PQerrorMessage(connection)).trimmed()));
    const QString result = QString::fromUtf8(literal);
    PQfreemem(literal);
    return result;
}

PostgresSessionSecurity postgresSessionSecurity(const QSqlDatabase& db) {
    PostgresSessionSecurity security;
    PGconn* connection = handleOf(db);
    if (!connection) return security;
    security.tls = PQsslInUse(connection) == 1;
    security.gssEncrypted = PQgssEncInUse(connection) == 1;
    security.sslMode = optionInEffect(connection, "sslmode");
    security.host = QString::fromUtf8(PQhost(connection));
    return security;
}

QString postgresClientEnvironment() {
    static const QStringList names = clientEnvironmentNames();
    QString environment;
    for (const QString& name : names) {
        const QByteArray variable = name.toLatin1();
        if (qEnvironmentVariableIsSet(variable.constData()))
            environment += name + '=' + qEnvironmentVariable(variable.constData()) + '\n';
    }
    return environment;
}

}  // namespace xhook::data
