#include "reconcile/CollectGridIds.h"

#include "foundation/Errors.h"
#include "window/FlexGrid.h"

namespace xhook {

void appendIdOnce(QString& workingList, const QString& id) {
    const QString separator = kWorkingIdListStart;
    if (!workingList.contains(separator + id + separator, Qt::CaseSensitive))
        workingList += id + separator;
}

bool finishIdList(QString& workingList) {
    if (workingList.size() <= kWorkingIdListStart.size()) {
        workingList.clear();
        return false;
    }
    workingList.chop(1);
    workingList.remove(0, 1);
    return true;
}

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
