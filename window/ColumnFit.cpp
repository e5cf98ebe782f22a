#include "window/ColumnFit.h"

#include <QtMath>
#include <algorithm>

#include "window/GridModel.h"

namespace xhook {

std::vector<std::vector<int>> ColumnFit::longestTextRows(const GridModel& model,
                                                         const std::vector<int>& columns) {
    std::vector<std::vector<int>> result;
    for (int col : columns) result.push_back(model.rows().longestTextRows(col));
    return result;
}

// A text's width as the sum of its characters' advances, each character measured once per fit:
// shaping every candidate would cost more than the rest of the fit. Without kerning the sum is
// the shaped width; kerning only narrows a text. A text with surrogate pairs is shaped whole.
int ColumnFit::TextWidths::width(QStringView text) {
    qreal width = 0;
    for (const QChar c : text) {
        if (c.isSurrogate()) return qCeil(metrics_.horizontalAdvance(text.toString()));
        auto known = advances_.constFind(c.unicode());
        if (known == advances_.constEnd())
            known = advances_.insert(c.unicode(), metrics_.horizontalAdvance(c));
        width += *known;
    }
    return qCeil(width);
}

int ColumnFit::widestText(const GridModel& model, int col, const std::vector<int>& rows,
                          TextWidths& widths) {
    int widest = 0;
    for (int row : rows) widest = std::max(widest, widths.width(model.displayText(row, col)));
    return widest;
}

}  // namespace xhook
