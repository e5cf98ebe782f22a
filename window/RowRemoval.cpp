#include "foundation/Errors.h"
#include "window/Commands.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

namespace xhook {

namespace {

// Takes every line of the document under the cursor out of `grid`: the lines whose column 0 (the
// document's internal id) has exactly the current row's text. Works from the bottom up, between
// the totals row and the header row, which are never touched. Nothing happens while the focus is
// on the other grid.
void removeDocumentUnderCursor(const HookForm& form, FlexGrid& grid, const QString& otherGridName) {
    if (form.activeControlName() == otherGridName) return;
    const qint16 rowCount = checkedInt16(grid.RowCount(), "RowCount");
    if (rowCount == 1) return;
    const qint16 currentRow = checkedInt16(grid.CurrentRow(), "CurrentRow");
    if (currentRow == 0) return;
    const QString key = grid.cellText(currentRow, 0);
    for (qint16 row = rowCount - 2; row >= 1; --row)
        if (grid.cellText(row, 0) == key) grid.RemoveRow(row);
}

}  // namespace

void MenuSaleBillRemove_Click(HookForm& form) {
    removeDocumentUnderCursor(form, *form.vsf1, QStringLiteral("vsf2"));
}

void MenuSaleBillOutRemove_Click(HookForm& form) {
    removeDocumentUnderCursor(form, *form.vsf2, QStringLiteral("vsf1"));
}

}  // namespace xhook
