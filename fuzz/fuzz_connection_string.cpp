// The connection-string parser: any text parses or is refused with a DbError; what parses answers
// the lookups the backends make, a value's key is found whatever its case, and the text shown for
// it hides a password that it holds.
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "fuzz/FuzzCheck.h"

using namespace xhook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::inputText(data, size);
    try {
        const data::ConnectionString cs = data::ConnectionString::parse(text);
        for (const char* key : {"Provider", "Data Source", "Mode", "Server", "Port", "Database",
                                "User ID", "Password"}) {
            const QString name = QString::fromLatin1(key);
            const bool present = cs.contains(name);
            fuzz::check(present == cs.contains(name.toUpper()), "keys compare without case");
            if (!present) fuzz::check(cs.value(name, "fallback") == "fallback", "absent: fallback");
            try {
                const QString value = cs.required(name);
                fuzz::check(!value.isEmpty(), "a required value is not empty");
            } catch (const data::DbError&) {
            }
        }
        cs.provider();
        if (cs.contains("Password"))
            fuzz::check(data::ConnectionString::forDisplay(text).contains("***"),
                        "a password is hidden");
    } catch (const data::DbError& error) {
        fuzz::check(!error.description().isEmpty(), "a refusal says why");
    }
    return 0;
}
