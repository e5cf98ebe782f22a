#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "window/FormatCode.h"

namespace xhook {

// Writes a date and time through a date section of a format, with the locale's month and day
// names, AM/PM texts and separators.
QString formatDate(const FormatSection& section, const QDateTime& value, const QLocale& locale);

// General Date (the short date, and the time where it is not midnight; the time alone for a time
// of day), Long Date and Short Date (the locale's forms).
QString formatNamedDate(NamedFormat named, const QDateTime& value, const QLocale& locale);

// The date of a time of day without a date: such a value shows its time only.
QDate timeOnlyDate();

// The separators that `/` and `:` stand for: those of the locale's short date and time forms.
QString dateSeparator(const QLocale& locale);
QString timeSeparator(const QLocale& locale);

}  // namespace xhook
