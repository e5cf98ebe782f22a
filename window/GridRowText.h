#pragma once

#include <QStringView>
#include <QtGlobal>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace xhook {

// The text of one row as AddRow takes it, its cells joined by TAB, built piece by piece, with the
// offsets of its TABs, so that the row store takes the cells over without splitting a text of its
// own. A TAB inside a piece ends a cell there, as it does in any joined text. One object can build
// row after row: clear() keeps its buffers.
class GridRowText {
  public:
    GridRowText();
    ~GridRowText();
    GridRowText(const GridRowText&) = delete;
    GridRowText& operator=(const GridRowText&) = delete;

    void clear() {
        length_ = 0;
        tabsFound_ = false;
        numbersBehind_.clear();
    }

    GridRowText& append(QStringView piece) {
        const qsizetype size = piece.size();
        if (length_ + size > textRoom_) growText(size);
        std::memcpy(text_.get() + length_, piece.utf16(), size_t(size) * sizeof(char16_t));
        length_ += size;
        tabsFound_ = false;
        return *this;
    }

    GridRowText& appendTab() {
        if (length_ == textRoom_) growText(1);
        text_[length_++] = u'\t';
        tabsFound_ = false;
        return *this;
    }

    // A piece written from a number with more digits than the piece shows (ValueText's
    // numberBehindText): the row store keeps the number beside the cell the piece lands in.
    GridRowText& append(QStringView piece, std::optional<double> numberBehind) {
        if (numberBehind) numbersBehind_.push_back({quint32(length_), *numberBehind});
        return append(piece);
    }

    struct NumberBehind {
        quint32 offset;  // where the piece starts in text()
        double number;
    };
    std::span<const NumberBehind> numbersBehind() const { return numbersBehind_; }

    QStringView text() const { return QStringView(text_.get(), length_); }
    // The offsets of the TABs in text(), in order; valid until the text changes.
    std::span<const quint32> tabs() const;

  private:
    void growText(qsizetype more);
    void findTabs() const;

    std::unique_ptr<char16_t[]> text_;
    qsizetype length_ = 0, textRoom_ = 0;
    // The TABs are found in one pass over the finished row, when they are asked for.
    mutable std::unique_ptr<quint32[]> tabs_;
    mutable qsizetype tabCount_ = 0, tabRoom_ = 0;
    mutable bool tabsFound_ = false;
    std::vector<NumberBehind> numbersBehind_;
};

}  // namespace xhook
