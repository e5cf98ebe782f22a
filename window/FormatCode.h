#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace xhook {

// The internal form of a display format text: what FormatParser reads from the text once, and
// what the formatters apply to cell after cell.

// One element of a format section.
enum class FormatToken : quint8 {
    Literal,        // text: shown as it stands
    DigitZero,      // 0: a digit, or a zero where the number has none; place: see FormatElement
    DigitHash,      // #: a digit, or nothing
    DecimalPoint,   // .: the locale's decimal point, also where no decimal follows
    Percent,        // %: a percent sign (the value is taken times 100 for each)
    Exponent,       // E+ E- e+ e-: text "E" or "e"; plusSign where a positive exponent shows "+"
    DateSeparator,  // /: the locale's date separator
    TimeSeparator,  // :: the locale's time separator
    // Date and time fields; width is the number of letters the field is read from.
    Year,         // yy, yyyy
    DayOfYear,    // y
    Month,        // m, mm
    MonthName,    // mmm, mmmm, oooo
    Day,          // d, dd
    DayName,      // ddd, dddd, aaaa
    ShortDate,    // ddddd
    LongDate,     // dddddd
    Weekday,      // w: 1 for Sunday to 7
    WeekOfYear,   // ww: the week that holds 1 January is week 1, weeks start on Sunday
    Quarter,      // q
    Hour,         // h, hh: 0 to 23, or 1 to 12 in a section with an AM/PM element
    Minute,       // n, nn, and m, mm right after an hour
    Second,       // s, ss
    LongTime,     // ttttt: the locale's long time form
    GeneralDate,  // c: the date, and the time where it is not midnight
    AmPm,  // AM/PM, am/pm, A/P, a/p: text and text2 as written; AMPM: both empty, the locale's
    // Text placeholders.
    CharRequired,  // @: a character, or a space
    CharOptional,  // &: a character, or nothing
};

struct FormatElement {
    FormatToken token = FormatToken::Literal;
    // The run length of a date field; for a digit placeholder its place: 0 for the ones, 1 for the
    // tens, -1 for the tenths, and for an exponent digit its place in the exponent.
    int width = 0;
    QString text;   // Literal, Exponent, AmPm (the morning text)
    QString text2;  // AmPm (the afternoon text)
    bool plusSign = false;
};

enum class SectionKind : quint8 { Number, DateTime, Text };

// A number section's digits, as its elements place them.
struct NumberLayout {
    int integerPlaceholders = 0;
    int decimalPlaceholders = 0;
    int decimalZeros = 0;  // the decimals always shown: up to the last `0` after the point
    bool grouping = false;
    int scaling = 0;   // commas at the end of the integer part: the value / 1000 for each
    int percents = 0;  // the value × 100 for each %
    bool scientific = false;
    int exponentPlaceholders = 0;
};

struct FormatSection {
    std::vector<FormatElement> elements;
    bool empty = true;  // nothing written for it: the first section serves instead
    NumberLayout number;
    // Text sections.
    bool lowercase = false, uppercase = false, fillFromLeft = false;
    // Date sections: hours on a 12-hour clock.
    bool twelveHours = false;
};

// The formats that the language names.
enum class NamedFormat : quint8 {
    None,
    GeneralNumber,
    Currency,
    YesNo,
    TrueFalse,
    OnOff,
    GeneralDate,
    LongDate,
    ShortDate,
};

struct FormatCode {
    SectionKind kind = SectionKind::Number;
    NamedFormat named = NamedFormat::None;
    // Numbers: positive; negative; zero; null. Texts: texts; empty texts. Dates: the first.
    std::vector<FormatSection> sections;
};

}  // namespace xhook
