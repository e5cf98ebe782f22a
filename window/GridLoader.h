#pragma once

#include <QString>

namespace xhook {

class FlexGrid;

// What distinguishes the two grids' loads.
struct GridSource {
    int configurationType;  // ftypeid: 100 invoices, 101 outbound documents
    QString lineView;       // vGSaleFP or vGproductOut
};

GridSource invoiceGridSource();
GridSource outboundGridSource();

// Rebuilds `grid` from the host database: its column configuration, one row per document line of
// the documents in `idList`, separators, status colours and the totals row; sets gCustomerNumber.
// True when the grid was rebuilt; false when a failure was handled and shown. A failure to open
// the connection is raised to the caller.
bool loadDocumentGrid(FlexGrid& grid, const GridSource& source, const QString& idList);

}  // namespace xhook
