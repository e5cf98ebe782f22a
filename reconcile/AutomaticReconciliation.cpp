#include <cmath>
#include <limits>

#include "data/Connection.h"
#include "data/DatabaseOperation.h"
#include "foundation/Conversions.h"
#include "foundation/IdList.h"
#include "foundation/Messages.h"
#include "reconcile/CollectGridIds.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/ReconcileProcedure.h"
#include "reconcile/Reconciliations.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

const QString kNoOutboundDocumentText = QStringLiteral("无对应的销售出库单,钩稽不成功!");

QString sourceDocumentQuery(const QString& invoiceIds) {
    return "select isnull(fsinterid,0) as fSInterId from icsaleentry where finterid in (" +
           invoiceIds + ") ";
}

// A source document id as text: integral numbers in plain decimal, whatever type the database
// gives them (a whole double is no exponent form).
QString sourceIdText(const QVariant& value) {
    if (value.typeId() == QMetaType::Double) {
        const double number = value.toDouble();
        if (std::trunc(number) == number && std::abs(number) < 1e15)
            return QString::number(static_cast<qint64>(number));
    }
    return valueText(value);
}

// Collects the source documents of the invoices' lines into gOutboundIds, each once, in the order
// of their first line; a line without one adds 0. On a failure the list keeps the working form.
void collectSourceDocuments(data::Connection& connection, ReconcileObjects& objects,
                            QString& outboundIds, const QString& invoiceIds) {
    // The list goes into the SQL text: only decimal ids may reach it.
    const QString ids = requireIdList(invoiceIds, QStringLiteral("销售发票内码列表"));
    objects.results = connection.openResultSet(sourceDocumentQuery(ids));
    data::ResultSet& lines = *objects.results;
    for (; !lines.eof(); lines.moveNext())
        appendIdOnce(outboundIds, sourceIdText(lines.value(QStringLiteral("fsinterid"))));
    lines.close();
    finishIdList(outboundIds);
}

// Without a source document the message is shown while the connection is still open.
void reconcileWithSourceDocuments(HookForm& form, DatabaseOperation& operation,
                                  ReconcileObjects& objects, WindowSession& state) {
    objects.command = std::make_unique<data::Command>();
    collectSourceDocuments(operation.connection(), objects, state.gOutboundIds, state.gInvoiceIds);
    if (state.gOutboundIds.isEmpty()) {
        showReconcileMessage(kNoOutboundDocumentText, MessageExclamation);
        operation.finish();
        return;
    }
    CallReconcileProcedure(form, operation, objects, state.gOutboundIds, state.gInvoiceIds);
}

}  // namespace

// The outbound documents are those that the invoices' own lines name as their source; the
// outbound grid is never read.
void MenuAutoHook_Click(HookForm& form) {
    startReconcileOutcome();
    WindowSession& state = windowSession();
    if (form.vsf1->RowCount() == 1) return;
    if (!CollectGridIds(*form.vsf1, state.gInvoiceIds)) return;
    state.gOutboundIds = kWorkingIdListStart;
    runReconcileWork([&](DatabaseOperation& operation, ReconcileObjects& objects) {
        reconcileWithSourceDocuments(form, operation, objects, state);
    });
}

}  // namespace xhook
