// The display format language, family by family, from the published examples of the classic
// format function (its character tables, its example tables for the values 5, -5 and 0.5 and for
// 7 December 1958 20:50:35, and its named formats). Every case is checked in the C locale, in a
// Chinese locale and in a locale with a decimal comma.
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
        {"##0,.", "100000000", "100000"},
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
    });
}

// Texts outside the language, and cells that are not values of the format's kind, show the cell
// as it stands; an empty cell stays empty under every format.
TEST(FormatLanguage, WhatIsNotFormattedShowsAsItStands) {
    expectFamily({
        {"0.0.0", "1234.5", "1234.5", nullptr, "1234,5"},
        {"abc", "1234.5", "1234.5", nullptr, "1234,5"},
        {"yyy", "1958-12-07", "1958-12-07"},
        {"\"open", "5", "5"},
        {"0;0;0;0;0", "5", "5"},
        {"0 kg", "5", "5"},
        {"yyyy0", "1958-12-07", "1958-12-07"},
        {"0.00E+", "5", "5"},
        {";0", "5", "5"},
        {"@0;yyyy", "5", "5"},
        {"0.00", "abc", "abc"},
        {"0.00", "1958-12-07", "1958-12-07"},
        {"yyyy-mm-dd", "12.5", "12.5", nullptr, "12,5"},
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
