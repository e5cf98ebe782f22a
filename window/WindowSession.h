#pragma once

#include <QString>
#include <memory>

namespace xhook {

class FrmHookResult;

// What the reconciliation window works on, one per thread for as long as the component is
// loaded: the documents that its grids list, the customer of the last document line loaded, the
// window itself, and the two of the host's settings that its messages and commands use. Closing
// the window keeps all of it; only the reconciliations rewrite the id lists. The component's
// shared state record holds these fields.
struct WindowSession {
    WindowSession();
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    QString msgTitle;                            // the title of the reconciliations' messages
    QString gLoginUserId;                        // stays text: passed on to the procedure as found
    QString gInvoiceIds;                         // id list of the invoices shown in vsf1
    QString gOutboundIds;                        // id list of the outbound documents shown in vsf2
    QString gCustomerNumber;                     // customer of the last document line loaded
    std::unique_ptr<FrmHookResult> gHookWindow;  // the single window, created at first use
};

// The calling thread's session. It is made after the thread's shared connection slot, so that the
// window it holds is discarded while that slot still exists.
WindowSession& windowSession();

}  // namespace xhook
