#include "foundation/Conversions.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "foundation/Errors.h"

namespace xhook {

// The user's locale, resolved once per thread while it stays the default, with the symbols that
// the plain number forms below write and read. The system locale asks the platform for its
// separators on every conversion; the named locale it stands for answers the same from Qt's own
// tables.
struct UserNumbers {
    QLocale locale;
    // The plain forms are taken by the code below only where the locale writes ASCII digits and
    // one character each for the decimal point and the minus sign; elsewhere QLocale does all.
    bool plainDigits = false;
    char16_t decimalPoint = u'.';
    char16_t minusSign = u'-';
};

namespace {

UserNumbers resolveUserNumbers(const QLocale& current) {
    UserNumbers numbers;
    numbers.locale = current == QLocale::system() ? QLocale(current.name()) : current;
    numbers.locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString point = numbers.locale.decimalPoint();
    const QString minus = numbers.locale.negativeSign();
    numbers.plainDigits = numbers.locale.zeroDigit() == u"0" && point.size() == 1 &&
                          minus.size() == 1 && !point[0].isDigit() && !minus[0].isDigit();
    if (numbers.plainDigits) {
        numbers.decimalPoint = point[0].unicode();
        numbers.minusSign = minus[0].unicode();
    }
    return numbers;
}

const UserNumbers& userNumbers() {
    thread_local QLocale defaultSeen;
    thread_local UserNumbers resolved;
    thread_local bool initialised = false;
    const QLocale current;
    if (!initialised || current != defaultSeen) {
        defaultSeen = current;
        resolved = resolveUserNumbers(current);
        initialised = true;
    }
    return resolved;
}

const QLocale& userLocale() {
    return userNumbers().locale;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Whole numbers below this are exact doubles, and so are their quotients by a power of ten above
// correctly rounded; two decimals of at most 15 significant digits never read as the same double.
constexpr double kExactDigitsLimit = 1e15;
constexpr int kMostDecimalsTried = 8;

// The shortest decimal digits of a finite, non-zero |value| that read back as the same number,
// and the position of the decimal point: value = 0.digits × 10^pointPosition.
struct ShortestDigits {
    char digits[24];
    int count = 0;
    int pointPosition = 0;
};

// "00" to "99", so that digits are written two at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[size_t(2 * i)] = char('0' + i / 10);
        pairs[size_t(2 * i + 1)] = char('0' + i % 10);
    }
    return pairs;
}();

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

// The digits of a magnitude that a decimal of few digits stands for (amounts, prices,
// quantities): the fewest decimals whose decimal reads back as the magnitude. False for others.
bool fewDecimalDigits(double magnitude, ShortestDigits& result) {
    for (int decimals = 0; decimals <= kMostDecimalsTried; ++decimals) {
        const double scaled = magnitude * kPowersOfTen[decimals];
        if (scaled >= kExactDigitsLimit) return false;
        // The nearest whole number; a tie may go either way, and no tie passes the test below.
        const double whole = double(quint64(scaled + 0.5));
        if (whole == 0 || whole / kPowersOfTen[decimals] != magnitude) continue;
        result.count = writeDecimalDigits(quint64(whole), result.digits);
        result.pointPosition = result.count - decimals;
        while (result.count > 1 && result.digits[result.count - 1] == '0') --result.count;
        return true;
    }
    return false;
}

ShortestDigits shortestDigits(double value) {
    ShortestDigits result;
    if (fewDecimalDigits(std::fabs(value), result)) return result;
    char scientific[40];
    const auto written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                       std::chars_format::scientific);
    const char* p = scientific;
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.') result.digits[result.count++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), written.ptr, exponent);
    result.pointPosition = exponent + 1;
    return result;
}

// Whether QLocale's shortest 'g' form of these digits is the decimal one: it is where that form
// is not longer than d.ddde+XX.
bool writesDecimalForm(const ShortestDigits& d) {
    const int exponent = d.pointPosition - 1;
    const int exponentDigits = std::abs(exponent) >= 100 ? 3 : 2;
    const int exponentLength = d.count + (d.count > 1 ? 1 : 0) + 2 + exponentDigits;
    const int decimalLength = d.pointPosition <= 0        ? 2 - d.pointPosition + d.count
                              : d.pointPosition < d.count ? d.count + 1
                                                          : d.pointPosition;
    return decimalLength <= exponentLength;
}

