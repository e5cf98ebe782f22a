#include "window/FrmHookResult.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "component/SharedState.h"
#include "window/FlexGrid.h"
#include "window/GridLoader.h"
#include "window/HookForm.h"

namespace xhook {

FrmHookResult::FrmHookResult() = default;

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
    return loadDocumentGrid(vsf1(), invoiceGridSource(), shared().gInvoiceIds);
}

bool FrmHookResult::find2() {
    return loadDocumentGrid(vsf2(), outboundGridSource(), shared().gOutboundIds);
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
    shown.show();
    if (isVisible()) loop.exec();
}

void FrmHookResult::close() {
    if (isLoaded()) form_->close();
}

}  // namespace xhook
