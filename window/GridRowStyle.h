#pragma once

#include <QRgb>
#include <memory>
#include <vector>

namespace xhook {

// The background and the lines of one grid row. A colour is a QRgb with alpha 255; 0 means none
// (no background of its own, no line). Lines are kept where they lie: the line above each cell,
// and the vertical lines of the row by boundary (boundary j is the left edge of column j, the
// column count is the right edge of the last column).
//
// A row that is styled as a whole, columns 0 to the last in one call, keeps one value per kind:
// the background, the line above, and the left, inner and right vertical lines; such a style also
// covers columns added later. Only a call on part of the row expands it into per-column values.
class GridRowStyle {
  public:
    GridRowStyle();
    GridRowStyle(GridRowStyle&&) noexcept;
    GridRowStyle& operator=(GridRowStyle&&) noexcept;
    ~GridRowStyle();

    bool isPlain() const;

    QRgb background(int col) const;
    void setBackground(int col1, int col2, QRgb color, int columnCount);
    QRgb lineAbove(int col) const;
    void setLineAbove(int col1, int col2, QRgb line, int columnCount);
    QRgb verticalLine(int boundary, int columnCount) const;
    // The lines of columns col1..col2: `left` on boundary col1, `right` on boundary col2 + 1 and
    // `inner` on the boundaries between them.
    void setVerticalLines(int col1, int col2, QRgb left, QRgb inner, QRgb right, int columnCount);
    // Drops what lies on columns from `columnCount` on, so that columns added later start plain.
    void dropColumnsFrom(int columnCount);

  private:
    struct PerColumn {
        std::vector<QRgb> background, lineAbove, vertical;
    };

    bool coversRow(int col1, int col2, int columnCount) const;
    PerColumn& expand(int columnCount);

    QRgb background_ = 0;
    QRgb lineAbove_ = 0;
    QRgb leftLine_ = 0, innerLine_ = 0, rightLine_ = 0;
    std::unique_ptr<PerColumn> perColumn_;
};

}  // namespace xhook
