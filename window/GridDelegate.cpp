#include "window/GridDelegate.h"

#include <QApplication>
#include <QPainter>

#include "window/FlexGrid.h"
#include "window/GridModel.h"

namespace xhook {

namespace {

constexpr int kSelectionAlpha = 150;

void drawLine(QPainter* painter, const QColor& color, const QPoint& from, const QPoint& to) {
    painter->setPen(QPen(color, 0));
    painter->drawLine(from, to);
}

QColor gridLineColor(const QStyleOptionViewItem& option) {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int hint = style->styleHint(QStyle::SH_Table_GridLineColor, &option, option.widget);
    return QColor::fromRgba(static_cast<QRgb>(hint));
}

}  // namespace

// The lines to draw round one cell. Every cell draws its right and bottom edge (a border where
// one lies there, else the grid line); the first row draws the line above it and the first
// visible column the line on its left.
struct GridDelegate::Edges {
    QRgb left = 0, top = 0, right = 0, bottom = 0;
    bool drawsLeft = false, drawsTop = false;
};

GridDelegate::GridDelegate(const GridModel& model, const FlexGrid& grid, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), grid_(grid) {}

GridDelegate::Edges GridDelegate::edges(int row, int col) const {
    const GridModel::CellLines own = model_.linesAround(row, col);
    Edges edges;
    edges.top = own.top;
    edges.bottom = own.bottom;
    edges.drawsTop = row == 0;
    int next = col + 1;
    while (next < model_.columns() && model_.column(next).hidden) ++next;
    for (int boundary = col + 1; boundary <= next && !edges.right; ++boundary)
        edges.right = model_.verticalLine(row, boundary);
    int previous = col - 1;
    while (previous >= 0 && model_.column(previous).hidden) --previous;
    edges.drawsLeft = previous < 0;
    for (int boundary = col; edges.drawsLeft && boundary >= 0 && !edges.left; --boundary)
        edges.left = model_.verticalLine(row, boundary);
    return edges;
}

void GridDelegate::paintText(QPainter* painter, const QStyleOptionViewItem& option, int row,
                             int col) const {
    const QString text = model_.displayText(row, col);
    if (text.isEmpty()) return;
    const int code = model_.column(col).alignment;
    const bool general = code == kAlignmentGeneral;
    const Qt::Alignment alignment = alignmentForCode(code, general && model_.isNumber(row, col));
    const QRect textRect = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(textRect, int(alignment),
                      option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
}

void GridDelegate::paintEdges(QPainter* painter, const QStyleOptionViewItem& option, int row,
                              int col) const {
    const Edges edges = this->edges(row, col);
    const QColor gridColor = gridLineColor(option);
    const QRect& r = option.rect;
    drawLine(painter, edges.right ? QColor::fromRgb(edges.right) : gridColor, r.topRight(),
             r.bottomRight());
    drawLine(painter, edges.bottom ? QColor::fromRgb(edges.bottom) : gridColor, r.bottomLeft(),
             r.bottomRight());
    if (edges.drawsTop && edges.top)
        drawLine(painter, QColor::fromRgb(edges.top), r.topLeft(), r.topRight());
    if (edges.drawsLeft && edges.left)
        drawLine(painter, QColor::fromRgb(edges.left), r.topLeft(), r.bottomLeft());
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int row = model_.storeRow(index.row()), col = index.column();
    if (row < 0 || row >= model_.dataRowCount() || col >= model_.columns()) return;
    painter->save();
    const QRgb background = model_.rows().style(row).background(col);
    painter->fillRect(option.rect, background ? QBrush(QColor::fromRgb(background))
                                              : option.palette.brush(QPalette::Base));
    const QColor accent = QColor::fromRgb(grid_.AccentColor());
    if (option.state & QStyle::State_Selected) {
        QColor wash = accent;
        wash.setAlpha(kSelectionAlpha);
        painter->fillRect(option.rect, wash);
    }
    paintText(painter, option, row, col);
    paintEdges(painter, option, row, col);
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(accent.darker(170), 0, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

}  // namespace xhook
