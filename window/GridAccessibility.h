#pragma once

#include <QAccessible>
#include <QAccessibleObject>
#include <QHash>
#include <QPointer>

class QItemSelection;
class QModelIndex;

namespace xhook {

class FlexGrid;

// A screen reader's view of a grid: a table of the shown columns only, with their header texts
// (Qt's own table interface counts the hidden key columns too), each row named by the text of the
// grid's row header column: the document number on the document lines of a loaded grid, and on
// the totals row, which has none there, its label. Its children are the shown columns' header
// cells, then the data cells row by row; the row headers are reached through the cells. The
// cells read the grid when asked, so a change of texts needs nothing here; the interfaces handed
// out are dropped when rows or columns come or go.
class GridAccessibleTable : public QAccessibleObject, public QAccessibleTableInterface {
  public:
    explicit GridAccessibleTable(FlexGrid* grid);
    ~GridAccessibleTable() override;

    // Makes this the interface that Qt hands out for every grid; installed once per process,
    // before the first grid is made.
    static void install();
    // The table interface that Qt hands out for `grid`; none where it is of another kind.
    static GridAccessibleTable* of(FlexGrid* grid);

    FlexGrid* grid() const;
    // The child number of a model cell; -1 for a cell of a hidden column.
    int childIndex(const QModelIndex& index) const;
    QString rowHeaderText(int row) const;
    QAccessibleInterface* columnHeader(int gridColumn) const;
    QAccessibleInterface* rowHeader(int row) const;

    // QAccessibleInterface
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface* cellAt(int row, int column) const override;
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override;
    int selectedCellCount() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Tell a screen reader of the grid's cursor and selection by these child numbers.
    static void announceCurrentCell(FlexGrid& grid, const QModelIndex& current);
    static void announceSelection(FlexGrid& grid, const QItemSelection& selected,
                                  const QItemSelection& deselected);

  private:
    enum class Kind { Cell, ColumnHeader, RowHeader };
    struct Key {
        Kind kind;
        int row, column;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) {
        return qHashMulti(seed, int(key.kind), key.row, key.column);
    }

    QAccessibleInterface* interfaceFor(Kind kind, int row, int gridColumn) const;
    bool cellSelected(int row, int gridColumn) const;
    void dropInterfaces();

    mutable QHash<Key, QAccessible::Id> handedOut_;
};

}  // namespace xhook
