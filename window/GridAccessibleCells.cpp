#include "window/GridAccessibleCells.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include "window/GridAccessibility.h"
#include "window/ShownColumns.h"

namespace xhook {

namespace {

QRect onScreen(const QWidget* widget, const QRect& local) {
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

}  // namespace

QAccessibleInterface* GridAccessibleElement::parent() const {
    return QAccessible::queryAccessibleInterface(grid_);
}

GridAccessibleTable* GridAccessibleElement::gridTable() const {
    return GridAccessibleTable::of(grid_);
}

// --- Cells --------------------------------------------------------------------------------------

GridAccessibleCell::GridAccessibleCell(FlexGrid* grid, int row, int column)
    : GridAccessibleElement(grid), row_(row), column_(column) {}

bool GridAccessibleCell::isValid() const {
    return grid_ && row_ < grid_->model()->rowCount() && column_ < grid_->ColCount() &&
           !grid_->ColHidden(column_);
}

QModelIndex GridAccessibleCell::modelIndex() const {
    return grid_->model()->index(row_, column_);
}

QAccessible::State GridAccessibleCell::state() const {
    QAccessible::State state;
    if (!isValid()) return state;
    const QModelIndex index = modelIndex();
    state.selectable = state.focusable = true;
    state.selected = grid_->selectionModel()->isSelected(index);
    state.focused = grid_->currentIndex() == index;
    state.invisible = !grid_->viewport()->rect().intersects(grid_->visualRect(index));
    return state;
}

QRect GridAccessibleCell::rect() const {
    return isValid() ? onScreen(grid_->viewport(), grid_->visualRect(modelIndex())) : QRect();
}

QString GridAccessibleCell::text(QAccessible::Text t) const {
    if (!isValid() || t != QAccessible::Name) return {};
    return grid_->model()->data(modelIndex(), Qt::DisplayRole).toString();
}

void* GridAccessibleCell::interface_cast(QAccessible::InterfaceType t) {
    return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                : nullptr;
}

int GridAccessibleCell::columnIndex() const {
    return grid_ ? ShownColumns(*grid_).shownColumn(column_) : -1;
}

bool GridAccessibleCell::isSelected() const {
    return isValid() && grid_->selectionModel()->isSelected(modelIndex());
}

QList<QAccessibleInterface*> GridAccessibleCell::columnHeaderCells() const {
    GridAccessibleTable* table = gridTable();
    if (!table || !isValid()) return {};
    return {table->columnHeader(column_)};
}

QList<QAccessibleInterface*> GridAccessibleCell::rowHeaderCells() const {
    GridAccessibleTable* table = gridTable();
    QAccessibleInterface* header = table && isValid() ? table->rowHeader(row_) : nullptr;
    if (!header) return {};
    return {header};
}

// --- Headers ------------------------------------------------------------------------------------

GridAccessibleHeader::GridAccessibleHeader(FlexGrid* grid, int section, Qt::Orientation orientation)
    : GridAccessibleElement(grid), section_(section), orientation_(orientation) {}

bool GridAccessibleHeader::isValid() const {
    if (!grid_) return false;
    if (orientation_ == Qt::Vertical) return section_ < grid_->model()->rowCount();
    return section_ < grid_->ColCount() && !grid_->ColHidden(section_);
}

QAccessible::Role GridAccessibleHeader::role() const {
    return orientation_ == Qt::Horizontal ? QAccessible::ColumnHeader : QAccessible::RowHeader;
}

// A column header is its section of the header row; a row header, which the grid does not draw,
// the left edge of its row.
QRect GridAccessibleHeader::rect() const {
    if (!isValid()) return {};
    if (orientation_ == Qt::Horizontal) {
        const QHeaderView* header = grid_->horizontalHeader();
        return onScreen(header, QRect(header->sectionViewportPosition(section_), 0,
                                      header->sectionSize(section_), header->height()));
    }
    const QHeaderView* rows = grid_->verticalHeader();
    return onScreen(grid_->viewport(), QRect(0, rows->sectionViewportPosition(section_), 0,
                                             rows->sectionSize(section_)));
}

QString GridAccessibleHeader::text(QAccessible::Text t) const {
    if (!isValid() || t != QAccessible::Name) return {};
    if (orientation_ == Qt::Horizontal)
        return grid_->model()->headerData(section_, Qt::Horizontal).toString();
    GridAccessibleTable* table = gridTable();
    return table ? table->rowHeaderText(section_) : QString();
}

}  // namespace xhook
