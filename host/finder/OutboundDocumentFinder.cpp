#include <QApplication>

#include "DeZuvarEDodOziv8/DocumentFinder.h"
#include "host/finder/FinderDialog.h"
#include "host/finder/OutboundDocumentQuery.h"

namespace xhook::host {

namespace {

using DeZuvarEDodOziv8::DocumentFinder;
using DeZuvarEDodOziv8::FinderContext;

// Only callers that know this code may look documents up.
const QString kAccessCode = QStringLiteral("@#^wmzt");

// The host's document finder over sales outbound documents: Find shows the lookup dialog over the
// documents that the filter leaves, modally over the active window; SelectedIds then tells the
// documents chosen, empty after a cancel. The documents are read through the context the
// component created it with.
class OutboundDocumentFinder : public DocumentFinder {
  public:
    explicit OutboundDocumentFinder(FinderContext& context) : context_(context) {}

    QString Find(QString& accessCode, QString& filter) override {
        selectedIds_.clear();
        if (accessCode != kAccessCode)
            context_.raiseInvalidCall(QStringLiteral("单据查询的访问码不正确"));
        FinderDialog dialog(QApplication::activeWindow());
        dialog.setDocuments(readOutboundDocuments(context_, filter));
        if (dialog.exec() == QDialog::Accepted) selectedIds_ = dialog.selectedIds();
        return selectedIds_;
    }

    QString SelectedIds() override { return selectedIds_; }

  private:
    FinderContext& context_;
    QString selectedIds_;
};

}  // namespace

}  // namespace xhook::host

extern "C" Q_DECL_EXPORT DeZuvarEDodOziv8::DocumentFinder* xhookCreateDocumentFinder(
    DeZuvarEDodOziv8::FinderContext* context) {
    return context == nullptr ? nullptr : new xhook::host::OutboundDocumentFinder(*context);
}
