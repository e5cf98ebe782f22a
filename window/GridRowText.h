#pragma once

#include <QStringView>
#include <QtGlobal>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace xhook {

// Whether a UTF-16 code unit is a control character (U+0000–U+001F, U+007F–U+009F): in a cell it
// shows as a space.
constexpr bool isControlCharacter(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

// Replaces the control characters of `text` by spaces, in place.
void controlCharactersToSpaces(char16_t* text, qsizetype length);

// A text as a cell shows it: its control characters as spaces.
QString cellTextOf(QStringView value);

// The cells of one row as the loader builds them, piece by piece: the pieces appended between two
// nextCell() calls are one cell's text. A value's TAB, newline or other control character shows
// as a space, so that it never leaves its cell. text() is the cells joined by TAB; the offsets of
// those separators are known as the row is built, so the row store takes the cells over without
// searching the text. One object can build row after row: clear() keeps its buffers.
class GridRowText {
  public:
    GridRowText();
    ~GridRowText();
    GridRowText(const GridRowText&) = delete;
    GridRowText& operator=(const GridRowText&) = delete;

    void clear() {
        length_ = 0;
        separatorCount_ = 0;
        numbersBehind_.clear();
        shown_ = false;
    }

    GridRowText& append(QStringView piece) {
        const qsizetype size = piece.size();
        if (length_ + size > textRoom_) growText(size);
        std::memcpy(text_.get() + length_, piece.utf16(), size_t(size) * sizeof(char16_t));
        length_ += size;
        shown_ = false;
        return *this;
    }

    // Ends the current cell; what is appended next is the next cell's text.
    GridRowText& nextCell() {
        if (length_ == textRoom_) growText(1);
        if (separatorCount_ == separatorRoom_) growSeparators();
        separators_[separatorCount_++] = quint32(length_);
        text_[length_++] = u'\t';
        shown_ = false;
        return *this;
    }

    // A piece written from a number with more digits than the piece shows (ValueText's
    // numberBehindText): the row store keeps the number beside the cell the piece lands in.
    GridRowText& append(QStringView piece, std::optional<double> numberBehind) {
        if (numberBehind) numbersBehind_.push_back({int(separatorCount_), *numberBehind});
        return append(piece);
    }

    struct NumberBehind {
        int cell;
        double number;
    };
    std::span<const NumberBehind> numbersBehind() const { return numbersBehind_; }

    QStringView text() const {
        if (!shown_) showControlCharactersAsSpaces();
        return QStringView(text_.get(), length_);
    }
    // The offsets of the separators between the cells in text(), in order.
    std::span<const quint32> separators() const {
        return {separators_.get(), size_t(separatorCount_)};
    }

  private:
    void growText(qsizetype more);
    void growSeparators();
    // One pass over the finished row: every control character a space, then the separators.
    void showControlCharactersAsSpaces() const;

    std::unique_ptr<char16_t[]> text_;
    qsizetype length_ = 0, textRoom_ = 0;
    std::unique_ptr<quint32[]> separators_;
    qsizetype separatorCount_ = 0, separatorRoom_ = 0;
    std::vector<NumberBehind> numbersBehind_;
    mutable bool shown_ = false;
};

}  // namespace xhook
