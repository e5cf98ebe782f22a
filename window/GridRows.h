#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <memory>
#include <vector>

#include "window/GridRowStyle.h"

namespace xhook {

// The text of one row as AddRow takes it, its cells joined by TAB, built piece by piece. It notes
// where each TAB lies as the text grows, so that the row store takes the cells over without
// searching the text again. A TAB inside a piece ends a cell there, as it does in any joined text.
// One object can build row after row: clear() keeps its buffers.
class GridRowText {
  public:
    void clear();
    GridRowText& append(QStringView piece);
    GridRowText& appendTab();

    QStringView text() const { return QStringView(text_.constData(), text_.size()); }
    // The offsets of the TABs in text(), in order.
    const QVarLengthArray<quint32, 64>& tabs() const { return tabs_; }

  private:
    QVarLengthArray<char16_t, 1024> text_;
    QVarLengthArray<quint32, 64> tabs_;
};

// The data rows of a grid, numbered from 0 (the grid's row 1), apart from any view of them. A
// row keeps its cells as one text with the end offset of every cell, so that a loaded grid holds
// one text per row, not one per cell; a row that was never written holds nothing at all. Rows are
// held by pointer, so that removing one moves pointers only.
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
    void append(const GridRowText& line, int columnCount);
    void appendEmpty(int rows);
    void remove(int row);
    void truncate(int rows);
    // Forgets the cells and per-column styles from `columnCount` on.
    void dropColumnsFrom(int columnCount);

    QStringView text(int row, int col) const;
    void setText(int row, int col, const QString& text);

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

    Row& rowToWrite(int row);

    std::vector<std::unique_ptr<Row>> rows_;
    GridRowStyle belowLast_;
};

}  // namespace xhook
