// The settings conversions: any text converts to a 16-bit integer and to a double or fails with
// a type mismatch or an overflow; a double written as a cell's text reads back as itself, or,
// where the text shows fewer digits (at most 15 significant), is kept behind it.
#include <cmath>
#include <cstring>

#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "fuzz/FuzzCheck.h"

using namespace xhook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::inputText(data, size);
    try {
        const qint16 value = textToInt16(text, QStringLiteral("fuzz"));
        (void)value;
    } catch (const RuntimeError& error) {
        fuzz::check(error.number() == RuntimeErrorNumber::TypeMismatch ||
                        error.number() == RuntimeErrorNumber::Overflow,
                    "int16: type mismatch or overflow");
    }
    try {
        fuzz::check(std::isfinite(textToDouble(text, QStringLiteral("fuzz"))), "finite double");
    } catch (const RuntimeError& error) {
        fuzz::check(error.number() == RuntimeErrorNumber::TypeMismatch ||
                        error.number() == RuntimeErrorNumber::Overflow,
                    "double: type mismatch or overflow");
    }
    if (size >= sizeof(double)) {
        double number = 0;
        std::memcpy(&number, data, sizeof number);
        if (std::isfinite(number)) {
            ValueText written;
            written.assignDouble(number);
            const std::optional<double> back = readLocaleNumber(written.toString());
            fuzz::check(back.has_value(), "a number's text reads back as a number");
            fuzz::check(*back == number || written.numberBehindText() == number,
                        "a number's text reads back as it, or the number stays behind it");
        }
    }
    return 0;
}
