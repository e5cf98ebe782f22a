#pragma once

#include <QMap>
#include <QString>

namespace xhook::data {

// A connection string in the ADO form "key=value;key=value": keys compared without regard to
// case, values trimmed, a value may be quoted with " or ' to hold ';'.
//   Provider=SQLite;Data Source=/path/file.db[;Mode=ReadWrite|Read|ReadWriteCreate]
//   Provider=PostgreSQL;Server=host-or-socket-dir;Port=5432;Database=db;User ID=u;Password=p
// A SQLite database file must exist: opening a missing one is an error, never a new empty
// database. Only Mode=ReadWriteCreate, meant for the tools that build a database, creates it;
// Mode=Read opens it read-only; Mode=ReadWrite is the default.
class ConnectionString {
public:
    // Raises DbError for a text that does not parse (an item without '=', an unclosed quote).
    static ConnectionString parse(const QString& text);

    bool contains(const QString& key) const;
    QString value(const QString& key, const QString& fallback = {}) const;
    // Raises DbError naming the key when it is absent or empty.
    QString required(const QString& key) const;
    QString provider() const { return value(QStringLiteral("Provider")); }

private:
    QMap<QString, QString> values_;  // lower-case key -> value
};

}  // namespace xhook::data
