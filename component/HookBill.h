#pragma once

#include <QString>

namespace xhook {

// The component's one method: appends the ids to gInvoiceIds, creates the window when the thread
// has none, loads the invoice grid, and shows the window modally unless it is already visible.
// Always false. Errors pass out to the caller; an argument that the id-list rule refuses
// (foundation/IdList.h) fails the call before anything is appended.
bool hookBill(const QString& strBillInterId);

// Raises a clear error unless the calling thread is the one that runs the QApplication.
void requireGuiThread();

}  // namespace xhook
