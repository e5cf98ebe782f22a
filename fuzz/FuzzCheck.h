#pragma once

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: the input as text, and a check that stops the run with the
// property that failed (libFuzzer then keeps the input as a crash).
namespace xhook::fuzz {

inline QString inputText(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline void check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %s\n", property);
    std::abort();
}

}  // namespace xhook::fuzz
