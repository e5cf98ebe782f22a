#include "data/OdbcTextLiteral.h"

#include <algorithm>

#include "data/DbError.h"

namespace xhook::data {

namespace {

QString doubled(QString text, QChar c) {
    return text.replace(c, QString(2, c));
}

bool beyondAscii(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0x7f; });
}

}  // namespace

QString odbcTextLiteral(OdbcServer server, const QString& text) {
    if (text.contains(QChar(0)))
        throw DbError(DbErrorNumber::WrongType,
                      QStringLiteral("a text with a NUL character cannot be written as an SQL "
                                     "literal"));
    const QString quoted = '\'' + doubled(text, '\'') + '\'';
    switch (server) {
        case OdbcServer::TransactSql:
            return beyondAscii(text) ? 'N' + quoted : quoted;
        case OdbcServer::PostgreSql:
            return QStringLiteral("E'") + doubled(doubled(text, '\\'), '\'') + '\'';
        case OdbcServer::Sqlite:
        case OdbcServer::Other:
            break;
    }
    return quoted;
}

}  // namespace xhook::data
