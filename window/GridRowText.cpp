#include "window/GridRowText.h"

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

}  // namespace

GridRowText::GridRowText() = default;
GridRowText::~GridRowText() = default;

void GridRowText::growText(qsizetype more) {
    growTo(text_, length_, textRoom_, length_ + more);
}

std::span<const quint32> GridRowText::tabs() const {
    if (!tabsFound_) findTabs();
    return {tabs_.get(), size_t(tabCount_)};
}

// A row has at most one TAB per character, so the room is made once for the whole pass.
void GridRowText::findTabs() const {
    if (tabRoom_ < length_) growTo(tabs_, 0, tabRoom_, length_);
    const char16_t* text = text_.get();
    quint32* found = tabs_.get();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi16(u'\t');
    for (; i + 8 <= length_; i += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        // Two mask bits per character: the even bit of each TAB is taken.
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(chars, tab))) & 0x5555u;
        while (mask) {
            *found++ = quint32(i + (__builtin_ctz(mask) >> 1));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < length_; ++i)
        if (text[i] == u'\t') *found++ = quint32(i);
    tabCount_ = found - tabs_.get();
    tabsFound_ = true;
}

}  // namespace xhook
