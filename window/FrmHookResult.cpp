#include "window/FrmHookResult.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <optional>

#include "window/BusyCursor.h"
#include "window/FlexGrid.h"
#include "window/GridLoader.h"
#include "window/HookForm.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

// A host that runs without a user (a smoke test, a headless build machine) sets
// XHOOK_CLOSE_WINDOW_AFTER_MS to a number of milliseconds; the window then closes itself, as
// its close box does, that long after hookBill has shown it. Anything but a non-negative whole
// number leaves the window to the user.
std::optional<int> automaticCloseDelay() {
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("XHOOK_CLOSE_WINDOW_AFTER_MS", &ok);
    if (!ok || milliseconds < 0) return std::nullopt;
    return milliseconds;
}

}  // namespace

FrmHookResult::FrmHookResult(ReconciliationCommands reconciliations)
    : reconciliations_(std::move(reconciliations)) {}

// The record that owns this object may outlive the application object at exit; widgets cannot be
// deleted then.
FrmHookResult::~FrmHookResult() {
    if (form_ && QCoreApplication::instance()) delete form_.data();
}

bool FrmHookResult::isLoaded() const {
    return form_ && !form_->isUnloaded();
}

HookForm& FrmHookResult::form() {
    if (!isLoaded()) form_ = new HookForm(this);
    return *form_;
}

FlexGrid& FrmHookResult::vsf1() {
    return *form().vsf1;
}

FlexGrid& FrmHookResult::vsf2() {
    return *form().vsf2;
}

bool FrmHookResult::find1() {
    const BusyCursor busy;
    return loadDocumentGrid(vsf1(), invoiceGridSource(), windowSession().gInvoiceIds);
}

bool FrmHookResult::find2() {
    const BusyCursor busy;
    return loadDocumentGrid(vsf2(), outboundGridSource(), windowSession().gOutboundIds);
}

bool FrmHookResult::isVisible() const {
    return isLoaded() && form_->isVisible();
}

void FrmHookResult::showModal() {
    if (isVisible()) return;
    HookForm& shown = form();
    QEventLoop loop;
    QObject::connect(&shown, &HookForm::unloading, &loop, &QEventLoop::quit);
    QObject::connect(&shown, &QObject::destroyed, &loop, &QEventLoop::quit);
    shown.setWindowModality(Qt::ApplicationModal);
    if (const std::optional<int> delay = automaticCloseDelay())
        QTimer::singleShot(*delay, &shown, [&shown] { shown.close(); });
    shown.show();
    if (isVisible()) loop.exec();
}

void FrmHookResult::close() {
    if (isLoaded()) form_->close();
}

}  // namespace xhook
