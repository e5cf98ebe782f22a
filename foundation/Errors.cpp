#include "foundation/Errors.h"

#include <limits>

// The public error type, which every error of the component is; its constructor lives with the
// component's own errors.
DeZuvarEDodOziv8::Error::Error(long number, QString description)
    : number_(number), description_(std::move(description)), what_(description_.toUtf8()) {}

namespace xhook {

namespace {

[[noreturn]] void raise(long number, const QString& standardText, const QString& detail) {
    throw RuntimeError(number, detail.isEmpty() ? standardText : standardText + ": " + detail);
}

}  // namespace

void raiseOverflow(const QString& detail) {
    raise(RuntimeErrorNumber::Overflow, QStringLiteral("溢出"), detail);
}

void raiseSubscriptOutOfRange(const QString& detail) {
    raise(RuntimeErrorNumber::SubscriptOutOfRange, QStringLiteral("下标越界"), detail);
}

void raiseTypeMismatch(const QString& detail) {
    raise(RuntimeErrorNumber::TypeMismatch, QStringLiteral("类型不匹配"), detail);
}

void raiseInvalidUseOfNull(const QString& detail) {
    raise(RuntimeErrorNumber::InvalidUseOfNull, QStringLiteral("无效使用 Null"), detail);
}

void raiseInvalidProcedureCall(const QString& detail) {
    raise(RuntimeErrorNumber::InvalidProcedureCall, QStringLiteral("无效的过程调用或参数"), detail);
}

qint16 checkedInt16(qint64 value, const QString& what) {
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        raiseOverflow(what.isEmpty() ? QString::number(value)
                                     : what + " = " + QString::number(value));
    return static_cast<qint16>(value);
}

}  // namespace xhook
