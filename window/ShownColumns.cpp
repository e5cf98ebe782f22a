#include "window/ShownColumns.h"

#include "window/FlexGrid.h"

namespace xhook {

ShownColumns::ShownColumns(const FlexGrid& grid) : ShownColumns(grid, 0, grid.ColCount() - 1) {}

ShownColumns::ShownColumns(const FlexGrid& grid, int first, int last) {
    for (int c = std::max(first, 0); c <= last && c < grid.ColCount(); ++c)
        if (!grid.ColHidden(c)) columns_.append(c);
}

int ShownColumns::gridColumn(int shown) const {
    return shown >= 0 && shown < count() ? columns_[shown] : -1;
}

int ShownColumns::shownColumn(int gridColumn) const {
    return int(columns_.indexOf(gridColumn));
}

}  // namespace xhook
