#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: the input as text, and a check that stops the run with the
// property that failed (libFuzzer then keeps the input as a crash).
namespace xhook::fuzz {

// Decoded as UTF-8 with a leading byte-order mark kept as a character, as the C surface decodes
// a host's text: a check sees what the host sent.
inline QString inputText(const uint8_t* data, size_t size) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(data, static_cast<qsizetype>(size)));
}

inline void check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %s\n", property);
    std::abort();
}

}  // namespace xhook::fuzz
