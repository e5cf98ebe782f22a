// The display format language, family by family, from the published examples of the classic
// format function (its character tables, its example tables for the values 5, -5 and 0.5 and for
// 7 December 1958 20:50:35, and its named formats), and from what the function is recorded to
// answer where those leave it open: placeholders with no digit, letters and literals in a number,
// the exponent's digits, minutes and months, runs of date letters and numbers under a date
// format. Every case is checked in the C locale, in a Chinese locale and in a locale with a
// decimal comma.
#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include "tests/support/ScopedDefaultLocale.h"
#include "window/DisplayFormat.h"

namespace xhook {
namespace {

// A format, a cell as the C locale writes it, and what the cell shows in the C, zh_CN and de_DE
// locales; a null zh or de text: the same as in the C locale.
struct Case {
    const char* format;
    const char* cell;
    const char* c;
    const char* zh = nullptr;
    const char* de = nullptr;
};

enum class Locale { C, Chinese, German };

QLocale qtLocale(Locale locale) {
    switch (locale) {
        case Locale::Chinese:
            return QLocale(QLocale::Chinese, QLocale::China);
        case Locale::German:
            return QLocale(QLocale::German, QLocale::Germany);
        default:
            return QLocale::c();
    }
}

const char* expected(const Case& c, Locale locale) {
    if (locale == Locale::Chinese && c.zh) return c.zh;
    if (locale == Locale::German && c.de) return c.de;
    return c.c;
}

// A number cell in the locale's own decimal point, as the grid holds it there.
QString cellInLocale(const char* cell, const QLocale& locale) {
    const QString text = QString::fromUtf8(cell);
    bool number = false;
    QLocale::c().toDouble(text, &number);
    return number ? QString(text).replace(u'.', locale.decimalPoint()) : text;
}

void expectFamily(std::initializer_list<Case> cases) {
    for (const Locale locale : {Locale::C, Locale::Chinese, Locale::German}) {
        const QLocale qt = qtLocale(locale);
        test::ScopedDefaultLocale scoped(qt);
        for (const Case& c : cases) {
            const DisplayFormat format(QString::fromUtf8(c.format));
            EXPECT_EQ(format.apply(cellInLocale(c.cell, qt)).toStdString(),
                      std::string(expected(c, locale)))
                << "locale " << qt.name().toStdString() << ", format \"" << c.format
                << "\", cell \"" << c.cell << "\"";
        }
    }
}

TEST(FormatLanguage, DigitPlaceholdersAndTheDecimalPoint) {
    expectFamily({
        {"0", "5", "5"},
        {"0", "-5", "-5"},
        {"0", "0.5", "1"},
        {"0", "2.5", "3"},
        {"0.00", "5", "5.00", nullptr, "5,00"},
        {"0.00", "-5", "-5.00", nullptr, "-5,00"},
        {"0.00", "0.5", "0.50", nullptr, "0,50"},
        {"#,##0", "5", "5"},
        {"#,##0", "-5", "-5"},
        {"#,##0", "0.5", "1"},
        {"##,##0.00", "5459.4", "5,459.40", nullptr, "5.459,40"},
        {"###0.00", "334.9", "334.90", nullptr, "334,90"},
        {"000", "12", "012"},
        {"##.###", "10.56", "10.56", nullptr, "10,56"},
        {"#.##", "0.56", ".56", nullptr, ",56"},
        {"#0.00", "1.23", "1.23", nullptr, "1,23"},
        {"#,###", "12345", "12,345", nullptr, "12.345"},
        {"0.0#", "1.2", "1.2", nullptr, "1,2"},
        {"0.0#", "1.234", "1.23", nullptr, "1,23"},
        {"(000) 000-0000", "5551234567", "(555) 123-4567"},
        {"#,##0.00", "-0.001", "0.00", nullptr, "0,00"},
    });
}

TEST(FormatLanguage, RoundingHalfAwayFromZeroOnTheDecimalValue) {
    expectFamily({
        {"0.00", "2.675", "2.68", nullptr, "2,68"},
        {"0.00", "1.005", "1.01", nullptr, "1,01"},
        {"0.00", "0.285", "0.29", nullptr, "0,29"},
        {"0.00", "-2.675", "-2.68", nullptr, "-2,68"},
        {"#,##0.00", "1234567890.125", "1,234,567,890.13", nullptr, "1.234.567.890,13"},
        {"0", "-0.5", "-1"},
        {"0", "0.49999999999999994", "1"},  // 15 digits: 0.500000000000000
        {"0.0", "0.05", "0.1", nullptr, "0,1"},
        {"0.000", "1.0005", "1.001", nullptr, "1,001"},
        {"Fixed", "1.005", "1.01", nullptr, "1,01"},
        {"Standard", "2.675", "2.68", nullptr, "2,68"},
        {"Currency", "2.675", "2.68", "¥2.68", "2,68\u00a0€"},
    });
}

TEST(FormatLanguage, PercentScalingAndScientific) {
    expectFamily({
        {"0%", "5", "500%"},
        {"0%", "0.5", "50%"},
        {"0.00%", "-5", "-500.00%", nullptr, "-500,00%"},
        {"00.0%", "0.56", "56.0%", nullptr, "56,0%"},
        {"0%", "0.285", "29%"},
        {"##0,,", "100000000", "100"},
        {"##0,.", "100000000", "100000.", nullptr, "100000,"},
        {"#,##0,", "1234567", "1,235", nullptr, "1.235"},
        {"0.00E+00", "5", "5.00E+00", nullptr, "5,00E+00"},
        {"0.00E+00", "-5", "-5.00E+00", nullptr, "-5,00E+00"},
        {"0.00E+00", "0.5", "5.00E-01", nullptr, "5,00E-01"},
        {"0.00E+00", "12345", "1.23E+04", nullptr, "1,23E+04"},
        {"0.00E-00", "5", "5.00E00", nullptr, "5,00E00"},
        {"0.00E-00", "0.5", "5.00E-01", nullptr, "5,00E-01"},
        {"0.0e+0", "0.000123", "1.2e-4", nullptr, "1,2e-4"},
        {"00.00E+00", "12345", "12.35E+03", nullptr, "12,35E+03"},
        {"0.00E+00", "0", "0.00E+00", nullptr, "0,00E+00"},
        {"Scientific", "12345", "1.23E+04", nullptr, "1,23E+04"},
    });
}

TEST(FormatLanguage, SectionsAndLiterals) {
    expectFamily({
        {"$#,##0;($#,##0)", "5", "$5"},
        {"$#,##0;($#,##0)", "-5", "($5)"},
        {"$#,##0;($#,##0)", "0.5", "$1"},
        {"$#,##0.00;($#,##0.00)", "-5", "($5.00)", nullptr, "($5,00)"},
        {"#,##0.00;;;Nil", "-5", "-5.00", nullptr, "-5,00"},
        {"#,##0.00;;;Nil", "0.5", "0.50", nullptr, "0,50"},
        {"#,##0.00;(#,##0.00)", "-5", "(5.00)", nullptr, "(5,00)"},
        {"#,##0.00;-#,##0.00;\\-", "0", "-"},
        {"#,##0.00;-#,##0.00;\\-", "-1234.5", "-1,234.50", nullptr, "-1.234,50"},
        {"0.00;(0.00);\"zero\"", "0", "zero"},
        {"\\¥#,##0.00", "5459.4", "¥5,459.40", nullptr, "¥5.459,40"},
        {"¥#,##0.00", "5459.4", "¥5,459.40", nullptr, "¥5.459,40"},
        {"￥#,##0.00", "5459.4", "￥5,459.40", nullptr, "￥5.459,40"},
        {"\"RMB \"#,##0.00", "5459.4", "RMB 5,459.40", nullptr, "RMB 5.459,40"},
        {"0.00 元", "5", "5.00 元", nullptr, "5,00 元"},
        {"+0;-0;0", "5", "+5"},
        {"+0;-0;0", "-5", "-5"},
        {"\\#0", "7", "#7"},
        {"0\\%", "7", "7%"},
    });
}

TEST(FormatLanguage, NamedNumberFormats) {
    expectFamily({
        {"General Number", "100000", "100000"},
        {"General Number", "0.30000000000000004", "0.3", nullptr, "0,3"},
        {"General Number", "1234.5", "1234.5", nullptr, "1234,5"},
        {"Currency", "-1234.5", "-1234.50", "(¥1,234.50)", "-1.234,50\u00a0€"},
        {"Fixed", "1234.567", "1234.57", nullptr, "1234,57"},
        {"Standard", "1234.5", "1,234.50", nullptr, "1.234,50"},
        {"Percent", "0.285", "28.50%", nullptr, "28,50%"},
        {"Yes/No", "0", "No"},
        {"Yes/No", "5", "Yes"},
        {"True/False", "-1", "True"},
        {"True/False", "0", "False"},
        {"On/Off", "0", "Off"},
        {"on/off", "2", "On"},
    });
}

// 7 December 1958, 20:50:35, the date of the published examples.
TEST(FormatLanguage, DatesAndTimes) {
    const char* evening = "1958-12-07 20:50:35";
    expectFamily({
        {"m/d/yy", evening, "12/7/58", nullptr, "12.7.58"},
        {"d-mmm", evening, "7-Dec", "7-12月", "7-Dez."},
        {"d-mmmm-yy", evening, "7-December-58", "7-十二月-58", "7-Dezember-58"},
        {"d mmmm", evening, "7 December", "7 十二月", "7 Dezember"},
        {"mmmm yy", evening, "December 58", "十二月 58", "Dezember 58"},
        {"hh:mm AM/PM", evening, "08:50 PM"},
        {"h:mm:ss a/p", evening, "8:50:35 p"},
        {"h:mm", evening, "20:50"},
        {"h:mm:ss", evening, "20:50:35"},
        {"m/d/yy h:mm", evening, "12/7/58 20:50", nullptr, "12.7.58 20:50"},
        {"hh:mm am/pm", "1958-12-07 08:05:00", "08:05 am"},
        {"h A/P", "1958-12-07 00:30:00", "12 A"},
        {"hh:mm AMPM", evening, "08:50 PM", "08:50 下午"},
        {"dddd", evening, "Sunday", "星期日", "Sonntag"},
        {"ddd", evening, "Sun", "周日", "So."},
        {"aaaa", evening, "Sunday", "星期日", "Sonntag"},
        {"oooo", evening, "December", "十二月", "Dezember"},
        {"ddddd", evening, "7 Dec 1958", "1958/12/7", "07.12.58"},
        {"w ww q y", evening, "1 50 4 341"},
        {"yyyy年m月d日", evening, "1958年12月7日"},
        {"yyyy-mm-dd hh:nn:ss", evening, "1958-12-07 20:50:35"},
        {"YYYY-MM-DD", evening, "1958-12-07"},
        {"dd.mm.yyyy", evening, "07.12.1958"},
        {"ttttt", evening, "20:50:35"},
        {"c", evening, "7 Dec 1958 20:50:35", "1958/12/7 20:50:35", "07.12.58 20:50:35"},
        {"c", "1958-12-07", "7 Dec 1958", "1958/12/7", "07.12.58"},
        {"hh:mm AM/PM", "20:50:35", "08:50 PM"},
        {"hh:nn", "20:50", "20:50"},
        {"\"at\" h\\h", evening, "at 20h"},
    });
}

TEST(FormatLanguage, NamedDateAndTimeFormats) {
    const char* evening = "1958-12-07 20:50:35";
    expectFamily({
        {"General Date", evening, "7 Dec 1958 20:50:35", "1958/12/7 20:50:35", "07.12.58 20:50:35"},
        {"General Date", "20:50:35", "20:50:35"},
        {"Long Date", evening, "Sunday, 7 December 1958", "1958年12月7日星期日",
         "Sonntag, 7. Dezember 1958"},
        {"Medium Date", evening, "07-Dec-58", "07-12月-58", "07-Dez.-58"},
        {"Short Date", evening, "7 Dec 1958", "1958/12/7", "07.12.58"},
        {"Long Time", evening, "20:50:35"},
        {"Medium Time", evening, "08:50 PM"},
        {"Short Time", evening, "20:50"},
    });
}

// A `#` with no digit to show shows nothing, and the decimal point stays where no decimal digit
// follows it.
TEST(FormatLanguage, PlaceholdersWithNoDigit) {
    expectFamily({
        {"#", "0", ""},
        {"##", "0", ""},
        {"#", "-0.4", ""},
        {"#.#", "1", "1.", nullptr, "1,"},
        {"#.#", "0", ".", nullptr, ","},
        {"#.##", "0", ".", nullptr, ","},
        {"#.##", "2", "2.", nullptr, "2,"},
        {"#.##", "0.004", ".", nullptr, ","},
        {".#", "-0.1", "-.1", nullptr, "-,1"},
        {"0.", "5", "5.", nullptr, "5,"},
        {"#,#.#", "123456789", "123,456,789.", nullptr, "123.456.789,"},
    });
}

// Characters that are no placeholders keep their place, after the point as before it.
TEST(FormatLanguage, LiteralsKeepTheirPlace) {
    expectFamily({
        {"#.33", "17", "17.33", nullptr, "17,33"},
        {"#.33", "0.17", ".33", nullptr, ",33"},
        {"#.33", "1.7", "2.33", nullptr, "2,33"},
        {"#3.5", "17", "173.5", nullptr, "173,5"},
        {"1###000", "4", "1004"},
        {"0.0-0", "1.234", "1.2-3", nullptr, "1,2-3"},
    });
}

// Letters that mean nothing in a number stand for themselves, the date letters among them.
TEST(FormatLanguage, LettersInANumberFormat) {
    expectFamily({
        {"0 kg", "5", "5 kg"},
        {"#,##0.00 h", "1234.5", "1,234.50 h", nullptr, "1.234,50 h"},
        {"##abcdefghijklmnopqrstuvwxyz", "3", "3abcdefghijklmnopqrstuvwxyz"},
        {"0h00", "123", "1h23"},
        {"0.0 AM/PM", "5", "5.0 AM/PM", nullptr, "5,0 AM/PM"},
        {"0 pcs;0 pcs returned", "-4", "4 pcs returned"},
        {"kg", "5", "kg"},
    });
}

// The exponent shows as many digits as it has placeholders, `#` as well as `0`; without any, its
// own digits.
TEST(FormatLanguage, ExponentDigits) {
    expectFamily({
        {"0.00E+##", "5", "5.00E+00", nullptr, "5,00E+00"},
        {"0.00E+##", "123456", "1.23E+05", nullptr, "1,23E+05"},
        {"#.#####E+###", "1.09837555", "1.09838E+000", nullptr, "1,09838E+000"},
        {"0.0E-#", "12345", "1.2E4", nullptr, "1,2E4"},
        {"0.00E+", "5", "5.00E+0", nullptr, "5,00E+0"},
        {"0E-############", "5", "5E000000000000"},
        {"0.00E-", "1000001", "1.00E6", nullptr, "1,00E6"},
        {"0.0e-1", "1.7", "1.7e01", nullptr, "1,7e01"},
        {"#####.####e-0%", "0.00000000000030401", "30401.e-15%", nullptr, "30401,e-15%"},
    });
}

// `m` and `mm` are the minute right after an hour, and the month everywhere else, before a
// second too; `n` and `nn` are always the minute. 7 December 1958, 20:50:35.
TEST(FormatLanguage, MinutesAndMonths) {
    const char* evening = "1958-12-07 20:50:35";
    expectFamily({
        {"mm:ss", evening, "12:35"},
        {"nn:ss", evening, "50:35"},
        {"hh :mm:mm", evening, "20 :50:12"},
        {"mm :mm:ss", evening, "12 :12:35"},
        {"hh:mm :ss:mm", evening, "20:50 :35:12"},
        {"hh:dd :mm", evening, "20:07 :12"},
        {"dd :mm:nn", evening, "07 :12:50"},
        {"h\"h\"m", evening, "20h50"},
        {"hh:mmm", evening, "20:Dec", "20:12月", "20:Dez."},
        {"hh AM/PM mm", evening, "08 PM 12"},
    });
}

// A run of one letter is read as the longest field it begins with and its rest after it;
// letters and digit placeholders that mean nothing in a date stand for themselves.
TEST(FormatLanguage, RunsOfDateLetters) {
    const char* evening = "1958-12-07 20:50:35";
    expectFamily({
        {"yyy", evening, "58341"},
        {"yyyyy", evening, "1958341"},
        {"yyyyyy", evening, "195858"},
        {"mmmmm", evening, "December12", "十二月12", "Dezember12"},
        {"ddddddd", evening, "Sunday, 7 December 19587", "1958年12月7日星期日7",
         "Sonntag, 7. Dezember 19587"},
        {"aaaaa", evening, "Sundaya", "星期日a", "Sonntaga"},
        {"qq", evening, "44"},
        {"www", evening, "501"},
        {"hhh:nnn:sss", evening, "2020:5050:3535"},
        {"h tttt", evening, "20 tttt"},
        {"tttttt", evening, "20:50:35t"},
        {"d x", evening, "7 x"},
        {"yyyy0", evening, "19580"},
        {"abc", evening, "ab7 Dec 1958 20:50:35", "ab1958/12/7 20:50:35", "ab07.12.58 20:50:35"},
        {"ttttt", "1958-12-07 08:05:09", "08:05:09"},
    });
}

// A number under a date format is a date serial: whole days since 30 December 1899, the
// fraction the time of day; a negative serial counts the days before it and keeps the time.
TEST(FormatLanguage, NumbersUnderADateFormat) {
    expectFamily({
        {"yyyy-mm-dd", "12.5", "1900-01-11"},
        {"yyyy-mm-dd hh:nn:ss", "21526.86846", "1958-12-07 20:50:35"},
        {"yyyy-mm-dd hh:nn", "-1.25", "1899-12-29 06:00"},
        {"yyyy-mm-dd hh:nn", "-0.5", "1899-12-30 12:00"},
        {"yyyy-mm-dd hh:nn:ss", "0.99999999", "1899-12-31 00:00:00"},
        {"yyyy-mm-dd hh:nn:ss", "-1.99999999", "1899-12-28 00:00:00"},
        {"yyyy-mm-dd", "-657434", "0100-01-01"},
        {"yyyy-mm-dd", "2958465.5", "9999-12-31"},
        {"c", "0.5", "12:00:00"},
        {"c", "1", "31 Dec 1899", "1899/12/31", "31.12.99"},
        {"Short Date", "45000", "15 Mar 2023", "2023/3/15", "15.03.23"},
        {"Q0 yyyy", "2", "10 1900"},
    });
}

TEST(FormatLanguage, Texts) {
    expectFamily({
        {"<", "HELLO", "hello"},
        {">", "This is it", "THIS IS IT"},
        {"@@@@@", "abc", "  abc"},
        {"!@@@@@", "abc", "abc  "},
        {"&&&&&", "abc", "abc"},
        {"(@@@) @@@-@@@@", "5551234567", "(555) 123-4567"},
        {"@@", "abcd", "abcd"},
        {"!@@", "abcd", "abcd"},
        {">@@@-@@", "ab12x", "AB1-2X"},
        {"@@/@@:@ 0h", "abcde", "ab/cd:e 0h"},
    });
}

// Texts outside the language, and cells that are not values of the format's kind, show the cell
// as it stands; an empty cell stays empty under every format.
TEST(FormatLanguage, WhatIsNotFormattedShowsAsItStands) {
    expectFamily({
        {"0.0.0", "1234.5", "1234.5", nullptr, "1234,5"},
        {"\"open", "5", "5"},
        {"0;0;0;0;0", "5", "5"},
        {"0\\", "5", "5"},
        {"0;yyyy", "5", "5"},
        {";0", "5", "5"},
        {"@0;yyyy", "5", "5"},
        {"0.00", "abc", "abc"},
        {"0.00", "1958-12-07", "1958-12-07"},
        {"yyyy-mm-dd", "12.5 kg", "12.5 kg"},
        {"yyyy-mm-dd", "2958466", "2958466"},
        {"yyyy-mm-dd", "-657435", "-657435"},
        {"yyyy-mm-dd", "1958-13-01", "1958-13-01"},
        {"hh:mm", "25:00", "25:00"},
        {"0.00", "", ""},
        {"#,##0.00;;;Nil", "", ""},
        {"@@@;empty", "", ""},
        {"yyyy-mm-dd", "", ""},
    });
}

}  // namespace
}  // namespace xhook
