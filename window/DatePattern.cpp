#include "window/DatePattern.h"

namespace xhook {

namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

qsizetype runLength(QStringView text, qsizetype from) {
    qsizetype end = from;
    while (end < text.size() && text[end].toLower() == text[from].toLower()) ++end;
    return end - from;
}

QString padded(int number, int width) {
    return QStringLiteral("%1").arg(number, width, 10, QChar(u'0'));
}

}  // namespace

std::optional<DatePattern::Token> DatePattern::fieldToken(QChar letter, int count) {
    switch (letter.toLower().unicode()) {
        case u'y':
            if (count == 2 || count == 4) return Token{Field::Year, count, {}};
            return std::nullopt;
        case u'm':
            if (count <= 2) return Token{Field::Month, count, {}};
            if (count <= 4) return Token{Field::MonthName, count, {}};
            return std::nullopt;
        case u'd':
            if (count <= 2) return Token{Field::Day, count, {}};
            if (count <= 4) return Token{Field::DayName, count, {}};
            return std::nullopt;
        case u'h':
            if (count <= 2) return Token{Field::Hour, count, {}};
            return std::nullopt;
        case u'n':
            if (count <= 2) return Token{Field::Minute, count, {}};
            return std::nullopt;
        case u's':
            if (count <= 2) return Token{Field::Second, count, {}};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<DatePattern> DatePattern::parse(QStringView pattern) {
    DatePattern result;
    bool hasField = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            if (close < 0) return std::nullopt;
            result.tokens_.push_back(
                {Field::Literal, 0, pattern.mid(i + 1, close - i - 1).toString()});
            i = close + 1;
        } else if (c == u'\\') {
            if (i + 1 == pattern.size()) return std::nullopt;
            result.tokens_.push_back({Field::Literal, 0, QString(pattern[i + 1])});
            i += 2;
        } else if (isAsciiLetter(c)) {
            const qsizetype count = runLength(pattern, i);
            const std::optional<Token> token = fieldToken(c, int(count));
            if (!token) return std::nullopt;
            result.tokens_.push_back(*token);
            hasField = true;
            i += count;
        } else {
            result.tokens_.push_back({Field::Literal, 0, QString(c)});
            ++i;
        }
    }
    if (!hasField) return std::nullopt;
    result.resolveMinutes();
    return result;
}

// A month token next to a time field means minutes: after an hour, or before a second.
void DatePattern::resolveMinutes() {
    Field previousField = Field::Literal;
    for (size_t i = 0; i < tokens_.size(); ++i) {
        Token& token = tokens_[i];
        if (token.field == Field::Literal) continue;
        if (token.field == Field::Month) {
            Field nextField = Field::Literal;
            for (size_t j = i + 1; j < tokens_.size() && nextField == Field::Literal; ++j)
                nextField = tokens_[j].field;
            if (previousField == Field::Hour || nextField == Field::Second)
                token.field = Field::Minute;
        }
        previousField = token.field;
    }
}

QString DatePattern::formatToken(const Token& token, const QDateTime& value,
                                 const QLocale& locale) {
    const QDate date = value.date();
    const QTime time = value.time();
    switch (token.field) {
        case Field::Literal:
            return token.literal;
        case Field::Year:
            return token.width == 2 ? padded(date.year() % 100, 2) : padded(date.year(), 4);
        case Field::Month:
            return padded(date.month(), token.width);
        case Field::MonthName:
            return locale.monthName(date.month(),
                                    token.width == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        case Field::Day:
            return padded(date.day(), token.width);
        case Field::DayName:
            return locale.dayName(date.dayOfWeek(),
                                  token.width == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        case Field::Hour:
            return padded(time.hour(), token.width);
        case Field::Minute:
            return padded(time.minute(), token.width);
        case Field::Second:
            return padded(time.second(), token.width);
    }
    return {};
}

QString DatePattern::format(const QDateTime& value, const QLocale& locale) const {
    QString text;
    for (const Token& token : tokens_) text += formatToken(token, value, locale);
    return text;
}

}  // namespace xhook
