#pragma once

#include <QtGlobal>

namespace xhook::data {
class Connection;
}

namespace xhook::host {

// What the demo data generator makes. The data comes in groups of four customers with fourteen
// sales invoices between them, always in the same mix of cases (see DemoData.cpp); the seed
// decides items, quantities, prices, dates and statuses.
struct DemoOptions {
    quint64 seed = 1;
    int invoices = 0;         // 0: one group (14 invoices); more: groups repeat, the last cut short
    int linesPerInvoice = 0;  // 0: 1 to 4 lines at random
};

struct DemoSummary {
    int customers = 0;
    int items = 0;
    int invoices = 0;
    int invoiceLines = 0;
    int outboundDocuments = 0;
    int outboundLines = 0;
    int reconciliations = 0;
};

// Number of invoices in one group of the demo data.
int demoInvoicesPerGroup();

// Writes the demo data through `connection` into an empty host database whose schema exists.
// The same options give the same rows. Runs inside the transaction open on the connection, or in
// one of its own (left open on failure, so that closing the connection rolls it back).
DemoSummary generateDemoData(data::Connection& connection, const DemoOptions& options);

}  // namespace xhook::host
