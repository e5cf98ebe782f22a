#pragma once

#include <QFontMetricsF>
#include <QHash>
#include <QStringView>
#include <vector>

#include "window/LongestCells.h"

namespace xhook {

class GridModel;

// How wide a column must be for its texts, as a spreadsheet's fit makes it, measured cheaply:
// the rows' stored texts are compared by their length only (the row store keeps the longest as
// rows are added), and just the longest few of each column go through the column's display
// format and the font's metrics.
class ColumnFit {
  public:
    // How many of a column's longest texts are measured.
    static constexpr int kCandidates = LongestCells::kKept;

    // Widths of texts in one font, in pixels.
    class TextWidths {
      public:
        explicit TextWidths(const QFont& font) : metrics_(font) {}
        int width(QStringView text);

      private:
        QFontMetricsF metrics_;
        QHash<char16_t, qreal> advances_;
    };

    // The data rows holding the longest stored texts of each of `columns` (longest first, at most
    // kCandidates, ties kept in row order).
    static std::vector<std::vector<int>> longestTextRows(const GridModel& model,
                                                         const std::vector<int>& columns);

    // The widest of a column's displayed texts in `rows`.
    static int widestText(const GridModel& model, int col, const std::vector<int>& rows,
                          TextWidths& widths);
};

}  // namespace xhook
