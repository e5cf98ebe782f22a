#include "window/GridRowText.h"

#include <QString>
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xhook {

namespace {

// The room at least doubles, so that a builder serving row after row soon stops allocating.
template <typename T>
void growTo(std::unique_ptr<T[]>& buffer, qsizetype used, qsizetype& room, qsizetype needed) {
    const qsizetype grown = std::max(needed, room * 2);
    auto larger = std::make_unique_for_overwrite<T[]>(size_t(grown));
    std::copy(buffer.get(), buffer.get() + used, larger.get());
    buffer = std::move(larger);
    room = grown;
}

#if defined(__SSE2__)
// Eight code units with their control characters as spaces: c ≤ 0x1f, or c − 0x7f ≤ 0x20
// (wrapping), picked out by a mask without a branch.
__m128i controlsAsSpaces(__m128i chars) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(chars, _mm_set1_epi16(0x1f)), zero);
    const __m128i c1 = _mm_cmpeq_epi16(
        _mm_subs_epu16(_mm_sub_epi16(chars, _mm_set1_epi16(0x7f)), _mm_set1_epi16(0x20)), zero);
    const __m128i control = _mm_or_si128(low, c1);
    return _mm_or_si128(_mm_andnot_si128(control, chars),
                        _mm_and_si128(control, _mm_set1_epi16(u' ')));
}
#endif

}  // namespace

// Eight code units at a time.
void controlCharactersToSpaces(char16_t* text, qsizetype length) {
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= length; i += 8) {
        __m128i* block = reinterpret_cast<__m128i*>(text + i);
        _mm_storeu_si128(block, controlsAsSpaces(_mm_loadu_si128(block)));
    }
#endif
    for (; i < length; ++i)
        if (isControlCharacter(text[i])) text[i] = u' ';
}

QString cellTextOf(QStringView value) {
    QString text = value.toString();
    controlCharactersToSpaces(reinterpret_cast<char16_t*>(text.data()), text.size());
    return text;
}

GridRowText::GridRowText() = default;
GridRowText::~GridRowText() = default;

void GridRowText::growText(qsizetype more) {
    growTo(text_, length_, textRoom_, length_ + more);
}

void GridRowText::showControlCharactersAsSpaces() const {
    controlCharactersToSpaces(text_.get(), length_);
    for (qsizetype i = 0; i < separatorCount_; ++i) text_[separators_[i]] = u'\t';
    shown_ = true;
}

void GridRowText::growSeparators() {
    growTo(separators_, separatorCount_, separatorRoom_, separatorCount_ + 16);
}

}  // namespace xhook
