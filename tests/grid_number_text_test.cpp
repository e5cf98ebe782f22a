// The plain number texts of the grid (valueText of a double, readLocaleNumber) are written and
// read by code of their own for the common forms; QLocale stays the reference. These tests hold
// both to QLocale's answer, value by value, over many values and locales. A number's text is
// QLocale's 'G' form with 15 significant digits: the digits in full from 0.0001 to below 10^15.
#include <gtest/gtest.h>

#include <QLocale>
#include <QRandomGenerator>
#include <QString>
#include <QVariant>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "tests/support/ScopedDefaultLocale.h"

namespace xhook {
namespace {

const QList<QLocale> kLocales = {
    QLocale::c(),
    QLocale(QLocale::English, QLocale::UnitedStates),
    QLocale(QLocale::Chinese, QLocale::China),
    QLocale(QLocale::German, QLocale::Germany),
    QLocale(QLocale::French, QLocale::France),       // decimal comma, narrow no-break space
    QLocale(QLocale::German, QLocale::Switzerland),  // apostrophe groups
    QLocale(QLocale::Swedish, QLocale::Sweden),      // minus sign U+2212
    QLocale(QLocale::Arabic, QLocale::Egypt),        // digits of its own
    QLocale(QLocale::Persian, QLocale::Iran),
};

// What the grid writes, as QLocale writes it.
QString referenceText(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'G', 15);
}

std::optional<double> referenceNumber(const QString& text) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = locale.toDouble(trimmed, &ok);
    if (trimmed.isEmpty() || !ok) return std::nullopt;
    return value;
}

// Equal to the bit: -0 and 0 differ, NaN equals NaN.
bool sameNumber(std::optional<double> a, std::optional<double> b) {
    if (!a || !b) return a.has_value() == b.has_value();
    return std::bit_cast<quint64>(*a) == std::bit_cast<quint64>(*b) ||
           (std::isnan(*a) && std::isnan(*b));
}

std::vector<double> sampleValues() {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  -0.5,
                                  1.5,
                                  -2.5,
                                  0.1 + 0.2,
                                  1e-320,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  9007199254740992.0,
                                  9007199254740993.0,
                                  1234567890123456789.0};
    for (int exponent = -30; exponent <= 30; ++exponent) {
        const double power = std::pow(10.0, exponent);
        for (double v : {power, -power, 1.5 * power, 1.25 * power, 123.0 * power, 0.999 * power})
            for (double near : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)})
                values.push_back(near);
    }
    QRandomGenerator random(20261208);
    for (int i = 0; i < 20000; ++i) {
        const qint64 cents = qint64(random.bounded(2000000000)) - 1000000000;
        values.push_back(double(cents) / 100.0);           // amounts with two decimals
        values.push_back(double(cents) / 2.0);             // halves
        values.push_back(double(cents) * 1000.0);          // large whole numbers
        values.push_back(double(random.bounded(100000)));  // quantities
        values.push_back(random.generateDouble() * std::pow(10.0, random.bounded(-8, 24)));
        double bits = 0;
        do {
            bits = std::bit_cast<double>(random.generate64());
        } while (!std::isfinite(bits));
        values.push_back(bits);
    }
    return values;
}

