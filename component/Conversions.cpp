#include "component/Conversions.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <optional>

#include "component/Errors.h"

namespace xhook {

namespace {

// The user's locale, resolved once per thread while it stays the default. The system locale asks
// the platform for its separators on every conversion; the named locale it stands for answers the
// same from Qt's own tables.
const QLocale& userLocale() {
    thread_local QLocale defaultSeen;
    thread_local QLocale resolved = defaultSeen;
    thread_local bool initialised = false;
    const QLocale current;
    if (!initialised || current != defaultSeen) {
        defaultSeen = current;
        resolved = current == QLocale::system() ? QLocale(current.name()) : current;
        resolved.setNumberOptions(QLocale::OmitGroupSeparator);
        initialised = true;
    }
    return resolved;
}

std::optional<double> parseLocaleNumber(const QString& text) {
    const std::optional<double> value = readLocaleNumber(text);
    if (!value || std::isnan(*value)) return std::nullopt;
    return value;
}

QString describe(const QString& what, const QString& text) {
    return what.isEmpty() ? QStringLiteral("\"%1\"").arg(text)
                          : QStringLiteral("%1 = \"%2\"").arg(what, text);
}

}  // namespace

std::optional<double> readLocaleNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    bool ok = false;
    const double value = userLocale().toDouble(trimmed, &ok);
    if (!ok) return std::nullopt;
    return value;
}

qint16 textToInt16(const QString& text, const QString& what) {
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number) raiseTypeMismatch(describe(what, text));
    const double rounded = std::nearbyint(*number);  // default rounding mode: halves to even
    if (!std::isfinite(rounded) || rounded < -32768.0 || rounded > 32767.0)
        raiseOverflow(describe(what, text));
    return static_cast<qint16>(rounded);
}

double textToDouble(const QString& text, const QString& what) {
    const std::optional<double> number = parseLocaleNumber(text);
    if (!number) raiseTypeMismatch(describe(what, text));
    if (!std::isfinite(*number)) raiseOverflow(describe(what, text));
    return *number;
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
            return userLocale().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
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
