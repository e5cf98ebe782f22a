#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

namespace xhook {

// A numeric display pattern: digit placeholders `0` (always shown) and `#` (shown when
// significant) in the integer part, `,` between integer placeholders for digit grouping, `.`
// followed by decimal placeholders, and an optional trailing `%` (the value times 100).
// `#,##0.00` shows 1234.5 as 1,234.50 in a locale with those separators; `0.##` shows 2.5 as
// 2.5 and 2 as 2. Rounds half away from zero on the value's decimal form.
class NumberPattern {
  public:
    static std::optional<NumberPattern> parse(QStringView pattern);

    QString format(double value, const QLocale& locale) const;

  private:
    int minIntegerDigits_ = 0;
    int minDecimals_ = 0;
    int maxDecimals_ = 0;
    bool grouping_ = false;
    bool percent_ = false;
};

}  // namespace xhook
