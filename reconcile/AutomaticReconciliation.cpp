#include <cmath>
#include <limits>

#include "foundation/Conversions.h"
#include "foundation/Messages.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/SharedConnection.h"
#include "reconcile/CollectGridIds.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/ReconcileProcedure.h"
#include "window/Commands.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"
#include "window/IdListCheck.h"

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
void collectSourceDocuments(ReconcileObjects& objects, QString& outboundIds,
                            const QString& invoiceIds) {
    // The list goes into the SQL text: only decimal ids may reach it.
    const QString ids = requireIdList(invoiceIds, QStringLiteral("销售发票内码列表"));
    objects.results = shared().gConnection->openResultSet(sourceDocumentQuery(ids));
    data::ResultSet& lines = *objects.results;
    for (; !lines.eof(); lines.moveNext())
        appendIdOnce(outboundIds, sourceIdText(lines.value(QStringLiteral("fsinterid"))));
    lines.close();
    finishIdList(outboundIds);
}

void reconcileWithSourceDocuments(HookForm& form, ReconcileObjects& objects, SharedState& state) {
    objects.command = std::make_unique<data::Command>();
    collectSourceDocuments(objects, state.gOutboundIds, state.gInvoiceIds);
    if (state.gOutboundIds.isEmpty()) {
        showReconcileMessage(kNoOutboundDocumentText, MessageExclamation);
        objects.release();
        CloseConnection();
        return;
    }
    CallReconcileProcedure(form, objects, state.gOutboundIds, state.gInvoiceIds);
}

}  // namespace

// The outbound documents are those that the invoices' own lines name as their source; the
// outbound grid is never read.
void MenuAutoHook_Click(HookForm& form) {
    startReconcileOutcome();
    SharedState& state = shared();
    if (form.vsf1->RowCount() == 1) return;
    if (!CollectGridIds(*form.vsf1, state.gInvoiceIds)) return;
    state.gOutboundIds = kWorkingIdListStart;
    OpenConnection();
    runReconcileWork(
        [&](ReconcileObjects& objects) { reconcileWithSourceDocuments(form, objects, state); });
}

}  // namespace xhook
