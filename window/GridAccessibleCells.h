#pragma once

#include <QAccessible>
#include <QPointer>

#include "window/FlexGrid.h"

namespace xhook {

class GridAccessibleTable;

// What the cells and headers of a grid's accessible table have in common: they belong to the
// grid's table, have no children and no object of their own, and are read, never written.
class GridAccessibleElement : public QAccessibleInterface {
  public:
    explicit GridAccessibleElement(FlexGrid* grid) : grid_(grid) {}

    QObject* object() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  protected:
    GridAccessibleTable* gridTable() const;

    QPointer<FlexGrid> grid_;
};

// A data cell of a grid as a screen reader reads it: its displayed text, its shown column's
// header and its row's header. It stands for a place, model row `row` and grid column `column`,
// and reads the grid whenever it is asked.
class GridAccessibleCell : public GridAccessibleElement, public QAccessibleTableCellInterface {
  public:
    GridAccessibleCell(FlexGrid* grid, int row, int column);

    int modelRow() const { return row_; }
    int gridColumn() const { return column_; }

    bool isValid() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    QRect rect() const override;
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    int columnIndex() const override;
    int rowIndex() const override { return row_; }
    bool isSelected() const override;
    QAccessibleInterface* table() const override { return parent(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;

  private:
    QModelIndex modelIndex() const;

    int row_, column_;
};

// The header of a shown column (its header text), or of a row (the row's name, see
// GridAccessibleTable).
class GridAccessibleHeader : public GridAccessibleElement {
  public:
    GridAccessibleHeader(FlexGrid* grid, int section, Qt::Orientation orientation);

    int section() const { return section_; }

    bool isValid() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override { return {}; }
    QRect rect() const override;
    QString text(QAccessible::Text t) const override;

  private:
    int section_;
    Qt::Orientation orientation_;
};

}  // namespace xhook
