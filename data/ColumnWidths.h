#pragma once

namespace xhook {

// The column widths of a grid, as the layout store reads and sets them: all it needs of a grid,
// so that the store knows nothing of widgets. Columns count from 0; widths are in twips. The
// window's grid (FlexGrid) implements it.
class ColumnWidths {
  public:
    virtual int ColCount() const = 0;
    virtual int ColWidth(int col) const = 0;
    virtual void setColWidth(int col, int twips) = 0;

  protected:
    ColumnWidths() = default;
    ColumnWidths(const ColumnWidths&) = default;
    ColumnWidths& operator=(const ColumnWidths&) = default;
    ~ColumnWidths() = default;
};

}  // namespace xhook
