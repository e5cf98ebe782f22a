#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

#include "window/FormatCode.h"

namespace xhook {

// Writes a date and time through a date section of a format, with the locale's month and day
// names, AM/PM texts, separators and its short date, long date and long time forms (ttttt is
// 5:04:23 PM in US English, 17:04:23 in German).
QString formatDate(const FormatSection& section, const QDateTime& value, const QLocale& locale);

// General Date (the short date, and the long time where it is not midnight; the time alone for a
// time of day), Long Date and Short Date (the locale's forms).
QString formatNamedDate(NamedFormat named, const QDateTime& value, const QLocale& locale);

// The date of a time of day without a date: such a value shows its time only. It is day 0 of the
// date serials.
QDate timeOnlyDate();

// The date and time of a date serial: the whole days since 30 December 1899 (before it where
// negative) and the fraction, without its sign, as the time of day, to the nearest second
// (-1.25 is 29 December 1899 06:00). None outside the years 100 to 9999.
std::optional<QDateTime> dateOfSerial(double serial);

// The separators that `/` and `:` stand for: those of the locale's short date and time forms.
QString dateSeparator(const QLocale& locale);
QString timeSeparator(const QLocale& locale);

}  // namespace xhook
