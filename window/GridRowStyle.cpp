#include "window/GridRowStyle.h"

#include <algorithm>

namespace xhook {

namespace {

QRgb valueAt(const std::vector<QRgb>& values, int index) {
    return index >= 0 && size_t(index) < values.size() ? values[size_t(index)] : 0;
}

void setAt(std::vector<QRgb>& values, int index, QRgb value) {
    if (size_t(index) >= values.size()) values.resize(size_t(index) + 1, 0);
    values[size_t(index)] = value;
}

void dropFrom(std::vector<QRgb>& values, size_t count) {
    if (values.size() > count) values.resize(count);
}

}  // namespace

GridRowStyle::GridRowStyle() = default;
GridRowStyle::GridRowStyle(GridRowStyle&&) noexcept = default;
GridRowStyle& GridRowStyle::operator=(GridRowStyle&&) noexcept = default;
GridRowStyle::~GridRowStyle() = default;

bool GridRowStyle::isPlain() const {
    return !perColumn_ && background_ == 0 && lineAbove_ == 0 && leftLine_ == 0 &&
           innerLine_ == 0 && rightLine_ == 0;
}

bool GridRowStyle::coversRow(int col1, int col2, int columnCount) const {
    return !perColumn_ && col1 == 0 && col2 == columnCount - 1;
}

GridRowStyle::PerColumn& GridRowStyle::expand(int columnCount) {
    if (perColumn_) return *perColumn_;
    perColumn_ = std::make_unique<PerColumn>();
    const size_t columns = size_t(std::max(columnCount, 0));
    perColumn_->background.assign(columns, background_);
    perColumn_->lineAbove.assign(columns, lineAbove_);
    perColumn_->vertical.assign(columns + 1, innerLine_);
    perColumn_->vertical.front() = leftLine_;
    perColumn_->vertical.back() = rightLine_;
    return *perColumn_;
}

QRgb GridRowStyle::background(int col) const {
    return perColumn_ ? valueAt(perColumn_->background, col) : background_;
}

void GridRowStyle::setBackground(int col1, int col2, QRgb color, int columnCount) {
    if (coversRow(col1, col2, columnCount)) {
        background_ = color;
        return;
    }
    PerColumn& columns = expand(columnCount);
    for (int c = col1; c <= col2; ++c) setAt(columns.background, c, color);
}

QRgb GridRowStyle::lineAbove(int col) const {
    return perColumn_ ? valueAt(perColumn_->lineAbove, col) : lineAbove_;
}

void GridRowStyle::setLineAbove(int col1, int col2, QRgb line, int columnCount) {
    if (coversRow(col1, col2, columnCount)) {
        lineAbove_ = line;
        return;
    }
    PerColumn& columns = expand(columnCount);
    for (int c = col1; c <= col2; ++c) setAt(columns.lineAbove, c, line);
}

QRgb GridRowStyle::verticalLine(int boundary, int columnCount) const {
    if (perColumn_) return valueAt(perColumn_->vertical, boundary);
    if (boundary == 0) return leftLine_;
    return boundary == columnCount ? rightLine_ : innerLine_;
}

void GridRowStyle::setVerticalLines(int col1, int col2, QRgb left, QRgb inner, QRgb right,
                                    int columnCount) {
    if (coversRow(col1, col2, columnCount)) {
        leftLine_ = left;
        innerLine_ = inner;
        rightLine_ = right;
        return;
    }
    PerColumn& columns = expand(columnCount);
    for (int boundary = col1 + 1; boundary <= col2; ++boundary)
        setAt(columns.vertical, boundary, inner);
    setAt(columns.vertical, col1, left);
    setAt(columns.vertical, col2 + 1, right);
}

void GridRowStyle::dropColumnsFrom(int columnCount) {
    if (!perColumn_) return;
    const size_t columns = size_t(std::max(columnCount, 0));
    dropFrom(perColumn_->background, columns);
    dropFrom(perColumn_->lineAbove, columns);
    dropFrom(perColumn_->vertical, columns + 1);
}

}  // namespace xhook
