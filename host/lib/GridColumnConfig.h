#pragma once

namespace xhook::data {
class Connection;
}

namespace xhook::host {

// Configuration types of the reconciliation window's two grids in tblFindInfoEntry.
constexpr int kInvoiceGridType = 100;
constexpr int kOutboundGridType = 101;

// The number of columns that the host configures for each grid: document number, date and
// customer (merged, document-level), then item code, name, specification, unit, quantity, unit
// price, amount, tax and amount with tax.
int standardGridColumnCount();

// Replaces the configuration rows of `typeId` with `columnCount` rows numbered 1, 2, 3 ...
// without gaps. Up to the standard count these are the standard columns; beyond it the
// line-level columns repeat, their titles numbered ("数量2"), so that a wider grid can be
// configured over the same views.
void configureGridColumns(data::Connection& connection, int typeId, int columnCount);
inline void configureGridColumns(data::Connection& connection, int typeId) {
    configureGridColumns(connection, typeId, standardGridColumnCount());
}

}  // namespace xhook::host