// Writes the text that QLocale::toString(value, 'g', FloatingPointShortest) gives in the decimal
// form into `text` (room for 40 characters) and returns its length; 0 where that form
// is not the one QLocale writes.
int writePlainDouble(double value, const UserNumbers& numbers, char16_t* text) {
    if (!numbers.plainDigits || !std::isfinite(value)) return 0;
    if (value == 0) {
        text[0] = u'0';
        return 1;
    }
    const ShortestDigits d = shortestDigits(value);
    if (!writesDecimalForm(d)) return 0;
    int length = 0;
    if (value < 0) text[length++] = numbers.minusSign;
    if (d.pointPosition <= 0) {
        text[length++] = u'0';
        text[length++] = numbers.decimalPoint;
        for (int i = d.pointPosition; i < 0; ++i) text[length++] = u'0';
    }
    for (int i = 0; i < d.count; ++i) {
        if (i == d.pointPosition && i > 0) text[length++] = numbers.decimalPoint;
        text[length++] = char16_t(d.digits[i]);
    }
    for (int i = d.count; i < d.pointPosition; ++i) text[length++] = u'0';
    return length;
}

int writeInteger(qlonglong value, char16_t* text) {
    char digits[20];
    const quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    const int count = writeDecimalDigits(magnitude, digits);
    int length = 0;
    if (value < 0) text[length++] = u'-';
    for (int i = 0; i < count; ++i) text[length++] = char16_t(digits[i]);
    return length;
}

// The plain decimal of a text: an optional minus sign, ASCII digits, and at most one decimal
// point with digits on both sides. What QLocale reads such a text as is the nearest double,
// which is computed here; other texts are left to QLocale.
struct PlainDecimal {
    bool negative = false;
    quint64 mantissa = 0;  // the first kMantissaDigits significant digits
    int significantDigits = 0;
    int decimals = 0;
};

std::optional<PlainDecimal> scanPlainDecimal(QStringView text, const UserNumbers& numbers) {
    constexpr int kMantissaDigits = 18;
    PlainDecimal scanned;
    qsizetype i = 0;
    if (text.front() == numbers.minusSign) scanned.negative = true, ++i;
    const auto digits = [&](bool afterPoint) {
        const qsizetype first = i;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            const int digit = text[i].unicode() - u'0';
            if (scanned.significantDigits > 0 || digit != 0) ++scanned.significantDigits;
            if (scanned.significantDigits <= kMantissaDigits)
                scanned.mantissa = scanned.mantissa * 10 + quint64(digit);
            if (afterPoint) ++scanned.decimals;
        }
        return i > first;
    };
    if (!digits(false)) return std::nullopt;
    if (i < text.size() && text[i] == numbers.decimalPoint) {
        ++i;
        if (!digits(true)) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return scanned;
}

std::optional<double> readPlainDecimal(QStringView text, const UserNumbers& numbers) {
    if (!numbers.plainDigits) return std::nullopt;
    const std::optional<PlainDecimal> scanned = scanPlainDecimal(text, numbers);
    if (!scanned) return std::nullopt;
    double value = 0;
    if (scanned->significantDigits <= 15 && scanned->decimals <= 22) {
        // Both operands exact, so the one rounding of the quotient gives the nearest double.
        value = double(scanned->mantissa) / kPowersOfTen[scanned->decimals];
    } else {
        constexpr qsizetype kLongest = 64;
        if (text.size() > kLongest) return std::nullopt;
        char ascii[kLongest];
        qsizetype length = 0;
        for (const QChar c : text.mid(scanned->negative ? 1 : 0))
            ascii[length++] = c == QChar(numbers.decimalPoint) ? '.' : char(c.unicode());
        const auto read = std::from_chars(ascii, ascii + length, value, std::chars_format::fixed);
        if (read.ec != std::errc() || read.ptr != ascii + length) return std::nullopt;
    }
    return scanned->negative ? -value : value;
}

std::optional<double> parseLocaleNumber(QStringView text, const LocaleNumbers& numbers) {
    const std::optional<double> value = numbers.read(text);
    if (!value || std::isnan(*value)) return std::nullopt;
    return value;
}

// A number too large for a double: the locale reads it as an infinity and reports no conversion.
bool isOutOfRangeNumber(QStringView text, const UserNumbers& numbers) {
    bool ok = false;
    const double value = numbers.locale.toDouble(text.trimmed(), &ok);
    return !ok && std::isinf(value);
}

QString describe(const QString& what, QStringView text) {
    return what.isEmpty() ? QStringLiteral("\"%1\"").arg(text)
                          : QStringLiteral("%1 = \"%2\"").arg(what, text);
}

