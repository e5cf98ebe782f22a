#include "window/ColumnFit.h"

#include <QFontMetrics>
#include <algorithm>

#include "window/GridModel.h"

namespace xhook {

namespace {

// The longest texts seen so far of one column: a short list kept in order, longest first. A text
// no longer than the shortest of a full list is turned away with one comparison, by the caller.
class Longest {
  public:
    // `length` is above threshold().
    void offer(int row, qsizetype length) {
        if (full()) entries_.pop_back();
        const auto at = std::find_if(entries_.begin(), entries_.end(),
                                     [length](const Entry& e) { return e.length < length; });
        entries_.insert(at, Entry{row, length});
    }
    qsizetype threshold() const { return full() ? entries_.back().length : 0; }
    std::vector<int> rows() const {
        std::vector<int> rows;
        for (const Entry& e : entries_) rows.push_back(e.row);
        return rows;
    }

  private:
    struct Entry {
        int row;
        qsizetype length;
    };
    bool full() const { return entries_.size() == size_t(ColumnFit::kCandidates); }
    std::vector<Entry> entries_;
};

}  // namespace

// Row by row, so that each row's cells are fetched once.
std::vector<std::vector<int>> ColumnFit::longestTextRows(const GridModel& model,
                                                         const std::vector<int>& columns) {
    std::vector<Longest> longest(columns.size());
    const GridRows& rows = model.rows();
    for (int r = 0; r < rows.count(); ++r)
        for (size_t i = 0; i < columns.size(); ++i) {
            const qsizetype length = rows.text(r, columns[i]).size();
            if (length > 0 && length > longest[i].threshold()) longest[i].offer(r, length);
        }
    std::vector<std::vector<int>> result;
    for (const Longest& column : longest) result.push_back(column.rows());
    return result;
}

int ColumnFit::widestText(const GridModel& model, int col, const std::vector<int>& rows,
                          const QFontMetrics& metrics) {
    int widest = 0;
    for (int row : rows)
        widest = std::max(widest, metrics.horizontalAdvance(model.displayText(row, col)));
    return widest;
}

}  // namespace xhook
