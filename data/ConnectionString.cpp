#include "data/ConnectionString.h"

#include <QList>

#include "data/DbError.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

// ADO keys that a host's connection string may carry and that change nothing here, whatever
// the provider. Keys that would change something (a timeout, integrated security) stay out, so
// that they are refused instead of ignored.
const QStringList kInertAdoKeys = {QStringLiteral("Persist Security Info")};

// Keys whose values are secrets: never shown. Pwd is no key of any provider, but a user may
// write it for Password, and it is then refused, never shown.
const QStringList kSecretKeys = {QStringLiteral("Password"), QStringLiteral("Pwd")};

// The problem only, never the text: any part of it may be a password.
[[noreturn]] void raiseMalformed(const QString& problem) {
    throw DbError(DbErrorNumber::InvalidConnectionString,
                  QStringLiteral("invalid connection string: %1").arg(problem));
}

struct Item {
    QString key;         // as written, trimmed
    QString value;       // unquoted and trimmed
    qsizetype valueAt;   // the value's text in the connection string: from after the '='
    qsizetype valueEnd;  // to the item's end
};

// Reads the "key=value" items one after the other.
class ItemReader {
  public:
    explicit ItemReader(const QString& text) : text_(text) {}

    bool atEnd() {
        while (pos_ < text_.size() && (text_[pos_].isSpace() || text_[pos_] == ';')) ++pos_;
        return pos_ >= text_.size();
    }

    Item next() {
        const qsizetype equals = text_.indexOf('=', pos_);
        const qsizetype semicolon = text_.indexOf(';', pos_);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals))
            raiseMalformed(QStringLiteral("an item without '=' at character %1").arg(pos_ + 1));
        Item item;
        item.key = text_.mid(pos_, equals - pos_).trimmed();
        if (item.key.isEmpty())
            raiseMalformed(QStringLiteral("an item without a key at character %1").arg(pos_ + 1));
        pos_ = equals + 1;
        item.valueAt = pos_;
        item.value = readValue(item.key);
        item.valueEnd = pos_;
        return item;
    }

  private:
    QString readValue(const QString& key) {
        skipBlanks();
        if (pos_ < text_.size() && (text_[pos_] == '"' || text_[pos_] == '\'')) return quoted(key);
        const qsizetype end = endOfItem();
        const QString value = text_.mid(pos_, end - pos_).trimmed();
        pos_ = end;
        return value;
    }

    // A quoted value; the quote doubled stands for itself.
    QString quoted(const QString& key) {
        const QChar quote = text_[pos_++];
        QString value;
        for (;; ++pos_) {
            if (pos_ >= text_.size())
                raiseMalformed(QStringLiteral("an unclosed quote in the value of \"%1\"")
                                   .arg(visibleText(key)));
            if (text_[pos_] != quote) {
                value += text_[pos_];
            } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == quote) {
                value += quote;
                ++pos_;
            } else {
                break;
            }
        }
        ++pos_;
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] != ';')
            raiseMalformed(QStringLiteral("text after a quoted value, in the value of \"%1\"")
                               .arg(visibleText(key)));
        return value;
    }

    qsizetype endOfItem() const {
        const qsizetype semicolon = text_.indexOf(';', pos_);
        return semicolon < 0 ? text_.size() : semicolon;
    }

    void skipBlanks() {
        while (pos_ < text_.size() && text_[pos_].isSpace()) ++pos_;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

QList<Item> itemsOf(const QString& text) {
    QList<Item> items;
    ItemReader reader(text);
    while (!reader.atEnd()) items.append(reader.next());
    return items;
}

bool listed(const QStringList& keys, const QString& key) {
    return keys.contains(key, Qt::CaseInsensitive);
}

}  // namespace

bool isOneOf(const QString& text, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    return false;
}

ConnectionString ConnectionString::parse(const QString& text) {
    ConnectionString result;
    for (const Item& item : itemsOf(text)) {
        const QString key = item.key.toLower();
        if (result.values_.contains(key))
            raiseMalformed(
                QStringLiteral("the key \"%1\" is given twice").arg(visibleText(item.key)));
        result.values_.insert(key, item.value);
        result.keys_.append(item.key);
    }
    return result;
}

// The items' values are replaced from the last to the first, so that the positions of the
// earlier ones still hold.
QString ConnectionString::forDisplay(const QString& text) {
    QList<Item> items;
    try {
        items = itemsOf(text);
    } catch (const DbError& error) {
        return QStringLiteral("(not shown: %1)").arg(error.description());
    }
    QString shown = text;
    for (auto item = items.crbegin(); item != items.crend(); ++item)
        if (listed(kSecretKeys, item->key))
            shown.replace(item->valueAt, item->valueEnd - item->valueAt, QStringLiteral("***"));
    return shown;
}

bool ConnectionString::contains(const QString& key) const {
    return values_.contains(key.toLower());
}

QString ConnectionString::value(const QString& key, const QString& fallback) const {
    return values_.value(key.toLower(), fallback);
}

QString ConnectionString::required(const QString& key) const {
    const QString found = value(key);
    if (found.isEmpty())
        throw DbError(
            DbErrorNumber::InvalidConnectionString,
            QStringLiteral("the connection string lacks the key \"%1\"").arg(visibleText(key)));
    return found;
}

void ConnectionString::refuseUnknownKeys(const QStringList& known,
                                         const QString& providerName) const {
    for (const QString& key : keys_) {
        if (key.compare(u"Provider", Qt::CaseInsensitive) == 0 || listed(known, key) ||
            listed(kInertAdoKeys, key))
            continue;
        throw DbError(DbErrorNumber::InvalidConnectionString,
                      QStringLiteral("the connection string's key \"%1\" is not one that the %2 "
                                     "provider knows (it knows %3)")
                          .arg(visibleText(key), providerName, known.join(QStringLiteral(", "))));
    }
}

}  // namespace xhook::data
