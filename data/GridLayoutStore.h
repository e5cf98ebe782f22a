#pragma once

#include <QString>

namespace xhook {

class FlexGrid;

// Column widths of the window's grids, stored in t_GS_tableinfo under a layout name and type.
bool SaveGridLayout(const QString& name, FlexGrid& grid, qint16 type);
bool LoadGridLayout(const QString& name, FlexGrid& grid, qint16 type);

}  // namespace xhook
