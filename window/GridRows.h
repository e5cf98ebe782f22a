#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>
#include <vector>

#include "window/GridRowStyle.h"
#include "window/GridRowText.h"
#include "window/LongestCells.h"

namespace xhook {

// The data rows of a grid, numbered from 0 (the grid's row 1), apart from any view of them. A
// row keeps its cells in one block, the end offset of every cell and then their text, so that a
// loaded grid allocates one block per row, not one per cell; a row that was never written holds
// nothing at all. Rows are held by pointer, so that removing one moves pointers only.
//
// Lines between rows belong to the row below them; the line under the last row is kept apart.
class GridRows {
  public:
    GridRows();
    ~GridRows();

    int count() const { return int(rows_.size()); }

    // Appends a row whose cells are the TAB-separated parts of `line`, in column order. Parts
    // beyond `columnCount` are dropped; missing ones are empty.
    void append(const QString& line, int columnCount);
    // The same for a row built cell by cell.
    void append(const GridRowText& line, int columnCount);
    void appendEmpty(int rows);
    void remove(int row);
    void truncate(int rows);
    // Forgets the cells and per-column styles from `columnCount` on.
    void dropColumnsFrom(int columnCount);

    QStringView text(int row, int col) const;
    // The rows holding the longest texts of `col` (at most LongestCells::kKept, longest first,
    // rows in order among equal lengths).
    std::vector<int> longestTextRows(int col) const;
    // Writes a cell's text; `numberBehind` is the number it was written from where the text shows
    // fewer digits than that number has, so that the number is not lost (a total that must read
    // back as itself).
    void setText(int row, int col, const QString& text,
                 std::optional<double> numberBehind = std::nullopt);
    std::optional<double> numberBehind(int row, int col) const;

    // The style of a row. Writing creates the row's storage if it has none.
    const GridRowStyle& style(int row) const;
    GridRowStyle& styleToWrite(int row);
    // The row under the last one, whose lines above are the lines under the last row.
    const GridRowStyle& belowLast() const { return belowLast_; }
    GridRowStyle& belowLastToWrite() { return belowLast_; }

    int heightTwips(int row) const;  // -1: the default height
    void setHeightTwips(int row, int twips);

  private:
    struct Row;
    struct RowDeleter {
        void operator()(Row* row) const;
    };
    using RowPointer = std::unique_ptr<Row, RowDeleter>;

    Row& rowToWrite(int row);
    void offerRow(int row) const;

    std::vector<RowPointer> rows_;
    GridRowStyle belowLast_;
    // Kept as rows come and go; rebuilt from the rows when a change left it stale.
    mutable LongestCells longest_;
};

}  // namespace xhook
