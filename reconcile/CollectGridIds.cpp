#include "reconcile/CollectGridIds.h"

#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "window/FlexGrid.h"

namespace xhook {

bool CollectGridIds(const FlexGrid& grid, QString& list) {
    const qint16 lastDocumentRow = checkedInt16(grid.RowCount() - 2, QStringLiteral("行号"));
    list = kWorkingIdListStart;
    // The lines of one document stand next to each other: an id equal to the row above's is in
    // the list already, so only a changed id needs the search.
    QString previous;
    for (int row = 1; row <= lastDocumentRow; ++row) {
        const QString id = grid.cellText(row, 0);
        if (row > 1 && id == previous) continue;
        appendIdOnce(list, id);
        previous = id;
    }
    return finishIdList(list);
}

}  // namespace xhook
