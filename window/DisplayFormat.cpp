#include "window/DisplayFormat.h"

#include <QLocale>
#include <cmath>
#include <optional>

#include "foundation/Conversions.h"
#include "window/DateFormatter.h"
#include "window/FormatParser.h"
#include "window/NumberFormatter.h"

namespace xhook {

namespace {

std::optional<double> readNumber(const QString& text) {
    const std::optional<double> value = readLocaleNumber(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::optional<QTime> readTime(QStringView text) {
    const QString form = text.size() == 5 ? QStringLiteral("hh:mm") : QStringLiteral("hh:mm:ss");
    const QTime time = QTime::fromString(text.toString(), form);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

// yyyy-MM-dd, yyyy-MM-dd hh:mm:ss with a blank or a T between date and time, or a time of day
// alone. Read as a clock time with no time zone, so that no daylight-saving gap can shift it.
std::optional<QDateTime> readDate(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.size() == 5 || trimmed.size() == 8) {
        const std::optional<QTime> time = readTime(trimmed);
        if (time) return QDateTime(timeOnlyDate(), *time, Qt::UTC);
        return std::nullopt;
    }
    const QDate date = QDate::fromString(trimmed.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) return std::nullopt;
    if (trimmed.size() == 10) return QDateTime(date, QTime(0, 0), Qt::UTC);
    if (trimmed.size() != 19 || (trimmed[10] != u' ' && trimmed[10] != u'T')) return std::nullopt;
    const std::optional<QTime> time = readTime(QStringView(trimmed).mid(11));
    if (!time) return std::nullopt;
    return QDateTime(date, *time, Qt::UTC);
}

// A date as readDate reads it, or a number as a date serial.
std::optional<QDateTime> readDateOrSerial(const QString& text) {
    if (std::optional<QDateTime> date = readDate(text)) return date;
    const std::optional<double> serial = readNumber(text);
    return serial ? dateOfSerial(*serial) : std::nullopt;
}

// The section of a format for a number: the negative or the zero section where the format writes
// one, else the first. A negative section writes the magnitude; the first writes the sign.
struct ChosenSection {
    const FormatSection& section;
    bool withSign;
};

ChosenSection numberSection(const FormatCode& code, double value) {
    const auto written = [&](size_t index) {
        return code.sections.size() > index && !code.sections[index].empty;
    };
    if (value < 0 && written(1)) return {code.sections[1], false};
    if (value == 0 && written(2)) return {code.sections[2], false};
    return {code.sections.front(), true};
}

// The characters that fill the placeholders, right to left, or left to right after `!`. The
// placeholder at the open end takes the characters that no other one has room for; a `@` without
// a character shows a blank, a `&` nothing.
QString fillPlaceholders(const FormatSection& section, const QString& text) {
    int placeholders = 0;
    for (const FormatElement& e : section.elements)
        if (e.token == FormatToken::CharRequired || e.token == FormatToken::CharOptional)
            ++placeholders;
    if (placeholders == 0) {
        QString literals;
        for (const FormatElement& e : section.elements) literals += e.text;
        return literals + text;
    }
    const qsizetype surplus = std::max<qsizetype>(text.size() - placeholders, 0);
    const qsizetype missing = std::max<qsizetype>(placeholders - text.size(), 0);
    QString result;
    qsizetype next = 0;  // the next character of the text
    int index = 0;       // the placeholder's number, from the left
    for (const FormatElement& e : section.elements) {
        if (e.token != FormatToken::CharRequired && e.token != FormatToken::CharOptional) {
            result += e.text;
            continue;
        }
        const bool empty = section.fillFromLeft ? index >= placeholders - missing : index < missing;
        qsizetype take = empty ? 0 : 1;
        if (!section.fillFromLeft && index == 0) take += surplus;
        if (section.fillFromLeft && index == placeholders - 1) take += surplus;
        if (empty && e.token == FormatToken::CharRequired) result += u' ';
        result += QStringView(text).mid(next, take);
        next += take;
        ++index;
    }
    return result;
}

}  // namespace

DisplayFormat::DisplayFormat(const QString& formatText) {
    if (std::optional<FormatCode> code = parseFormat(formatText))
        code_ = std::make_shared<const FormatCode>(std::move(*code));
}

QString DisplayFormat::applyToNumber(double value) const {
    const QLocale locale;
    if (code_->named != NamedFormat::None) return formatNamedNumber(code_->named, value, locale);
    const ChosenSection chosen = numberSection(*code_, value);
    return formatNumber(chosen.section, value, chosen.withSign, locale);
}

QString DisplayFormat::applyToDate(const QDateTime& value) const {
    const QLocale locale;
    if (code_->named != NamedFormat::None) return formatNamedDate(code_->named, value, locale);
    return formatDate(code_->sections.front(), value, locale);
}

QString DisplayFormat::applyToText(const QString& text) const {
    const FormatSection& section = code_->sections.front();
    const QString cased = section.lowercase   ? text.toLower()
                          : section.uppercase ? text.toUpper()
                                              : text;
    return fillPlaceholders(section, cased);
}

QString DisplayFormat::apply(const QString& cellText) const {
    if (cellText.isEmpty() || !isActive()) return cellText;
    switch (code_->kind) {
        case SectionKind::Number: {
            const std::optional<double> number = readNumber(cellText);
            return number ? applyToNumber(*number) : cellText;
        }
        case SectionKind::DateTime: {
            const std::optional<QDateTime> date = readDateOrSerial(cellText);
            return date ? applyToDate(*date) : cellText;
        }
        case SectionKind::Text:
            return applyToText(cellText);
    }
    return cellText;
}

}  // namespace xhook
