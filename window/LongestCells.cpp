#include "window/LongestCells.h"

#include <algorithm>

namespace xhook {

void LongestCells::reset() {
    columns_.clear();
    stale_ = false;
}

void LongestCells::widen(int columnCount) {
    columns_.resize(size_t(columnCount));
}

// Before the first entry that is shorter, or as long and of a later row; a full list drops its
// last entry.
void LongestCells::Column::offer(int row, qsizetype length) {
    if (entries.empty()) entries.reserve(size_t(kKept));  // one allocation a column
    const auto at = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
        return e.length < length || (e.length == length && e.row > row);
    });
    if (entries.size() == size_t(kKept)) {
        if (at == entries.end()) return;
        entries.pop_back();
    }
    entries.insert(at, Entry{row, length});
    threshold = entries.size() == size_t(kKept) ? entries.back().length : 0;
}

bool LongestCells::Column::holds(int row) const {
    return std::any_of(entries.begin(), entries.end(),
                       [row](const Entry& e) { return e.row == row; });
}

// A kept row's new text may be shorter than a text that was turned away: only a pass can tell.
// Another row's text enters where it ranks.
void LongestCells::offerCell(int row, int col, qsizetype length) {
    if (stale_) return;
    if (col >= int(columns_.size())) widen(col + 1);
    Column& column = columns_[size_t(col)];
    if (column.holds(row)) {
        stale_ = true;
        return;
    }
    if (length > 0 && length >= column.threshold) column.offer(row, length);
}

void LongestCells::dropColumnsFrom(int columnCount) {
    if (columnCount < int(columns_.size())) columns_.resize(size_t(std::max(columnCount, 0)));
}

std::vector<int> LongestCells::rows(int col) const {
    std::vector<int> rows;
    if (col >= int(columns_.size())) return rows;
    for (const Entry& e : columns_[size_t(col)].entries) rows.push_back(e.row);
    return rows;
}

}  // namespace xhook
