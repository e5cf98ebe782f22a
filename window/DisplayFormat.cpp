#include "window/DisplayFormat.h"

#include <QLocale>
#include <cmath>
#include <optional>

#include "foundation/Conversions.h"

namespace xhook {

namespace {

std::optional<double> readNumber(const QString& text) {
    const std::optional<double> value = readLocaleNumber(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

// yyyy-MM-dd, or yyyy-MM-dd hh:mm:ss with a blank or a T between date and time. Read as a
// clock time with no time zone, so that no daylight-saving gap can shift it.
std::optional<QDateTime> readDate(const QString& text) {
    const QString trimmed = text.trimmed();
    const QDate date = QDate::fromString(trimmed.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) return std::nullopt;
    if (trimmed.size() == 10) return QDateTime(date, QTime(0, 0), Qt::UTC);
    if (trimmed.size() != 19 || (trimmed[10] != u' ' && trimmed[10] != u'T')) return std::nullopt;
    const QTime time = QTime::fromString(trimmed.mid(11), QStringLiteral("hh:mm:ss"));
    if (!time.isValid()) return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

QString timeOfDay(const QDateTime& value) {
    return value.time().toString(QStringLiteral("hh:mm:ss"));
}

}  // namespace

DisplayFormat::DisplayFormat(const QString& formatText) : rule_(parse(formatText)) {}

DisplayFormat::Rule DisplayFormat::parseNamed(const QString& formatText) {
    const QString name = formatText.trimmed().toLower();
    if (name == u"general number") return NamedNumber::GeneralNumber;
    if (name == u"currency") return NamedNumber::Currency;
    if (name == u"fixed") return *NumberPattern::parse(u"0.00");
    if (name == u"standard") return *NumberPattern::parse(u"#,##0.00");
    if (name == u"percent") return *NumberPattern::parse(u"0.00%");
    if (name == u"general date") return NamedDate::GeneralDate;
    if (name == u"long date") return NamedDate::LongDate;
    if (name == u"short date") return NamedDate::ShortDate;
    if (name == u"long time") return *DatePattern::parse(u"hh:nn:ss");
    if (name == u"short time") return *DatePattern::parse(u"hh:nn");
    return std::monostate();
}

DisplayFormat::Rule DisplayFormat::parse(const QString& formatText) {
    if (formatText.isEmpty()) return std::monostate();
    Rule named = parseNamed(formatText);
    if (!std::holds_alternative<std::monostate>(named)) return named;
    if (std::optional<NumberPattern> number = NumberPattern::parse(formatText)) return *number;
    if (std::optional<DatePattern> date = DatePattern::parse(formatText)) return *date;
    return std::monostate();
}

bool DisplayFormat::takesNumbers() const {
    return std::holds_alternative<NumberPattern>(rule_) ||
           std::holds_alternative<NamedNumber>(rule_);
}

QString DisplayFormat::applyToNumber(double value) const {
    const QLocale locale;
    if (const auto* pattern = std::get_if<NumberPattern>(&rule_))
        return pattern->format(value, locale);
    if (std::get<NamedNumber>(rule_) == NamedNumber::Currency)
        return locale.toCurrencyString(value);
    return valueText(value);
}

QString DisplayFormat::applyToDate(const QDateTime& value) const {
    const QLocale locale;
    if (const auto* pattern = std::get_if<DatePattern>(&rule_))
        return pattern->format(value, locale);
    switch (std::get<NamedDate>(rule_)) {
        case NamedDate::LongDate:
            return locale.toString(value.date(), QLocale::LongFormat);
        case NamedDate::ShortDate:
            return locale.toString(value.date(), QLocale::ShortFormat);
        case NamedDate::GeneralDate:
            break;
    }
    const QString date = locale.toString(value.date(), QLocale::ShortFormat);
    return value.time() == QTime(0, 0) ? date : date + u' ' + timeOfDay(value);
}

QString DisplayFormat::apply(const QString& cellText) const {
    if (cellText.isEmpty() || !isActive()) return cellText;
    if (takesNumbers()) {
        const std::optional<double> number = readNumber(cellText);
        return number ? applyToNumber(*number) : cellText;
    }
    const std::optional<QDateTime> date = readDate(cellText);
    return date ? applyToDate(*date) : cellText;
}

}  // namespace xhook
