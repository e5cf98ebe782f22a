#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include "tests/support/ScopedDefaultLocale.h"
#include "window/DisplayFormat.h"

namespace xhook {
namespace {

struct Case {
    const char* format;
    const char* cell;
    const char* shown;
};

void expectCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        const DisplayFormat format(QString::fromUtf8(c.format));
        EXPECT_EQ(format.apply(QString::fromUtf8(c.cell)).toStdString(), std::string(c.shown))
            << "format \"" << c.format << "\", cell \"" << c.cell << "\"";
    }
}

const QLocale kEnglishUS(QLocale::English, QLocale::UnitedStates);

TEST(DisplayFormat, NumericPatternsInAnEnglishLocale) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    expectCases({
        {"0", "1234.5", "1235"},
        {"0", "-2.5", "-3"},
        {"0", "7", "7"},
        {"0.00", "3.14159", "3.14"},
        {"0.00", "2", "2.00"},
        {"0.00", "-0.001", "0.00"},
        {"0.00", " 1.5 ", "1.50"},
        {"#,##0", "1234567.8", "1,234,568"},
        {"#,##0", "999", "999"},
        {"#,##0", "0", "0"},
        {"#,##0.00", "1234.5", "1,234.50"},
        {"#,##0.00", "-1234.5", "-1,234.50"},
        {"#,##0.00", "1234567890.125", "1,234,567,890.13"},
        {"0%", "0.256", "26%"},
        {"0.00%", "0.256", "25.60%"},
        {"0.00%", "-1", "-100.00%"},
        {"#.##", "2.5", "2.5"},
        {"#.##", "2", "2."},
        {"#.##", "0.5", ".5"},
        {"0.0#", "1.234", "1.23"},
        {"0.0#", "1.2", "1.2"},
        {"000", "7", "007"},
        {"#", "0", ""},
    });
}

TEST(DisplayFormat, NamedFormatsInAnyCase) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    expectCases({
        {"General Number", "1234.5", "1234.5"},
        {"General Number", "1,234.5", "1234.5"},
        {"Fixed", "1234.567", "1234.57"},
        {"Fixed", "0.5", "0.50"},
        {"Standard", "1234.567", "1,234.57"},
        {"standard", "-0.5", "-0.50"},
        {"Percent", "0.5", "50.00%"},
        {"PERCENT", "1", "100.00%"},
        {"Currency", "1234.5", "$1,234.50"},
        {"Short Date", "2024-03-05", "3/5/24"},
        {"Long Date", "2024-03-05", "Tuesday, March 5, 2024"},
        {"General Date", "2024-03-05", "3/5/24"},
        {"General Date", "2024-03-05 13:45:10", "3/5/24 1:45:10 PM"},
        {"Short Time", "2024-03-05 08:07:09", "08:07"},
        {"Long Time", "2024-03-05 08:07:09", "8:07:09 AM"},
    });
}

TEST(DisplayFormat, DatePatterns) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    expectCases({
        {"yyyy-mm-dd", "2024-03-05", "2024-03-05"},
        {"yyyy-mm-dd", "2024-03-05 13:45:10", "2024-03-05"},
        {"yyyy-mm-dd hh:nn:ss", "2024-03-05 13:45:10", "2024-03-05 13:45:10"},
        {"yyyy-mm-dd hh:nn:ss", "2024-03-05", "2024-03-05 00:00:00"},
        {"yyyy-mm-dd hh:mm:ss", "2024-03-05 13:45:10", "2024-03-05 13:45:10"},
        {"YYYY-MM-DD", "2024-03-05T13:45:10", "2024-03-05"},
        {"yy/m/d", "2024-03-05", "24/3/5"},
        {"hh:mm", "2024-03-05 08:07:00", "08:07"},
        {"mm:ss", "2024-03-05 08:07:09", "03:09"},
        {"h:n", "2024-03-05 08:07:00", "8:7"},
        {"yyyy年m月d日", "2024-03-05", "2024年3月5日"},
        {"dddd, mmmm d", "2024-03-05", "Tuesday, March 5"},
        {"ddd d mmm", "2024-03-05", "Tue 5 Mar"},
        {"\"on\" yyyy", "2024-03-05", "on 2024"},
        {"\\d yyyy", "2024-03-05", "d 2024"},
    });
}

