#include "window/GridAccessibility.h"

#include <QItemSelectionModel>

#include "window/FlexGrid.h"
#include "window/GridAccessibleCells.h"
#include "window/ShownColumns.h"

namespace xhook {

namespace {

QAccessibleInterface* gridInterfaceFactory(const QString& className, QObject* object) {
    auto* grid = qobject_cast<FlexGrid*>(object);
    if (!grid || className != QLatin1String(FlexGrid::staticMetaObject.className())) return nullptr;
    return new GridAccessibleTable(grid);
}

}  // namespace

GridAccessibleTable::GridAccessibleTable(FlexGrid* grid) : QAccessibleObject(grid) {}

GridAccessibleTable::~GridAccessibleTable() {
    dropInterfaces();
}

void GridAccessibleTable::install() {
    static const bool installed = (QAccessible::installFactory(&gridInterfaceFactory), true);
    Q_UNUSED(installed);
}

GridAccessibleTable* GridAccessibleTable::of(FlexGrid* grid) {
    return grid ? dynamic_cast<GridAccessibleTable*>(QAccessible::queryAccessibleInterface(grid))
                : nullptr;
}

FlexGrid* GridAccessibleTable::grid() const {
    return static_cast<FlexGrid*>(object());
}

int GridAccessibleTable::childIndex(const QModelIndex& index) const {
    const ShownColumns shown(*grid());
    const int column = index.isValid() ? shown.shownColumn(index.column()) : -1;
    return column < 0 ? -1 : (index.row() + 1) * shown.count() + column;
}

// A row is named by its text in the row header column; one that has none there (the totals row)
// by its first shown cell, its label.
QString GridAccessibleTable::rowHeaderText(int row) const {
    const QAbstractItemModel* model = grid()->model();
    const int column = grid()->rowHeaderColumn();
    if (column < 0 || column >= grid()->ColCount() || row < 0 || row >= rowCount()) return {};
    QString text = model->data(model->index(row, column), Qt::DisplayRole).toString();
    const int first = ShownColumns(*grid()).gridColumn(0);
    if (text.isEmpty() && first >= 0)
        text = model->data(model->index(row, first), Qt::DisplayRole).toString();
    return text;
}

QAccessibleInterface* GridAccessibleTable::columnHeader(int gridColumn) const {
    return interfaceFor(Kind::ColumnHeader, -1, gridColumn);
}

QAccessibleInterface* GridAccessibleTable::rowHeader(int row) const {
    if (grid()->rowHeaderColumn() < 0) return nullptr;
    return interfaceFor(Kind::RowHeader, row, -1);
}

// --- The table as an object among the window's ---------------------------------------------------

QAccessible::State GridAccessibleTable::state() const {
    QAccessible::State state;
    state.focusable = true;
    state.focused = grid()->hasFocus();
    state.invisible = !grid()->isVisible();
    return state;
}

QString GridAccessibleTable::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) return grid()->accessibleName();
    if (t == QAccessible::Description) return grid()->accessibleDescription();
    return {};
}

QRect GridAccessibleTable::rect() const {
    if (!grid()->isVisible()) return {};
    return QRect(grid()->mapToGlobal(QPoint(0, 0)), grid()->size());
}

QAccessibleInterface* GridAccessibleTable::parent() const {
    return QAccessible::queryAccessibleInterface(grid()->parentWidget());
}

QAccessibleInterface* GridAccessibleTable::child(int index) const {
    const ShownColumns shown(*grid());
    if (index < 0 || index >= childCount()) return nullptr;
    const int row = index / shown.count() - 1;
    const int column = shown.gridColumn(index % shown.count());
    return row < 0 ? columnHeader(column) : interfaceFor(Kind::Cell, row, column);
}

QAccessibleInterface* GridAccessibleTable::childAt(int x, int y) const {
    const QModelIndex index = grid()->indexAt(grid()->viewport()->mapFromGlobal(QPoint(x, y)));
    return child(childIndex(index));
}

QAccessibleInterface* GridAccessibleTable::focusChild() const {
    return child(childIndex(grid()->currentIndex()));
}

int GridAccessibleTable::childCount() const {
    return (rowCount() + 1) * columnCount();
}

int GridAccessibleTable::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || child->parent() != this) return -1;
    if (child->role() == QAccessible::Cell) {
        const auto* cell = static_cast<const GridAccessibleCell*>(child);
        return childIndex(grid()->model()->index(cell->modelRow(), cell->gridColumn()));
    }
    if (child->role() == QAccessible::ColumnHeader)
        return ShownColumns(*grid()).shownColumn(
            static_cast<const GridAccessibleHeader*>(child)->section());
    return -1;  // a row header is not a child: the cells hand it out
}

void* GridAccessibleTable::interface_cast(QAccessible::InterfaceType t) {
    return t == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                            : nullptr;
}

// --- The table ----------------------------------------------------------------------------------

QAccessibleInterface* GridAccessibleTable::cellAt(int row, int column) const {
    const int gridColumn = ShownColumns(*grid()).gridColumn(column);
    if (row < 0 || row >= rowCount() || gridColumn < 0) return nullptr;
    return interfaceFor(Kind::Cell, row, gridColumn);
}

