#include "data/Parameter.h"

#include <climits>
#include <cmath>

#include "data/DbError.h"

namespace xhook::data {

namespace {

[[noreturn]] void raiseWrongType(const Parameter& parameter, const QString& problem) {
    throw DbError(DbErrorNumber::WrongType,
                  QStringLiteral("parameter '%1': %2").arg(parameter.name, problem));
}

QVariant textValue(const Parameter& parameter) {
    if (!parameter.value.canConvert<QString>())
        raiseWrongType(parameter, QStringLiteral("the value cannot be converted to text"));
    const QString text = parameter.value.toString();
    if (parameter.size > 0 && text.size() > parameter.size)
        raiseValueTooLong(parameter, text.size());
    return text;
}

bool isIntegral(int typeId) {
    switch (typeId) {
        case QMetaType::Bool:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return true;
        default:
            return false;
    }
}

// A whole number from an integer, a whole floating-point value or a trimmed decimal text.
QVariant integerValue(const Parameter& parameter) {
    const QVariant& value = parameter.value;
    const int typeId = value.typeId();
    bool ok = false;
    qint64 number = 0;
    if (isIntegral(typeId)) {
        number = value.toLongLong(&ok);
        ok = ok && !(typeId == QMetaType::ULongLong && value.toULongLong() > quint64(LLONG_MAX));
    } else if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
        const double d = value.toDouble();
        ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.2e18;
        number = ok ? static_cast<qint64>(d) : 0;
    } else if (typeId == QMetaType::QString || typeId == QMetaType::QByteArray) {
        // Qt's conversion stops at a NUL character and would read "10\001" as 10.
        const QString text = value.toString().trimmed();
        if (!text.contains(QChar(0))) number = text.toLongLong(&ok);
    }
    if (!ok)
        raiseWrongType(parameter,
                       QStringLiteral("\"%1\" is not a 64-bit integer").arg(value.toString()));
    return number;
}

}  // namespace

void raiseValueTooLong(const Parameter& parameter, qsizetype length) {
    throw DbError(DbErrorNumber::ValueTooLong,
                  QStringLiteral("parameter '%1' holds %2 characters, more than its size of %3")
                      .arg(parameter.name)
                      .arg(length)
                      .arg(parameter.size));
}

// A NULL stays NULL, typed as the parameter.
QVariant boundInputValue(const Parameter& parameter) {
    const bool null = parameter.value.isNull();
    switch (parameter.type) {
        case adVarChar:
            return null ? QVariant(QMetaType::fromType<QString>()) : textValue(parameter);
        case adBigInt:
            return null ? QVariant(QMetaType::fromType<qint64>()) : integerValue(parameter);
        default:
            raiseWrongType(parameter,
                           QStringLiteral("data type %1 is not supported").arg(parameter.type));
    }
}

}  // namespace xhook::data
