#include "component/Conversions.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "component/Errors.h"

namespace xhook {

namespace {

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

// The shortest decimal digits of a finite, non-zero |value| that read back as the same number,
// and the position of the decimal point: value = 0.digits × 10^pointPosition.
struct ShortestDigits {
    char digits[24];
    int count = 0;
    int pointPosition = 0;
};

ShortestDigits shortestDigits(double value) {
    char scientific[40];
    const auto written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                       std::chars_format::scientific);
    ShortestDigits result;
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

// The text that QLocale::toString(value, 'g', FloatingPointShortest) gives in the decimal form,
// written directly; empty where that form is not the one QLocale writes.
QString plainDoubleText(double value, const UserNumbers& numbers) {
    if (!numbers.plainDigits || !std::isfinite(value)) return {};
    if (value == 0) return QStringLiteral("0");
    const ShortestDigits d = shortestDigits(value);
    if (!writesDecimalForm(d)) return {};
    char16_t text[48];
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
    return QString(reinterpret_cast<const QChar*>(text), length);
}

// The number of a text made only of an optional minus sign, ASCII digits and at most one decimal
// point with digits on both sides, read as QLocale reads it (to the nearest double); none for
// any other text, which QLocale reads.
std::optional<double> readPlainDecimal(QStringView text, const UserNumbers& numbers) {
    constexpr qsizetype kLongest = 64;
    if (!numbers.plainDigits || text.size() > kLongest) return std::nullopt;
    char ascii[kLongest];
    qsizetype length = 0, i = 0;
    if (text.front() == numbers.minusSign) ascii[length++] = '-', ++i;
    const qsizetype integerStart = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        ascii[length++] = char(text[i].unicode());
    if (i == integerStart) return std::nullopt;
    if (i < text.size() && text[i] == numbers.decimalPoint) {
        ascii[length++] = '.';
        const qsizetype decimalsStart = ++i;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
            ascii[length++] = char(text[i].unicode());
        if (i == decimalsStart) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto read = std::from_chars(ascii, ascii + length, value, std::chars_format::fixed);
    if (read.ec != std::errc() || read.ptr != ascii + length) return std::nullopt;
    return value;
}

std::optional<double> parseLocaleNumber(QStringView text) {
    const std::optional<double> value = readLocaleNumber(text);
    if (!value || std::isnan(*value)) return std::nullopt;
    return value;
}

// A number too large for a double: the locale reads it as an infinity and reports no conversion.
bool isOutOfRangeNumber(QStringView text) {
    bool ok = false;
    const double value = userNumbers().locale.toDouble(text.trimmed(), &ok);
    return !ok && std::isinf(value);
}

QString describe(const QString& what, QStringView text) {
    return what.isEmpty() ? QStringLiteral("\"%1\"").arg(text)
                          : QStringLiteral("%1 = \"%2\"").arg(what, text);
}

// A text that holds no number: an overflow when it is a number too large, else a type mismatch.
[[noreturn]] void raiseNoNumber(QStringView text, const QString& what) {
    if (isOutOfRangeNumber(text)) raiseOverflow(describe(what, text));
    raiseTypeMismatch(describe(what, text));
}

}  // namespace

std::optional<double> readLocaleNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const UserNumbers& numbers = userNumbers();
    if (const std::optional<double> plain = readPlainDecimal(trimmed, numbers)) return plain;
    bool ok = false;
    const double value = numbers.locale.toDouble(trimmed, &ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<double> readLocaleNumber(const QString& text) {
    return readLocaleNumber(QStringView(text));
}

qint16 textToInt16(const QString& text, const QString& what) {
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number) raiseNoNumber(text, what);
    const double rounded = std::nearbyint(*number);  // default rounding mode: halves to even
    if (!std::isfinite(rounded) || rounded < -32768.0 || rounded > 32767.0)
        raiseOverflow(describe(what, text));
    return static_cast<qint16>(rounded);
}

double textToDouble(QStringView text, const QString& what) {
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number) raiseNoNumber(text, what);
    if (!std::isfinite(*number)) raiseOverflow(describe(what, text));
    return *number;
}

double textToDouble(const QString& text, const QString& what) {
    return textToDouble(QStringView(text), what);
}

QString doubleText(double value) {
    const UserNumbers& numbers = userNumbers();
    QString plain = plainDoubleText(value, numbers);
    if (!plain.isEmpty()) return plain;
    return numbers.locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

QString valueText(const QVariant& value) {
    if (value.isNull()) return {};
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString();
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            return QString::number(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return doubleText(value.toDouble());
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        case QMetaType::QDateTime:
            return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        case QMetaType::QByteArray:
            return QString::fromUtf8(value.toByteArray());
        default:
            return value.toString();
    }
}

bool valueEquals(const QVariant& value, qint64 n) {
    if (value.isNull()) return false;
    bool ok = false;
    const double number = value.typeId() == QMetaType::QString
                              ? userLocale().toDouble(value.toString().trimmed(), &ok)
                              : value.toDouble(&ok);
    return ok && number == static_cast<double>(n);
}

}  // namespace xhook
