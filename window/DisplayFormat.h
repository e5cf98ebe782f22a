#pragma once

#include <QString>
#include <variant>

#include "window/DatePattern.h"
#include "window/NumberPattern.h"

namespace xhook {

// The display format of a grid column, as a host's column configuration writes it, applied to the
// text of a cell. The language understood:
//
// - Numeric patterns (NumberPattern): `0`, `0.00`, `#,##0`, `#,##0.00`, `0%`, `0.00%` and the
//   like: `0` and `#` digit placeholders, `,` between integer placeholders for grouping, `.` with
//   decimal placeholders after it, an optional trailing `%`.
// - Date patterns (DatePattern): `yyyy-mm-dd`, `yyyy-mm-dd hh:nn:ss`, `hh:mm`, `yyyy年m月d日` and
//   the like, built of the y/m/d/h/n/s tokens.
// - Named formats, in any case: "General Number" (the number as it reads back, no grouping),
//   "Currency" (the locale's currency form), "Fixed" (`0.00`), "Standard" (`#,##0.00`),
//   "Percent" (`0.00%`), "General Date" (short date, and the time when it is not midnight),
//   "Long Date" and "Short Date" (the locale's long and short date forms), "Long Time"
//   (`hh:nn:ss`) and "Short Time" (`hh:nn`).
//
// A numeric format reads the cell as a number in the user's locale; a date format reads it as
// yyyy-MM-dd or yyyy-MM-dd hh:mm:ss (ISO forms). Output uses the user's locale separators. A cell
// that does not read as the format's kind of value is shown as it stands, and so is every cell
// under a format text outside this language (sections with `;`, literals in numeric patterns,
// scientific notation, AM/PM, ...). An empty cell stays empty.
class DisplayFormat {
  public:
    DisplayFormat() = default;  // no format: every cell as it stands
    explicit DisplayFormat(const QString& formatText);

    // False for an empty text and for a text outside the language.
    bool isActive() const { return !std::holds_alternative<std::monostate>(rule_); }
    QString apply(const QString& cellText) const;

  private:
    enum class NamedNumber { GeneralNumber, Currency };
    enum class NamedDate { GeneralDate, LongDate, ShortDate };
    using Rule = std::variant<std::monostate, NumberPattern, DatePattern, NamedNumber, NamedDate>;

    static Rule parse(const QString& formatText);
    static Rule parseNamed(const QString& formatText);
    QString applyToNumber(double value) const;
    QString applyToDate(const QDateTime& value) const;
    bool takesNumbers() const;

    Rule rule_;
};

}  // namespace xhook
