#pragma once

#include <QList>

namespace xhook {

class FlexGrid;

// The columns of a grid that the user sees, in their order: what a copy takes and what a screen
// reader counts. Shown column i is the grid's column gridColumn(i); the hidden key columns of a
// loaded grid have no number here.
class ShownColumns {
  public:
    explicit ShownColumns(const FlexGrid& grid);
    // The shown columns among the grid's columns first..last.
    ShownColumns(const FlexGrid& grid, int first, int last);

    int count() const { return int(columns_.size()); }
    bool isEmpty() const { return columns_.isEmpty(); }
    int gridColumn(int shown) const;        // -1 when there is no such shown column
    int shownColumn(int gridColumn) const;  // -1 for a hidden column
    const QList<int>& gridColumns() const { return columns_; }

  private:
    QList<int> columns_;
};

}  // namespace xhook
