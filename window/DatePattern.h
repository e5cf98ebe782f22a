#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace xhook {

// A date and time display pattern made of the tokens yyyy, yy (year), m, mm (month), mmm, mmmm
// (month name), d, dd (day), ddd, dddd (day name), h, hh (hour, 0-23), n, nn (minute), s, ss
// (second), in any case. `m` or `mm` right after an hour token or right before a seconds token
// (literals between them allowed) is the minute, as in `hh:mm:ss`. Every character that is no
// ASCII letter stands for itself, as does text in double quotes and a character after `\`; any
// other ASCII letter puts the pattern outside the language.
class DatePattern {
  public:
    static std::optional<DatePattern> parse(QStringView pattern);

    QString format(const QDateTime& value, const QLocale& locale) const;

  private:
    enum class Field { Literal, Year, Month, MonthName, Day, DayName, Hour, Minute, Second };
    struct Token {
        Field field = Field::Literal;
        int width = 0;    // digits, or 3 / 4 for the short / long name
        QString literal;  // Field::Literal only
    };

    static std::optional<Token> fieldToken(QChar letter, int count);
    void resolveMinutes();
    static QString formatToken(const Token& token, const QDateTime& value, const QLocale& locale);

    std::vector<Token> tokens_;
};

}  // namespace xhook
