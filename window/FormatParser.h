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
// - A section's kind: text where it has `@`, `&`, `<`, `>` or `!`, else that of its first digit
//   placeholder (a number) or date field (a date and time); a section of neither takes the kind
//   of the others. What means nothing in a section's kind stands for itself: the letters of a
//   number section (`0 kg`, `0.00 h`), the digit placeholders of a date section.
// - In every section: literal text in double quotes and after `\`; `$ - + ( )`, blanks, the
//   digits 1 to 9, every character beyond ASCII (such as ¥ and ￥), every letter that spells
//   nothing in its section and every other character that is no ASCII letter as themselves; `/`
//   and `:` as the locale's date and time separators. The fourth section of a number format (the
//   text for a null value) is text throughout.
// - Numbers: `0` and `#` digit placeholders, `.` decimal point, `,` between integer placeholders
//   for grouping and at the end of the integer part for scaling by 1000, `%`, and `E+ E- e+ e-`
//   followed by the exponent's placeholders (without any, the exponent's own digits).
// - Dates and times: y yy yyyy, m mm mmm mmmm, oooo, d dd ddd dddd ddddd dddddd, aaaa, w ww, q,
//   h hh, n nn, s ss, ttttt, c, and AM/PM am/pm A/P a/p AMPM, in any case. A run of one letter is
//   read as the longest of these that it begins with, and its rest after it (`yyy`: `yy` and
//   `y`). `m` and `mm` right after an hour (`h`, `hh`; literals and separators between) are the
//   minute, elsewhere the month, also before a second. `.`, `,` and `%` stand for themselves.
// - Texts: `@` and `&` placeholders, `<` and `>` for lower and upper case, `!` to fill from the
//   left.
//
// None for an empty text and for a text outside the language (an unclosed quote, a `\` at the
// end, a second decimal point, sections of different kinds, more than four sections).
std::optional<FormatCode> parseFormat(QStringView text);

}  // namespace xhook
