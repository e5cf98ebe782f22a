#pragma once

#include <QString>

namespace xhook {

class FlexGrid;

// An id list while it is being collected: it starts as a single separator and every id in it is
// followed by one (",1001,1002,"), so that "," + id + "," finds whole ids only.
inline const QString kWorkingIdListStart = QStringLiteral(",");

// Appends `id` to a working list unless the list already holds it as a whole id.
void appendIdOnce(QString& workingList, const QString& id);

// Brings a working list into id-list form ("1001,1002"); a list without ids becomes empty, so
// that a later append starts a clean list. Returns whether the list holds an id.
bool finishIdList(QString& workingList);

// Rewrites `list` with the document ids of `grid`'s document rows (column 0 of rows 1 to
// RowCount - 2), each once, in the order of first occurrence from the top; cell texts are taken
// unchanged. Returns whether at least one id was collected; `list` is empty when none was. A
// grid with more rows than a 16-bit row number reaches raises an overflow, the list untouched.
bool CollectGridIds(const FlexGrid& grid, QString& list);

}  // namespace xhook