TEST(DisplayFormat, CellsThatAreNotValuesOfTheFormatShowAsTheyStand) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    expectCases({
        {"0.00", "", ""},
        {"yyyy-mm-dd", "", ""},
        {"0.00", "abc", "abc"},
        {"0.00", "2024-03-05", "2024-03-05"},
        {"#,##0.00", "12 apples", "12 apples"},
        {"Fixed", "n/a", "n/a"},
        {"yyyy-mm-dd", "12.5 kg", "12.5 kg"},
        {"yyyy-mm-dd", "2024-13-01", "2024-13-01"},
        {"yyyy-mm-dd", "2024-03-05 25:00:00", "2024-03-05 25:00:00"},
        {"yyyy-mm-dd", "05/03/2024", "05/03/2024"},
        {"Short Date", "3000000", "3000000"},
    });
}

// A number under a date format is a date serial: the days since 30 December 1899 and the time
// of day as the fraction. The long time, alone and in the general date, is US English's own
// 12-hour form.
TEST(DisplayFormat, NumbersAndLongTimesUnderADateFormat) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    expectCases({
        {"Short Date", "45000", "3/15/23"},
        {"General Date", "45000.75", "3/15/23 6:00:00 PM"},
        {"General Date", "0.75", "6:00:00 PM"},
        {"ttttt", "2024-03-05 17:04:23", "5:04:23 PM"},
        {"c", "2024-03-05 17:04:23", "3/5/24 5:04:23 PM"},
        {"Long Time", "00:04:23", "12:04:23 AM"},
        {"yyyy-mm-dd hh:nn", "1,234.5", "1903-05-18 12:00"},
    });
}

TEST(DisplayFormat, FormatTextsOutsideTheLanguageLeaveValuesAsTheyStand) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    // Sections, literals, letters in a number, scientific forms, scaling commas, AM/PM and Yes/No
    // belong to the language (grid_format_language_test); these texts do not.
    for (const char* text :
         {"", "0.0.0", "0;yyyy", "0\\", "yyyy-mm-dd\"", "@;0", "0.0.0 kg", "0;0;0;0;0"}) {
        const DisplayFormat format(QString::fromUtf8(text));
        EXPECT_FALSE(format.isActive()) << text;
        EXPECT_EQ(format.apply(QStringLiteral("1234.5")), QStringLiteral("1234.5")) << text;
        EXPECT_EQ(format.apply(QStringLiteral("2024-03-05")), QStringLiteral("2024-03-05")) << text;
    }
}

TEST(DisplayFormat, ReadsAndWritesNumbersInTheUsersLocale) {
    test::ScopedDefaultLocale locale(QLocale(QLocale::German, QLocale::Germany));
    expectCases({
        {"#,##0.00", "1234,5", "1.234,50"},
        {"0.00", "-0,125", "-0,13"},
        {"0%", "0,5", "50%"},
        {"Standard", "1234567,891", "1.234.567,89"},
        {"General Number", "2,5", "2,5"},
        {"0.00", "abc", "abc"},
    });
}

TEST(DisplayFormat, DateFormsFollowTheUsersLocale) {
    test::ScopedDefaultLocale locale(QLocale(QLocale::Chinese, QLocale::China));
    expectCases({
        {"Short Date", "2024-03-05", "2024/3/5"},
        {"yyyy-mm-dd", "2024-03-05 13:45:10", "2024-03-05"},
        {"#,##0.00", "1234.5", "1,234.50"},
    });
}

}  // namespace
}  // namespace xhook