QString GridAccessibleTable::columnDescription(int column) const {
    const int gridColumn = ShownColumns(*grid()).gridColumn(column);
    if (gridColumn < 0) return {};
    return grid()->model()->headerData(gridColumn, Qt::Horizontal).toString();
}

QString GridAccessibleTable::rowDescription(int row) const {
    return rowHeaderText(row);
}

int GridAccessibleTable::columnCount() const {
    return ShownColumns(*grid()).count();
}

int GridAccessibleTable::rowCount() const {
    return grid()->model()->rowCount();
}

bool GridAccessibleTable::cellSelected(int row, int gridColumn) const {
    return grid()->selectionModel()->isSelected(grid()->model()->index(row, gridColumn));
}

QList<QAccessibleInterface*> GridAccessibleTable::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    const ShownColumns shown(*grid());
    for (int row = 0; row < rowCount(); ++row)
        for (int column : shown.gridColumns())
            if (cellSelected(row, column)) cells.append(interfaceFor(Kind::Cell, row, column));
    return cells;
}

// A row or column is selected when all its shown cells are.
bool GridAccessibleTable::isRowSelected(int row) const {
    const ShownColumns shown(*grid());
    if (row < 0 || row >= rowCount() || shown.isEmpty()) return false;
    for (int column : shown.gridColumns())
        if (!cellSelected(row, column)) return false;
    return true;
}

bool GridAccessibleTable::isColumnSelected(int column) const {
    const int gridColumn = ShownColumns(*grid()).gridColumn(column);
    if (gridColumn < 0 || rowCount() == 0) return false;
    for (int row = 0; row < rowCount(); ++row)
        if (!cellSelected(row, gridColumn)) return false;
    return true;
}

QList<int> GridAccessibleTable::selectedRows() const {
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row)
        if (isRowSelected(row)) rows.append(row);
    return rows;
}

QList<int> GridAccessibleTable::selectedColumns() const {
    QList<int> columns;
    for (int column = 0; column < columnCount(); ++column)
        if (isColumnSelected(column)) columns.append(column);
    return columns;
}

int GridAccessibleTable::selectedCellCount() const {
    return int(selectedCells().size());
}

int GridAccessibleTable::selectedRowCount() const {
    return int(selectedRows().size());
}

int GridAccessibleTable::selectedColumnCount() const {
    return int(selectedColumns().size());
}

// A screen reader selects a row as a click on it does; the grid selects rows, never columns, and
// a row is unselected only by selecting another.
bool GridAccessibleTable::selectRow(int row) {
    if (row < 0 || row >= rowCount() || columnCount() == 0) return false;
    grid()->selectionModel()->select(
        grid()->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return true;
}

bool GridAccessibleTable::selectColumn(int) {
    return false;
}

bool GridAccessibleTable::unselectRow(int) {
    return false;
}

bool GridAccessibleTable::unselectColumn(int) {
    return false;
}

void GridAccessibleTable::modelChange(QAccessibleTableModelChangeEvent* event) {
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged) dropInterfaces();
}

// --- The interfaces handed out ------------------------------------------------------------------

QAccessibleInterface* GridAccessibleTable::interfaceFor(Kind kind, int row, int gridColumn) const {
    const Key key{kind, row, gridColumn};
    if (const auto found = handedOut_.constFind(key); found != handedOut_.constEnd())
        return QAccessible::accessibleInterface(found.value());
    QAccessibleInterface* made = nullptr;
    if (kind == Kind::Cell)
        made = new GridAccessibleCell(grid(), row, gridColumn);
    else if (kind == Kind::ColumnHeader)
        made = new GridAccessibleHeader(grid(), gridColumn, Qt::Horizontal);
    else
        made = new GridAccessibleHeader(grid(), row, Qt::Vertical);
    handedOut_.insert(key, QAccessible::registerAccessibleInterface(made));
    return made;
}

void GridAccessibleTable::dropInterfaces() {
    for (const QAccessible::Id id : std::as_const(handedOut_))
        QAccessible::deleteAccessibleInterface(id);
    handedOut_.clear();
}

// --- Events -------------------------------------------------------------------------------------

namespace {

void announce(FlexGrid& grid, QAccessible::Event type, const QModelIndex& index) {
    GridAccessibleTable* table = GridAccessibleTable::of(&grid);
    const int child = table ? table->childIndex(index) : -1;
    if (child < 0) return;
    QAccessibleEvent event(&grid, type);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

// The first cell of a selection change that a screen reader can name.
QModelIndex firstShownCell(const FlexGrid& grid, const QItemSelection& selection) {
    for (const QItemSelectionRange& range : selection)
        for (int column = range.left(); column <= range.right(); ++column)
            if (!grid.ColHidden(column)) return grid.model()->index(range.top(), column);
    return {};
}

}  // namespace

void GridAccessibleTable::announceCurrentCell(FlexGrid& grid, const QModelIndex& current) {
    if (QAccessible::isActive() && current.isValid()) announce(grid, QAccessible::Focus, current);
}

void GridAccessibleTable::announceSelection(FlexGrid& grid, const QItemSelection& selected,
                                            const QItemSelection& deselected) {
    if (!QAccessible::isActive()) return;
    announce(grid, QAccessible::SelectionAdd, firstShownCell(grid, selected));
    announce(grid, QAccessible::SelectionRemove, firstShownCell(grid, deselected));
}

}  // namespace xhook
