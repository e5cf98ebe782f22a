#include "window/NumberPattern.h"

#include <cmath>

namespace xhook {

namespace {

bool isPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

// The integer part of a pattern: placeholders with single commas between them.
bool isIntegerPart(QStringView part) {
    for (qsizetype i = 0; i < part.size(); ++i) {
        if (isPlaceholder(part[i])) continue;
        if (part[i] != u',') return false;
        if (i == 0 || i + 1 == part.size() || !isPlaceholder(part[i - 1]) ||
            !isPlaceholder(part[i + 1]))
            return false;
    }
    return true;
}

bool isDecimalPart(QStringView part) {
    for (QChar c : part)
        if (!isPlaceholder(c)) return false;
    return true;
}

QString groupDigits(const QString& digits, const QString& separator) {
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

std::optional<NumberPattern> NumberPattern::parse(QStringView pattern) {
    NumberPattern result;
    if (pattern.endsWith(u'%')) {
        result.percent_ = true;
        pattern.chop(1);
    }
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView integerPart = point < 0 ? pattern : pattern.left(point);
    const QStringView decimalPart = point < 0 ? QStringView() : pattern.mid(point + 1);
    if (!isIntegerPart(integerPart) || !isDecimalPart(decimalPart)) return std::nullopt;
    if (integerPart.isEmpty() && decimalPart.isEmpty()) return std::nullopt;
    result.minIntegerDigits_ = int(integerPart.count(u'0'));
    result.grouping_ = integerPart.contains(u',');
    result.minDecimals_ = int(decimalPart.count(u'0'));
    result.maxDecimals_ = int(decimalPart.size());
    return result;
}

QString NumberPattern::format(double value, const QLocale& locale) const {
    const double scaled = percent_ ? value * 100.0 : value;
    const QString plain = QString::number(std::fabs(scaled), 'f', maxDecimals_);
    const qsizetype point = plain.indexOf(u'.');
    QString integerDigits = point < 0 ? plain : plain.left(point);
    QString decimals = point < 0 ? QString() : plain.mid(point + 1);
    while (decimals.size() > minDecimals_ && decimals.endsWith(u'0')) decimals.chop(1);
    const bool roundsToZero = integerDigits == u"0" && decimals.count(u'0') == decimals.size();

    if (integerDigits == u"0" && minIntegerDigits_ == 0) integerDigits.clear();
    if (integerDigits.size() < minIntegerDigits_)
        integerDigits.prepend(QString(minIntegerDigits_ - integerDigits.size(), u'0'));
    if (grouping_) integerDigits = groupDigits(integerDigits, locale.groupSeparator());

    QString text = scaled < 0 && !roundsToZero ? locale.negativeSign() : QString();
    text += integerDigits;
    if (!decimals.isEmpty()) text += locale.decimalPoint() + decimals;
    if (integerDigits.isEmpty() && decimals.isEmpty()) text += u'0';
    if (percent_) text += u'%';
    return text;
}

}  // namespace xhook
