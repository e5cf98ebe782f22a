// Placeholder until the layout store is written.
#include "data/GridLayoutStore.h"
namespace xhook {
bool SaveGridLayout(const QString&, FlexGrid&, qint16) { return false; }
bool LoadGridLayout(const QString&, FlexGrid&, qint16) { return false; }
}  // namespace xhook
