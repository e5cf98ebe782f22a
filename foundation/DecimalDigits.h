#pragma once

#include <QtGlobal>

namespace xhook {

// The decimal that the component writes for a double: the nearest decimal of at most 15
// significant digits, as `value = ±0.d₁d₂…dₙ × 10^pointPosition` with no trailing zero digit
// (zero has no digits at all). Texts and formats both start from these digits, so a format rounds
// the number the user reads, not the binary double behind it.
struct DecimalDigits {
    static constexpr int kMostDigits = 15;

    char digits[kMostDigits + 1] = {};
    int count = 0;
    int pointPosition = 0;
    bool negative = false;
    // Whether reading the digits back gives the double they were made from.
    bool exact = true;

    bool isZero() const { return count == 0; }
    // The digit at a place: 0 is the ones, 1 the tens, -1 the tenths; 0 beyond the digits.
    int digitAt(int place) const {
        const int index = pointPosition - 1 - place;
        return index >= 0 && index < count ? digits[index] - '0' : 0;
    }
};

// The digits of a finite double.
DecimalDigits decimalDigits(double value);

// The same decimal rounded half away from zero to `decimals` places after the point.
DecimalDigits roundedToDecimals(const DecimalDigits& number, int decimals);

// The same decimal rounded half away from zero to `significant` digits.
DecimalDigits roundedToSignificant(const DecimalDigits& number, int significant);

// The nearest double to the decimal.
double decimalValue(const DecimalDigits& number);

// Writes the digits of a whole number into `out` (room for 20) and returns their count.
int writeDecimalDigits(quint64 whole, char* out);

}  // namespace xhook