// A text that holds no number: an overflow when it is a number too large, else a type mismatch.
[[noreturn]] void raiseNoNumber(QStringView text, const QString& what, const UserNumbers& numbers) {
    if (isOutOfRangeNumber(text, numbers)) raiseOverflow(describe(what, text));
    raiseTypeMismatch(describe(what, text));
}

}  // namespace

LocaleNumbers::LocaleNumbers() : forms_(userNumbers()) {}

std::optional<double> LocaleNumbers::read(QStringView text) const {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    if (const std::optional<double> plain = readPlainDecimal(trimmed, forms_)) return plain;
    bool ok = false;
    const double value = forms_.locale.toDouble(trimmed, &ok);
    if (!ok) return std::nullopt;
    return value;
}

double LocaleNumbers::toDouble(QStringView text, const QString& what) const {
    const std::optional<double> number = parseLocaleNumber(text, *this);
    if (!number) raiseNoNumber(text, what, forms_);
    if (!std::isfinite(*number)) raiseOverflow(describe(what, text));
    return *number;
}

std::optional<double> readLocaleNumber(QStringView text) {
    return LocaleNumbers().read(text);
}

std::optional<double> readLocaleNumber(const QString& text) {
    return readLocaleNumber(QStringView(text));
}

qint16 textToInt16(const QString& text, const QString& what) {
    const LocaleNumbers numbers;
    const std::optional<double> number = parseLocaleNumber(text, numbers);
    if (!number) raiseNoNumber(text, what, numbers.forms());
    const double rounded = std::nearbyint(*number);  // default rounding mode: halves to even
    if (!std::isfinite(rounded) || rounded < -32768.0 || rounded > 32767.0)
        raiseOverflow(describe(what, text));
    return static_cast<qint16>(rounded);
}

double textToDouble(QStringView text, const QString& what) {
    return LocaleNumbers().toDouble(text, what);
}

double textToDouble(const QString& text, const QString& what) {
    return textToDouble(QStringView(text), what);
}

QString doubleText(double value) {
    ValueText text;
    text.assignDouble(value);
    return text.toString();
}

ValueText::ValueText() : numbers_(&userNumbers()) {}

void ValueText::assignDouble(double value) {
    length_ = writePlainDouble(value, *numbers_, buffer_);
    numberWritten_ = length_ > 0;
    number_ = value == 0 ? 0.0 : value;  // a zero is written "0"
    if (length_ == 0) {
        owned_ = numbers_->locale.toString(value, 'g', QLocale::FloatingPointShortest);
        length_ = kOwned;
    }
}

// The common types are read in place, without a conversion. A NULL that is no text must not be
// read in place (it holds a zero).
void ValueText::assignOther(const QVariant& value) {
    const int type = value.typeId();
    if (value.isNull()) {
        owned_ = QString();
        return;
    }
    switch (type) {
        case QMetaType::LongLong:
            length_ = writeInteger(*static_cast<const qlonglong*>(value.constData()), buffer_);
            return;
        case QMetaType::Int:
            length_ = writeInteger(*static_cast<const int*>(value.constData()), buffer_);
            return;
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            length_ = writeInteger(value.toLongLong(), buffer_);
            return;
        case QMetaType::Double:
            assignDouble(*static_cast<const double*>(value.constData()));
            return;
        case QMetaType::Float:
            assignDouble(value.toDouble());
            return;
        case QMetaType::QDate:
            owned_ = value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
            return;
        case QMetaType::QDateTime:
            owned_ = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            return;
        case QMetaType::QByteArray:
            owned_ = QString::fromUtf8(value.toByteArray());
            return;
        default:
            owned_ = value.toString();
    }
}

QString ValueText::toString() const {
    return length_ == kOwned ? owned_ : QString(reinterpret_cast<const QChar*>(buffer_), length_);
}

QString valueText(const QVariant& value) {
    ValueText text;
    text.assign(value);
    return text.toString();
}

bool valueEquals(const QVariant& value, qint64 n) {
    if (value.isNull()) return false;
    const int type = value.typeId();
    if (type == QMetaType::LongLong || type == QMetaType::Int)
        return double(value.toLongLong()) == double(n);  // as toDouble reads them
    bool ok = false;
    const double number = value.typeId() == QMetaType::QString
                              ? userLocale().toDouble(value.toString().trimmed(), &ok)
                              : value.toDouble(&ok);
    return ok && number == static_cast<double>(n);
}

}  // namespace xhook
