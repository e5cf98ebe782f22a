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

#include "foundation/DecimalDigits.h"
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

// The plain decimal form covers the magnitudes written in full: 10^-4 up to below 10^15.
constexpr int kLowestPlainExponent = -4;
constexpr int kHighestPlainExponent = 14;

// Writes the plain decimal form of a number's digits into `text` (room for 40 characters) and
// returns its length; 0 where the number takes the exponent form or the locale writes numbers in
// a way of its own.
int writePlainDigits(const DecimalDigits& d, const UserNumbers& numbers, char16_t* text) {
    if (!numbers.plainDigits) return 0;
    if (d.isZero()) {
        text[0] = u'0';
        return 1;
    }
    const int exponent = d.pointPosition - 1;
    if (exponent < kLowestPlainExponent || exponent > kHighestPlainExponent) return 0;
    int length = 0;
    if (d.negative) text[length++] = numbers.minusSign;
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

// The same text as writePlainDigits, and the exponent form, in any locale: 15 significant digits,
// the exponent form ("1.5E+15", "1E-05") outside the plain range.
QString localeNumberText(double value, const UserNumbers& numbers) {
    return numbers.locale.toString(value, 'G', DecimalDigits::kMostDigits);
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

// The number of a text, where it is a finite one: "nan", "inf" and "infinity" are words, not
// numbers, to the conversions.
std::optional<double> parseLocaleNumber(QStringView text, const LocaleNumbers& numbers) {
    const std::optional<double> value = numbers.read(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
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
    if (rounded < -32768.0 || rounded > 32767.0) raiseOverflow(describe(what, text));
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
    numberWritten_ = std::isfinite(value);
    number_ = value == 0 ? 0.0 : value;  // a zero is written "0"
    textIsExact_ = true;
    if (!numberWritten_) {
        owned_ = numbers_->locale.toString(value, 'G', DecimalDigits::kMostDigits);
        length_ = kOwned;
        return;
    }
    const DecimalDigits digits = decimalDigits(value);
    textIsExact_ = digits.exact;
    length_ = writePlainDigits(digits, *numbers_, buffer_);
    if (length_ == 0) {
        owned_ = localeNumberText(value, *numbers_);
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
