#pragma once

#include <QStringView>
#include <optional>

#include "window/FormatCode.h"

namespace xhook {

// Reads a display format text, written in the classic format language, into its internal form:
//
// - Named formats, in any case: General Number, Currency, Fixed, Standard, Percent, Scientific,
//   Yes/No, True/False, On/Off, General Date, Long Date, Medium Date, Short Date, Long Time,
//   Medium Time, Short Time.
// - Up to four sections separated by `;`: for numbers positive; negative; zero; null, for texts
//   texts; empty texts. A section left empty is served by the first.
// - In every section: literal text in double quotes and after `\`; `$ - + ( )`, blanks, every
//   character beyond ASCII (such as ¥ and ￥) and every other character that is no ASCII letter
//   as themselves; `/` and `:` as the locale's date and time separators. The fourth section of a
//   number format (the text for a null value) is text throughout.
// - Numbers: `0` and `#` digit placeholders, `.` decimal point, `,` between integer placeholders
//   for grouping and at the end of the integer part for scaling by 1000, `%`, and `E+ E- e+ e-`
//   followed by the exponent's placeholders.
// - Dates and times: y yy yyyy, m mm mmm mmmm, oooo, d dd ddd dddd ddddd dddddd, aaaa, w ww, q,
//   h hh, n nn, s ss, ttttt, c, and AM/PM am/pm A/P a/p AMPM, in any case; `m` next to an hour or
//   a second is the minute; `.`, `,` and `%` stand for themselves.
// - Texts: `@` and `&` placeholders, `<` and `>` for lower and upper case, `!` to fill from the
//   left.
//
// None for an empty text and for a text outside the language (an unknown letter, an unclosed
// quote, a second decimal point, number, date and text elements in one format, more than four
// sections).
std::optional<FormatCode> parseFormat(QStringView text);

}  // namespace xhook
