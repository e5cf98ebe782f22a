#pragma once

#include <QtGlobal>
#include <vector>

namespace xhook {

// The rows holding the longest stored texts of each column of a row store, kept up to date as
// rows are appended, so that fitting a column needs no pass over its rows. Each column keeps its
// kKept longest texts, longest first and rows in order among equal lengths: the list that one
// pass over the rows in order would make. A change that the list cannot follow (a row removed, a
// kept row's text rewritten) marks it stale; the owner then rebuilds it with one such pass.
class LongestCells {
  public:
    static constexpr int kKept = 8;

    struct Entry {
        int row;
        qsizetype length;
    };

    bool isStale() const { return stale_; }
    void markStale() { stale_ = true; }
    // No rows: nothing is kept, and the list is current.
    void reset();

    // A row whose cells end at `ends` (cell c runs from ends[c - 1] + 1, or 0, to ends[c]).
    void offerRow(int row, const quint32* ends, int cellCount) {
        if (stale_) return;
        if (cellCount > int(columns_.size())) widen(cellCount);
        qsizetype start = 0;
        for (int c = 0; c < cellCount; ++c) {
            const qsizetype length = qsizetype(ends[c]) - start;
            start = qsizetype(ends[c]) + 1;
            if (length > columns_[size_t(c)].threshold) columns_[size_t(c)].offer(row, length);
        }
    }
    // A cell written after its row was appended.
    void offerCell(int row, int col, qsizetype length);
    void dropColumnsFrom(int columnCount);

    // The rows of `col`'s longest texts, longest first.
    std::vector<int> rows(int col) const;

  private:
    struct Column {
        std::vector<Entry> entries;
        // A row appended later enters only with a text longer than this.
        qsizetype threshold = 0;

        void offer(int row, qsizetype length);
        bool holds(int row) const;
    };
    void widen(int columnCount);

    std::vector<Column> columns_;
    bool stale_ = false;
};

}  // namespace xhook
