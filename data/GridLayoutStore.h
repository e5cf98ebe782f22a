#pragma once

#include <QString>

#include "data/ColumnWidths.h"

namespace xhook {

// Column widths of the window's grids, stored in t_GS_tableinfo under a layout name and type.
bool SaveGridLayout(const QString& name, const ColumnWidths& grid, qint16 type);
bool LoadGridLayout(const QString& name, ColumnWidths& grid, qint16 type);

}  // namespace xhook
