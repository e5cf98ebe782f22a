#pragma once

#include <QString>

namespace xhook {

class FlexGrid;

// Rewrites `list` with the document ids of `grid`'s document rows (column 0 of rows 1 to
// RowCount - 2), each once, in the order of first occurrence from the top; cell texts are taken
// unchanged. Returns whether at least one id was collected; `list` is empty when none was. A
// grid with more rows than a 16-bit row number reaches raises an overflow, the list untouched.
bool CollectGridIds(const FlexGrid& grid, QString& list);

}  // namespace xhook
