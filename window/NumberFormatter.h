#pragma once

#include <QLocale>
#include <QString>

#include "window/FormatCode.h"

namespace xhook {

// Writes a number through a number section of a format, in the locale's decimal point, group
// separator, minus sign and separators. Digits come from the number's decimal of 15 significant
// digits, rounded half away from zero (2.675 under `0.00` is 2.68). `withSign`: a negative number
// that does not round to zero is preceded by the minus sign; a section for negative numbers
// writes the magnitude only. A `#` with no digit to show shows nothing (`#` on 0 is empty) and the
// decimal point stays where no decimal follows it (`#.#` on 1 is "1."); the exponent shows as
// many digits as it has placeholders, or its own digits where it has none.
QString formatNumber(const FormatSection& section, double value, bool withSign,
                     const QLocale& locale);

// General Number, Currency, Yes/No, True/False and On/Off.
QString formatNamedNumber(NamedFormat named, double value, const QLocale& locale);

}  // namespace xhook
