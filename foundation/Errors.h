#pragma once

#include <QString>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"

namespace xhook {

// Every error that the component raises carries a number and a description, the two things a
// host receives when a call fails and the text that the message boxes show. It is the public
// error type, so that an error reaches the host as it was raised.
class ComponentError : public DeZuvarEDodOziv8::Error {
  public:
    using Error::Error;
};

// Errors of the component's own code, numbered as the host's scripting runtime numbers them, so
// that a host sees the numbers it knows.
namespace RuntimeErrorNumber {
constexpr long InvalidProcedureCall = 5;
constexpr long Overflow = 6;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long InvalidUseOfNull = 94;
constexpr long CannotCreateObject = 429;
constexpr long ObjectRequired = 424;
}  // namespace RuntimeErrorNumber

class RuntimeError : public ComponentError {
  public:
    using ComponentError::ComponentError;
};

// The standard runtime errors. `detail` says where; it is added to the standard text.
[[noreturn]] void raiseOverflow(const QString& detail = {});
[[noreturn]] void raiseSubscriptOutOfRange(const QString& detail = {});
[[noreturn]] void raiseTypeMismatch(const QString& detail = {});
[[noreturn]] void raiseInvalidUseOfNull(const QString& detail = {});
[[noreturn]] void raiseInvalidProcedureCall(const QString& detail = {});

// Row numbers, column indexes and loop counters are 16-bit signed integers; a value outside that
// range is an overflow.
qint16 checkedInt16(qint64 value, const QString& what = {});

}  // namespace xhook
