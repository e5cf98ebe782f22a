#include "foundation/DecimalDigits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace xhook {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
// Whole numbers below this are exact doubles, and so are their quotients by a power of ten above
// correctly rounded; two decimals of at most 15 significant digits never read as the same double.
constexpr double kExactDigitsLimit = 1e15;
constexpr int kMostDecimalsTried = 8;

// "00" to "99", so that digits are written two at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[size_t(2 * i)] = char('0' + i / 10);
        pairs[size_t(2 * i + 1)] = char('0' + i % 10);
    }
    return pairs;
}();

void dropTrailingZeros(DecimalDigits& number) {
    while (number.count > 0 && number.digits[number.count - 1] == '0') --number.count;
}

// The digits of a magnitude that a decimal of few digits stands for (amounts, prices,
// quantities): the fewest decimals whose decimal reads back as the magnitude. Such a decimal has
// at most 15 digits, so it is also the nearest one of 15 digits. False for other magnitudes.
bool fewDecimalDigits(double magnitude, DecimalDigits& result) {
    for (int decimals = 0; decimals <= kMostDecimalsTried; ++decimals) {
        const double scaled = magnitude * kPowersOfTen[decimals];
        if (scaled >= kExactDigitsLimit) return false;
        // The nearest whole number; a tie may go either way, and no tie passes the test below.
        const double whole = double(quint64(scaled + 0.5));
        if (whole == 0 || whole / kPowersOfTen[decimals] != magnitude) continue;
        result.count = writeDecimalDigits(quint64(whole), result.digits);
        result.pointPosition = result.count - decimals;
        dropTrailingZeros(result);
        return true;
    }
    return false;
}

// Whether a magnitude lies exactly halfway between two decimals of 15 significant digits: its
// 16th digit is a 5 and its exact decimal expansion ends there. std::to_chars rounds such a tie
// to even; the component's texts round it away from zero, as QLocale writes them.
bool isFifteenDigitTie(double magnitude) {
    char sixteen[40];
    std::to_chars(sixteen, sixteen + sizeof sixteen, magnitude, std::chars_format::scientific,
                  DecimalDigits::kMostDigits);
    if (sixteen[DecimalDigits::kMostDigits + 1] != '5') return false;  // "d." then 15 digits
    // A double's exact expansion has at most 767 significant digits.
    char exact[800];
    const auto written =
        std::to_chars(exact, exact + sizeof exact, magnitude, std::chars_format::scientific, 780);
    const char* digit = exact + DecimalDigits::kMostDigits + 2;
    for (; digit < written.ptr && *digit != 'e'; ++digit)
        if (*digit != '0') return false;
    return true;
}

// Adds one unit in the last of the first `kept` digits, carrying to the left.
void roundUp(DecimalDigits& number, int kept);

// Any other magnitude: its 15 significant digits, correctly rounded, halves away from zero, and
// whether they read back.
void fifteenDigits(double magnitude, DecimalDigits& result) {
    char scientific[40];
    const auto written =
        std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                      std::chars_format::scientific, DecimalDigits::kMostDigits - 1);
    const char* p = scientific;
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.') result.digits[result.count++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), written.ptr, exponent);
    result.pointPosition = exponent + 1;
    double back = 0;
    std::from_chars(scientific, written.ptr, back, std::chars_format::scientific);
    result.exact = back == magnitude;
    // A tie rounded down to an even digit goes up instead.
    if (back < magnitude && isFifteenDigitTie(magnitude)) roundUp(result, result.count);
    dropTrailingZeros(result);
}

// Adds one unit in the last of the first `kept` digits, carrying to the left.
void roundUp(DecimalDigits& number, int kept) {
    int i = kept - 1;
    for (; i >= 0 && number.digits[i] == '9'; --i) number.digits[i] = '0';
    if (i >= 0) {
        ++number.digits[i];
        number.count = kept;
    } else {
        number.digits[0] = '1';
        number.count = 1;
        ++number.pointPosition;
    }
}

// Keeps the first `kept` digits, rounding half away from zero on the digit after them.
DecimalDigits keptDigits(const DecimalDigits& number, int kept) {
    if (kept >= number.count) return number;
    DecimalDigits result = number;
    result.exact = false;
    const bool up = kept >= 0 && number.digits[kept] >= '5';
    result.count = std::max(kept, 0);
    if (up) roundUp(result, kept);
    dropTrailingZeros(result);
    if (result.isZero()) result.pointPosition = 0;
    return result;
}

}  // namespace

int writeDecimalDigits(quint64 whole, char* out) {
    char digits[20];
    char* const end = digits + sizeof digits;
    char* first = end;
    for (; whole >= 100; whole /= 100) {
        first -= 2;
        std::memcpy(first, &kDigitPairs[size_t(2 * (whole % 100))], 2);
    }
    if (whole >= 10) {
        first -= 2;
        std::memcpy(first, &kDigitPairs[size_t(2 * whole)], 2);
    } else {
        *--first = char('0' + whole);
    }
    const int count = int(end - first);
    std::memcpy(out, first, size_t(count));
    return count;
}

DecimalDigits decimalDigits(double value) {
    DecimalDigits result;
    result.negative = std::signbit(value) && value != 0;
    const double magnitude = std::fabs(value);
    if (magnitude == 0 || fewDecimalDigits(magnitude, result)) return result;
    fifteenDigits(magnitude, result);
    return result;
}

DecimalDigits roundedToDecimals(const DecimalDigits& number, int decimals) {
    return keptDigits(number, number.pointPosition + decimals);
}

DecimalDigits roundedToSignificant(const DecimalDigits& number, int significant) {
    return keptDigits(number, significant);
}

double decimalValue(const DecimalDigits& number) {
    if (number.isZero()) return 0.0;
    char text[DecimalDigits::kMostDigits + 16];
    int length = 0;
    if (number.negative) text[length++] = '-';
    std::memcpy(text + length, number.digits, size_t(number.count));
    length += number.count;
    text[length++] = 'e';
    const auto written =
        std::to_chars(text + length, text + sizeof text, number.pointPosition - number.count);
    double value = 0;
    std::from_chars(text, written.ptr, value, std::chars_format::scientific);
    return value;
}

}  // namespace xhook
