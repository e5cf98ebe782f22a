#include "window/GridModel.h"

#include <QColor>
#include <QLocale>
#include <algorithm>

#include "foundation/Conversions.h"

namespace xhook {

Qt::Alignment alignmentForCode(int code, bool isNumber) {
    if (code < 0 || code > 8) return (isNumber ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[code / 3] | vertical[code % 3];
}

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}
GridModel::~GridModel() = default;

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announcedRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columns()) return {};
    const int row = storeRow(index.row()), col = index.column();
    if (row < 0 || row >= rows_.count()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return displayText(row, col);
        case Qt::EditRole:
            return rows_.text(row, col).toString();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignmentForCode(column(col).alignment, isNumber(row, col)));
        case Qt::BackgroundRole:
            if (const QRgb color = rows_.style(row).background(col)) return QColor::fromRgb(color);
            return {};
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column& col = column(section);
    switch (role) {
        case Qt::DisplayRole:
            return col.header;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignmentForCode(col.headerAlignment, false));
        case Qt::BackgroundRole:
            if (const QRgb color = headerStyle_.background(section)) return QColor::fromRgb(color);
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridModel::setColumnCount(int count, int widthTwips) {
    announceRemovals();
    const int current = columns();
    if (count > current) {
        beginInsertColumns({}, current, count - 1);
        Column fresh;
        fresh.widthTwips = widthTwips;
        columns_.resize(size_t(count), fresh);
        endInsertColumns();
    } else if (count < current) {
        beginRemoveColumns({}, count, current - 1);
        columns_.resize(size_t(count));
        rows_.dropColumnsFrom(count);
        endRemoveColumns();
    }
}

void GridModel::appendRow(const QString& tabSeparatedCells) {
    rows_.append(tabSeparatedCells, columns());
}

void GridModel::appendRow(const GridRowText& cells) {
    rows_.append(cells, columns());
}

void GridModel::appendEmptyRows(int rows) {
    rows_.appendEmpty(rows);
}

int GridModel::storeRow(int modelRow) const {
    if (modelRow < removedFirst_) return modelRow;
    return modelRow < removedFirst_ + removedCount_ ? -1 : modelRow - removedCount_;
}

int GridModel::modelRow(int storeRow) const {
    return storeRow < removedFirst_ ? storeRow : storeRow + removedCount_;
}

void GridModel::removeDataRow(int row) {
    if (modelRow(row) >= announcedRows_) {  // the views have not seen it yet
        rows_.remove(row);
        return;
    }
    const bool adjacent =
        modelRow(row) == removedFirst_ - 1 || modelRow(row) == removedFirst_ + removedCount_;
    if (removedCount_ > 0 && !adjacent) announceRemovals();
    const int removed = modelRow(row);
    if (removedCount_ == 0 || removed < removedFirst_) removedFirst_ = removed;
    ++removedCount_;
    rows_.remove(row);
}

void GridModel::announceRemovals() {
    if (removedCount_ == 0) return;
    beginRemoveRows({}, removedFirst_, removedFirst_ + removedCount_ - 1);
    announcedRows_ -= removedCount_;
    removedFirst_ = removedCount_ = 0;
    endRemoveRows();
}

void GridModel::truncateDataRows(int rows) {
    announceRemovals();
    if (rows >= announcedRows_) {
        rows_.truncate(rows);
        return;
    }
    beginRemoveRows({}, rows, announcedRows_ - 1);
    rows_.truncate(rows);
    announcedRows_ = rows;
    endRemoveRows();
}

void GridModel::catchUp() {
    announceRemovals();
    if (announcedRows_ >= rows_.count()) return;
    beginInsertRows({}, announcedRows_, rows_.count() - 1);
    announcedRows_ = rows_.count();
    endInsertRows();
}

GridModel::CellLines GridModel::linesAround(int dataRow, int col) const {
    const GridRowStyle& style = rows_.style(dataRow);
    const GridRowStyle& below =
        dataRow + 1 < rows_.count() ? rows_.style(dataRow + 1) : rows_.belowLast();
    return {style.verticalLine(col, columns()), style.lineAbove(col),
            style.verticalLine(col + 1, columns()), below.lineAbove(col)};
}

QRgb GridModel::verticalLine(int dataRow, int boundary) const {
    return rows_.style(dataRow).verticalLine(boundary, columns());
}

QString GridModel::displayText(int dataRow, int col) const {
    const QString text = rows_.text(dataRow, col).toString();
    const DisplayFormat& format = column(col).format;
    return format.isActive() ? format.apply(text) : text;
}

bool GridModel::isNumber(int dataRow, int col) const {
    const QStringView text = rows_.text(dataRow, col);
    return !text.isEmpty() && readLocaleNumber(text.toString()).has_value();
}

void GridModel::dataRowsChanged(int first, int last) {
    announceRemovals();
    first = std::max(first, 0);
    last = std::min(last, announcedRows_ - 1);
    if (first > last || columns() == 0) return;
    Q_EMIT dataChanged(index(first, 0), index(last, columns() - 1));
}

void GridModel::columnChanged(int col) {
    announceRemovals();
    if (announcedRows_ > 0) Q_EMIT dataChanged(index(0, col), index(announcedRows_ - 1, col));
}

void GridModel::headerChanged(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, columns() - 1);
    if (first <= last) Q_EMIT headerDataChanged(Qt::Horizontal, first, last);
}

}  // namespace xhook
