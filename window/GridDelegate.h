#pragma once

#include <QStyledItemDelegate>

namespace xhook {

class FlexGrid;
class GridModel;

// Paints the cells of a grid: the cell's background, the selection as a translucent wash of the
// grid's accent colour over it (so that row colours still show), the text through the column's
// display format and alignment, and the grid lines with the drawn borders over them. Lines on the
// boundaries of hidden columns show on the boundary of the visible columns next to them.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // The room left of and right of a cell's text, in pixels.
    static constexpr int kTextMargin = 3;

    GridDelegate(const GridModel& model, const FlexGrid& grid, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    struct Edges;

    Edges edges(int row, int col) const;
    void paintText(QPainter* painter, const QStyleOptionViewItem& option, int row, int col) const;
    void paintEdges(QPainter* painter, const QStyleOptionViewItem& option, int row, int col) const;

    const GridModel& model_;
    const FlexGrid& grid_;
};

}  // namespace xhook
