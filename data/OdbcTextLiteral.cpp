#include "data/OdbcTextLiteral.h"

#include <QStringList>
#include <algorithm>

#include "data/DbError.h"

namespace xhook::data {

namespace {

QString doubled(QString text, QChar c) {
    return text.replace(c, QString(2, c));
}

// sqliteodbc takes no character beyond the Basic Multilingual Plane in an SQL text (it misreads
// the surrogate pair): such characters are written as SQLite's char() of their code point,
// joined to the quoted runs between them.
QString sqliteLiteral(const QString& text) {
    QStringList parts;
    QString run;
    for (const char32_t c : text.toUcs4()) {
        if (c <= 0xffff) {
            run += QString::fromUcs4(&c, 1);
            continue;
        }
        if (!run.isEmpty()) parts << '\'' + doubled(run, '\'') + '\'';
        run.clear();
        parts << QStringLiteral("char(%1)").arg(quint32(c));
    }
    if (!run.isEmpty() || parts.isEmpty()) parts << '\'' + doubled(run, '\'') + '\'';
    return parts.size() == 1 ? parts.first() : '(' + parts.join(QStringLiteral("||")) + ')';
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
            if (!text.contains('\\')) return quoted;
            return QStringLiteral("E'") + doubled(doubled(text, '\\'), '\'') + '\'';
        case OdbcServer::Sqlite:
            return sqliteLiteral(text);
        case OdbcServer::Other:
            break;
    }
    return quoted;
}

}  // namespace xhook::data
