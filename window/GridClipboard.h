#pragma once

#include <QString>

namespace xhook {

class FlexGrid;

// A copy of a grid's selection as a spreadsheet takes it: the selected block's shown columns,
// the header row first, every cell as the grid displays it (through its column's format). The
// same table twice: tab-separated text, one line per row, and an HTML table. A TAB or a line
// break inside a value never separates cells or rows: the text has a space there, the HTML the
// character itself (a line break as <br>).
struct GridCopy {
    QString plainText;
    QString html;

    bool isEmpty() const { return plainText.isEmpty(); }
};

// Empty when the selection holds no data row or no shown column.
GridCopy copyOfSelection(const FlexGrid& grid);

// Puts the copy of the selection on the clipboard as text/plain and text/html; an empty copy
// leaves the clipboard as it is.
void copySelectionToClipboard(const FlexGrid& grid);

}  // namespace xhook
