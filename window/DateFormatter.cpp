#include "window/DateFormatter.h"

#include <cmath>

namespace xhook {

namespace {

QString padded(int number, int width) {
    return QStringLiteral("%1").arg(number, width, 10, QChar(u'0'));
}

// The first character of a locale's form that is no field letter, quote or blank.
QString separatorIn(const QString& form, const QString& fallback) {
    for (const QChar c : form)
        if (!c.isLetter() && c != u'\'' && !c.isSpace()) return QString(c);
    return fallback;
}

QLocale::FormatType nameForm(int width) {
    return width == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
}

int weekOfYear(const QDate& date) {
    const int firstWeekday = QDate(date.year(), 1, 1).dayOfWeek() % 7;  // Sunday 0
    return (date.dayOfYear() - 1 + firstWeekday) / 7 + 1;
}

// The locale's long time form without its time zone, which a clock time of a cell has none of:
// h:mm:ss AP in US English, HH:mm:ss in German and Chinese.
QString longTimeForm(const QLocale& locale) {
    const QString form = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (const QChar c : form) {
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != u't') withoutZone += c;
    }
    return withoutZone.simplified();
}

QString longTime(const QTime& time, const QLocale& locale) {
    return locale.toString(time, longTimeForm(locale));
}

int clockHour(int hour, bool twelveHours) {
    if (!twelveHours) return hour;
    return hour % 12 == 0 ? 12 : hour % 12;
}

QString amPm(const FormatElement& element, const QTime& time, const QLocale& locale) {
    const bool morning = time.hour() < 12;
    if (element.text.isEmpty()) return morning ? locale.amText() : locale.pmText();
    return morning ? element.text : element.text2;
}

QString generalDate(const QDateTime& value, const QLocale& locale) {
    if (value.date() == timeOnlyDate()) return longTime(value.time(), locale);
    const QString date = locale.toString(value.date(), QLocale::ShortFormat);
    return value.time() == QTime(0, 0) ? date : date + u' ' + longTime(value.time(), locale);
}

QString dateField(const FormatElement& element, const QDate& date, const QLocale& locale) {
    switch (element.token) {
        case FormatToken::Year:
            return element.width == 2 ? padded(date.year() % 100, 2) : padded(date.year(), 4);
        case FormatToken::DayOfYear:
            return QString::number(date.dayOfYear());
        case FormatToken::Month:
            return padded(date.month(), element.width);
        case FormatToken::MonthName:
            return locale.monthName(date.month(), nameForm(element.width));
        case FormatToken::Day:
            return padded(date.day(), element.width);
        case FormatToken::DayName:
            return locale.dayName(date.dayOfWeek(), nameForm(element.width));
        case FormatToken::ShortDate:
            return locale.toString(date, QLocale::ShortFormat);
        case FormatToken::LongDate:
            return locale.toString(date, QLocale::LongFormat);
        case FormatToken::Weekday:
            return QString::number(date.dayOfWeek() % 7 + 1);
        case FormatToken::WeekOfYear:
            return QString::number(weekOfYear(date));
        case FormatToken::Quarter:
            return QString::number((date.month() - 1) / 3 + 1);
        default:
            return {};
    }
}

QString element(const FormatElement& element, const QDateTime& value, bool twelveHours,
                const QLocale& locale) {
    const QTime time = value.time();
    switch (element.token) {
        case FormatToken::Hour:
            return padded(clockHour(time.hour(), twelveHours), element.width);
        case FormatToken::Minute:
            return padded(time.minute(), element.width);
        case FormatToken::Second:
            return padded(time.second(), element.width);
        case FormatToken::LongTime:
            return longTime(time, locale);
        case FormatToken::GeneralDate:
            return generalDate(value, locale);
        case FormatToken::AmPm:
            return amPm(element, time, locale);
        case FormatToken::DateSeparator:
            return dateSeparator(locale);
        case FormatToken::TimeSeparator:
            return timeSeparator(locale);
        case FormatToken::Literal:
            return element.text;
        default:
            return dateField(element, value.date(), locale);
    }
}

}  // namespace

QDate timeOnlyDate() {
    return QDate(1899, 12, 30);
}

std::optional<QDateTime> dateOfSerial(double serial) {
    constexpr double kFirstDay = -657434;  // 1 January 100
    constexpr double kLastDay = 2958465;   // 31 December 9999
    constexpr qint64 kSecondsPerDay = 24 * 60 * 60;
    if (!std::isfinite(serial)) return std::nullopt;
    double days = std::trunc(serial);
    qint64 seconds = std::llround(std::fabs(serial - days) * double(kSecondsPerDay));
    if (seconds == kSecondsPerDay) {  // rounded up to the next midnight, away from day 0
        days += serial < 0 ? -1 : 1;
        seconds = 0;
    }
    if (days < kFirstDay || days > kLastDay) return std::nullopt;
    const QTime time = QTime(0, 0).addSecs(int(seconds));
    return QDateTime(timeOnlyDate().addDays(qint64(days)), time, Qt::UTC);
}

QString dateSeparator(const QLocale& locale) {
    return separatorIn(locale.dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString timeSeparator(const QLocale& locale) {
    return separatorIn(locale.timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

QString formatDate(const FormatSection& section, const QDateTime& value, const QLocale& locale) {
    QString text;
    for (const FormatElement& e : section.elements)
        text += element(e, value, section.twelveHours, locale);
    return text;
}

QString formatNamedDate(NamedFormat named, const QDateTime& value, const QLocale& locale) {
    switch (named) {
        case NamedFormat::LongDate:
            return locale.toString(value.date(), QLocale::LongFormat);
        case NamedFormat::ShortDate:
            return locale.toString(value.date(), QLocale::ShortFormat);
        default:
            return generalDate(value, locale);
    }
}

}  // namespace xhook
