#include "data/ConnectionString.h"

#include "data/DbError.h"

namespace xhook::data {

namespace {

[[noreturn]] void raiseMalformed(const QString& text, const QString& problem) {
    throw DbError(DbErrorNumber::InvalidConnectionString,
                  QStringLiteral("invalid connection string (%1): \"%2\"").arg(problem, text));
}

// Reads one "key=value" item from `pos`, leaving `pos` after its ';' (or at the end).
class ItemReader {
public:
    explicit ItemReader(const QString& text) : text_(text) {}

    bool atEnd() {
        while (pos_ < text_.size() && (text_[pos_].isSpace() || text_[pos_] == ';')) ++pos_;
        return pos_ >= text_.size();
    }

    std::pair<QString, QString> next() {
        const qsizetype equals = text_.indexOf('=', pos_);
        const qsizetype semicolon = text_.indexOf(';', pos_);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals))
            raiseMalformed(text_, QStringLiteral("an item without '='"));
        const QString key = text_.mid(pos_, equals - pos_).trimmed();
        if (key.isEmpty()) raiseMalformed(text_, QStringLiteral("an item without a key"));
        pos_ = equals + 1;
        return {key.toLower(), readValue()};
    }

private:
    QString readValue() {
        skipBlanks();
        if (pos_ < text_.size() && (text_[pos_] == '"' || text_[pos_] == '\'')) return quoted();
        const qsizetype end = endOfItem();
        const QString value = text_.mid(pos_, end - pos_).trimmed();
        pos_ = end;
        return value;
    }

    // A quoted value; the quote doubled stands for itself.
    QString quoted() {
        const QChar quote = text_[pos_++];
        QString value;
        for (;; ++pos_) {
            if (pos_ >= text_.size()) raiseMalformed(text_, QStringLiteral("an unclosed quote"));
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
            raiseMalformed(text_, QStringLiteral("text after a quoted value"));
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

}  // namespace

ConnectionString ConnectionString::parse(const QString& text) {
    ConnectionString result;
    ItemReader reader(text);
    while (!reader.atEnd()) {
        auto [key, value] = reader.next();
        result.values_.insert(key, value);
    }
    return result;
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
        throw DbError(DbErrorNumber::InvalidConnectionString,
                      QStringLiteral("the connection string lacks the key \"%1\"").arg(key));
    return found;
}

}  // namespace xhook::data
