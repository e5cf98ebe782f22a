#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <initializer_list>

namespace xhook::data {

// Whether `text` (a key, a provider's name, a setting's value) is one of `names`, compared
// without regard to case.
bool isOneOf(const QString& text, std::initializer_list<const char*> names);

// A connection string in the ADO form "key=value;key=value": keys compared without regard to
// case, values trimmed, a value may be quoted with " or ' to hold ';'. A key appears once.
//   Provider=SQLite;Data Source=/path/file.db[;Mode=ReadWrite|Read|ReadWriteCreate]
//   Provider=PostgreSQL;Server=host-or-socket-dir;Port=5432;Database=db;User ID=u;Password=p
// (the PostgreSQL provider knows more keys: see PostgresOptions.h). A SQLite database file must
// exist: opening a missing one is an error, never a new empty database. Only Mode=ReadWriteCreate,
// meant for the tools that build a database, creates it; Mode=Read opens it read-only;
// Mode=ReadWrite is the default.
//
// A connection string may hold a password, so no message of this class quotes its text; a key
// that a message names is shown with its control characters escaped (foundation/VisibleText.h).
class ConnectionString {
  public:
    // Raises DbError for a text that does not parse (an item without '=', an unclosed quote, a
    // key given twice).
    static ConnectionString parse(const QString& text);
    // The text as it may be shown: the value of every password key replaced by "***". A text
    // that does not parse is not shown at all, only why it does not parse.
    static QString forDisplay(const QString& text);

    bool contains(const QString& key) const;
    QString value(const QString& key, const QString& fallback = {}) const;
    // Raises DbError naming the key when it is absent or empty.
    QString required(const QString& key) const;
    QString provider() const { return value(QStringLiteral("Provider")); }
    // The keys as the text writes them, in its order.
    const QStringList& keys() const { return keys_; }

    // Raises DbError naming the first key that is neither in `known` nor one of the ADO keys
    // that change nothing for any provider: a key is never ignored in silence.
    void refuseUnknownKeys(const QStringList& known, const QString& providerName) const;

  private:
    QMap<QString, QString> values_;  // lower-case key -> value
    QStringList keys_;               // as the text writes them, in its order
};

}  // namespace xhook::data
