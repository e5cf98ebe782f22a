#pragma once

#include <QPointer>
#include <QString>

#include "window/ReconciliationCommands.h"

namespace xhook {

class FlexGrid;
class HookForm;

// The reconciliation window frmHookResult as its callers see it. The object lives as long as the
// thread's session (WindowSession) and survives every close; its controls (the form, HookForm)
// are built from the design the first time they are touched, and discarded when the window
// closes, so that the next touch builds them anew with every command enabled. The reconciliations
// that its commands run are given to it (ReconciliationCommands.h).
class FrmHookResult {
  public:
    explicit FrmHookResult(ReconciliationCommands reconciliations = {});
    ~FrmHookResult();
    FrmHookResult(const FrmHookResult&) = delete;
    FrmHookResult& operator=(const FrmHookResult&) = delete;

    // Load the invoice grid vsf1 from gInvoiceIds, and the outbound grid vsf2 from gOutboundIds.
    bool find1();
    bool find2();

    bool isVisible() const;
    // Shows the window application-modally and returns when it has been closed; returns at once
    // when it is already visible. With XHOOK_CLOSE_WINDOW_AFTER_MS set to N, the window closes
    // itself N milliseconds after it was shown (for hosts that run without a user).
    void showModal();
    // Closes the window (as the close box does): saves the layouts and unloads it.
    void close();

    // True while the controls are built and not unloading.
    bool isLoaded() const;
    // Touching the controls loads the window when it is not loaded.
    HookForm& form();
    FlexGrid& vsf1();
    FlexGrid& vsf2();

    const ReconciliationCommands& reconciliations() const { return reconciliations_; }

  private:
    ReconciliationCommands reconciliations_;
    QPointer<HookForm> form_;
};

}  // namespace xhook
