#include "window/ColumnFit.h"

#include <QtMath>
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

// Row by row, so that each row's cells are fetched once, and by their lengths alone.
std::vector<std::vector<int>> ColumnFit::longestTextRows(const GridModel& model,
                                                         const std::vector<int>& columns) {
    std::vector<Longest> longest(columns.size());
    std::vector<qsizetype> thresholds(columns.size(), 0);
    std::vector<qsizetype> lengths(columns.size());
    const GridRows& rows = model.rows();
    for (int r = 0; r < rows.count(); ++r) {
        rows.textLengths(r, columns, lengths.data());
        for (size_t i = 0; i < columns.size(); ++i) {
            if (lengths[i] <= thresholds[i]) continue;
            longest[i].offer(r, lengths[i]);
            thresholds[i] = longest[i].threshold();
        }
    }
    std::vector<std::vector<int>> result;
    for (const Longest& column : longest) result.push_back(column.rows());
    return result;
}

// A text's width as the sum of its characters' advances, each character measured once per fit:
// shaping every candidate would cost more than the rest of the fit. Without kerning the sum is
// the shaped width; kerning only narrows a text. A text with surrogate pairs is shaped whole.
int ColumnFit::TextWidths::width(QStringView text) {
    qreal width = 0;
    for (const QChar c : text) {
        if (c.isSurrogate()) return qCeil(metrics_.horizontalAdvance(text.toString()));
        auto known = advances_.constFind(c.unicode());
        if (known == advances_.constEnd())
            known = advances_.insert(c.unicode(), metrics_.horizontalAdvance(c));
        width += *known;
    }
    return qCeil(width);
}

int ColumnFit::widestText(const GridModel& model, int col, const std::vector<int>& rows,
                          TextWidths& widths) {
    int widest = 0;
    for (int row : rows) widest = std::max(widest, widths.width(model.displayText(row, col)));
    return widest;
}

}  // namespace xhook
