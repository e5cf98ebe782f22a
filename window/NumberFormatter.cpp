#include "window/NumberFormatter.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/Conversions.h"
#include "foundation/DecimalDigits.h"
#include "window/DateFormatter.h"

namespace xhook {

namespace {

// The magnitude to write, scaled and rounded as the section asks, and its exponent where the
// section is scientific: magnitude = digits × 10^exponent.
struct PlacedNumber {
    DecimalDigits digits;
    int exponent = 0;
};

PlacedNumber placedNumber(const NumberLayout& layout, double value) {
    DecimalDigits digits = decimalDigits(value);
    digits.negative = false;
    if (digits.isZero()) return {digits, 0};
    digits.pointPosition += 2 * layout.percents - 3 * layout.scaling;
    if (!layout.scientific) return {roundedToDecimals(digits, layout.decimalPlaceholders), 0};
    const int significant = std::max(layout.integerPlaceholders + layout.decimalPlaceholders, 1);
    DecimalDigits mantissa = roundedToSignificant(digits, significant);
    const int exponent = mantissa.pointPosition - layout.integerPlaceholders;
    mantissa.pointPosition = layout.integerPlaceholders;
    return {mantissa, exponent};
}

// The digits of a whole number, 0 written as one.
int wholeDigitCount(int whole) {
    int count = 1;
    for (; whole > 9; whole /= 10) ++count;
    return count;
}

// Writes the digits of the integer part or of the exponent, placeholder by placeholder.
class WholeDigits {
  public:
    // digitAt(place) gives the digit at a place, `count` the number of places with digits.
    WholeDigits(QString& text, int count, QString groupSeparator)
        : text_(text), count_(count), separator_(std::move(groupSeparator)) {}

    template <typename DigitAt>
    void write(const FormatElement& placeholder, int placeholders, DigitAt digitAt) {
        const int place = placeholder.width;
        // The leftmost placeholder writes the digits beyond the others too.
        const int from = place == placeholders - 1 ? std::max(count_ - 1, place) : place;
        for (int q = from; q >= place; --q) {
            const bool hasDigit = q < count_;
            if (!hasDigit && placeholder.token == FormatToken::DigitHash && !started_) continue;
            text_ += QChar(u'0' + (hasDigit ? digitAt(q) : 0));
            started_ = true;
            if (!separator_.isEmpty() && q > 0 && q % 3 == 0) text_ += separator_;
        }
    }

  private:
    QString& text_;
    int count_;
    QString separator_;
    bool started_ = false;
};

class SectionWriter {
  public:
    SectionWriter(const FormatSection& section, const PlacedNumber& number, const QLocale& locale)
        : section_(section),
          layout_(section.number),
          number_(number),
          locale_(locale),
          integer_(text_, std::max(number.digits.pointPosition, 0),
                   layout_.grouping ? locale.groupSeparator() : QString()),
          // Every placeholder of the exponent shows a digit, `#` as well as `0`.
          exponent_(text_,
                    std::max(wholeDigitCount(std::abs(number.exponent)),
                             section.number.exponentPlaceholders),
                    QString()) {
        const int decimalsWithDigits =
            std::max(number.digits.count - number.digits.pointPosition, 0);
        shownDecimals_ = std::min(std::max(decimalsWithDigits, layout_.decimalZeros),
                                  layout_.decimalPlaceholders);
    }

    QString write() {
        for (const FormatElement& element : section_.elements) writeElement(element);
        return text_;
    }

  private:
    void writeElement(const FormatElement& element) {
        switch (element.token) {
            case FormatToken::DigitZero:
            case FormatToken::DigitHash:
                writeDigit(element);
                break;
            case FormatToken::DecimalPoint:
                text_ += locale_.decimalPoint();
                inExponent_ = false;
                break;
            case FormatToken::Exponent:
                writeExponent(element);
                break;
            case FormatToken::Percent:
                text_ += locale_.percent();
                break;
            case FormatToken::DateSeparator:
                text_ += dateSeparator(locale_);
                break;
            case FormatToken::TimeSeparator:
                text_ += timeSeparator(locale_);
                break;
            default:
                text_ += element.text;
        }
    }

    // E and the exponent's sign; its digits where no placeholder follows to take them.
    void writeExponent(const FormatElement& exponent) {
        text_ += exponent.text;
        if (number_.exponent < 0)
            text_ += u'-';
        else if (exponent.plusSign)
            text_ += u'+';
        if (layout_.exponentPlaceholders == 0) text_ += QString::number(std::abs(number_.exponent));
        inExponent_ = true;
    }

    void writeDigit(const FormatElement& placeholder) {
        if (inExponent_) {
            // Places beyond the exponent's own digits are zeros.
            const int exponent = std::abs(number_.exponent);
            const int digits = wholeDigitCount(exponent);
            exponent_.write(placeholder, layout_.exponentPlaceholders, [&](int place) {
                return place < digits ? exponent / powerOfTen(place) % 10 : 0;
            });
        } else if (placeholder.width >= 0) {
            integer_.write(placeholder, layout_.integerPlaceholders,
                           [&](int place) { return number_.digits.digitAt(place); });
        } else if (-placeholder.width <= shownDecimals_) {
            text_ += QChar(u'0' + number_.digits.digitAt(placeholder.width));
        }
    }

    static int powerOfTen(int place) {
        int power = 1;
        while (place-- > 0) power *= 10;
        return power;
    }

    const FormatSection& section_;
    const NumberLayout& layout_;
    const PlacedNumber& number_;
    const QLocale& locale_;
    QString text_;
    WholeDigits integer_;
    WholeDigits exponent_;
    int shownDecimals_ = 0;
    bool inExponent_ = false;
};

QString yesNo(double value, const char* yes, const char* no) {
    return QString::fromLatin1(value != 0 ? yes : no);
}

}  // namespace

QString formatNumber(const FormatSection& section, double value, bool withSign,
                     const QLocale& locale) {
    const PlacedNumber number = placedNumber(section.number, value);
    const QString text = SectionWriter(section, number, locale).write();
    const bool negative = value < 0 && !number.digits.isZero();
    return withSign && negative ? locale.negativeSign() + text : text;
}

QString formatNamedNumber(NamedFormat named, double value, const QLocale& locale) {
    switch (named) {
        case NamedFormat::Currency: {
            const double cents = decimalValue(roundedToDecimals(decimalDigits(value), 2));
            return locale.toCurrencyString(cents == 0 ? 0.0 : cents, locale.currencySymbol(), 2);
        }
        case NamedFormat::YesNo:
            return yesNo(value, "Yes", "No");
        case NamedFormat::TrueFalse:
            return yesNo(value, "True", "False");
        case NamedFormat::OnOff:
            return yesNo(value, "On", "Off");
        default:
            return doubleText(value);
    }
}

}  // namespace xhook