TEST(GridNumberText, DoublesReadTheSameAsQLocaleWritesThemInEveryLocale) {
    const std::vector<double> values = sampleValues();
    for (const QLocale& locale : kLocales) {
        SCOPED_TRACE(locale.name().toStdString());
        test::ScopedDefaultLocale scoped(locale);
        int mismatches = 0;
        for (double value : values) {
            const QString expected = referenceText(value);
            const QString written = valueText(QVariant(value));
            if (written != expected && ++mismatches <= 5)
                ADD_FAILURE() << "value " << std::bit_cast<quint64>(value) << " (" << value
                              << "): " << written.toStdString() << " instead of "
                              << expected.toStdString();
            EXPECT_EQ(doubleText(value), written);
            EXPECT_TRUE(sameNumber(readLocaleNumber(written), referenceNumber(written)))
                << written.toStdString();
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(valueText(QVariant(float(2.5f))), referenceText(2.5));
    }
}

TEST(GridNumberText, TextsReadTheSameAsQLocaleReadsThem) {
    QStringList texts = {"0",
                         "-0",
                         "-0.0",
                         "007.50",
                         "1.",
                         ".5",
                         "-.5",
                         "+1",
                         "1,234.5",
                         "1.234,5",
                         "1e5",
                         "1E-3",
                         " 12.5 ",
                         "\t3.25\n",
                         "--1",
                         "1.2.3",
                         "1 234,5",
                         "1'234.5",
                         "١٢٣٫٥",
                         "−1,5",
                         "-1,5",
                         "12a",
                         "a12",
                         "-",
                         "",
                         "  ",
                         "inf",
                         "nan",
                         "0x10",
                         "1_000",
                         "1" + QString(400, '0'),
                         "0." + QString(400, '0') + "1",
                         "3." + QString(60, '3'),
                         "9007199254740993",
                         "2.5000000000000000000000000000000000001",
                         "0.1000000000000000055511151231257827021181583404541015625"};
    for (const QLocale& locale : kLocales) {
        SCOPED_TRACE(locale.name().toStdString());
        test::ScopedDefaultLocale scoped(locale);
        for (const QString& text : texts)
            EXPECT_TRUE(sameNumber(readLocaleNumber(text), referenceNumber(text)))
                << '"' << text.toStdString() << '"';
        QRandomGenerator random(7);
        for (int i = 0; i < 20000; ++i) {
            QString digits;
            const int length = random.bounded(1, 30);
            for (int d = 0; d < length; ++d) digits += QChar(u'0' + random.bounded(10));
            const int point = random.bounded(length + 1);
            QString text = digits;
            if (point > 0 && point < length) text.insert(point, locale.decimalPoint());
            if (random.bounded(2)) text.prepend(locale.negativeSign());
            EXPECT_TRUE(sameNumber(readLocaleNumber(text), referenceNumber(text)))
                << '"' << text.toStdString() << '"';
        }
    }
}

// The texts the classic platform writes: no exponent below 10^15 and down to 0.0001, at most 15
// significant digits; where the text shows fewer digits than the double has, the double stays
// behind the text.
TEST(GridNumberText, FifteenSignificantDigitsWrittenInFull) {
    struct Case {
        double value;
        const char* c;
        const char* de;
        bool exact;
    };
    const Case cases[] = {
        {100000.0, "100000", "100000", true},
        {60000.0 + 40000.0, "100000", "100000", true},
        {1200000.0, "1200000", "1200000", true},
        {120000000.0, "120000000", "120000000", true},
        {0.1 + 0.2, "0.3", "0,3", false},
        {1.1 + 2.2, "3.3", "3,3", false},
        {-2.675, "-2.675", "-2,675", true},
        {0.0001, "0.0001", "0,0001", true},
        {0.00012345, "0.00012345", "0,00012345", true},
        {0.00001, "1E-05", "1E-05", true},
        {999999999999999.0, "999999999999999", "999999999999999", true},
        {1e15, "1E+15", "1E+15", true},
        {1234567890123456.0, "1.23456789012346E+15", "1,23456789012346E+15", false},
        {1.0 / 3.0, "0.333333333333333", "0,333333333333333", false},
        {-0.0, "0", "0", true},
    };
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Chinese, QLocale::China),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        test::ScopedDefaultLocale scoped(locale);
        for (const Case& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + " " + c.c);
            ValueText text;
            text.assignDouble(c.value);
            const bool german = locale.language() == QLocale::German;
            EXPECT_EQ(text.toString().toStdString(), german ? c.de : c.c);
            EXPECT_EQ(text.numberBehindText().has_value(), !c.exact);
            if (!c.exact) {
                EXPECT_EQ(*text.numberBehindText(), c.value);
            }
            EXPECT_EQ(text.writtenNumber(), c.value);
        }
    }
}

// A text that is no number still raises, and the number of a plain text is the one QLocale gives.
TEST(GridNumberText, TextToDoubleKeepsItsErrors) {
    test::ScopedDefaultLocale scoped(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(textToDouble(QStringView(u" 1234,5 ")), 1234.5);
    EXPECT_EQ(textToDouble(QStringLiteral("1.234,5")), 1234.5);
    EXPECT_THROW(textToDouble(QStringView(u"1.5x")), ComponentError);
    const QString huge = QLatin1Char('1') + QString(400, u'0');
    EXPECT_THROW(textToDouble(QStringView(huge)), ComponentError);
    for (const char* word : {"inf", "-inf", "infinity", "nan"}) {
        try {
            textToDouble(QString::fromLatin1(word));
            ADD_FAILURE() << word << " read as a number";
        } catch (const ComponentError& error) {
            EXPECT_EQ(error.number(), RuntimeErrorNumber::TypeMismatch) << word;
        }
    }
    try {
        textToDouble(huge);
        ADD_FAILURE() << "a number past the largest double read";
    } catch (const ComponentError& error) {
        EXPECT_EQ(error.number(), RuntimeErrorNumber::Overflow);
    }
}

}  // namespace
}  // namespace xhook
