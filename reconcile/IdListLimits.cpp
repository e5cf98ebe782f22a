#include "reconcile/IdListLimits.h"

#include <QStringList>

#include "foundation/IdList.h"

namespace xhook {

namespace {

QString tooManyDocumentsText(const QString& documentName, const IdListFit& fit) {
    return QStringLiteral("所选%1过多: 共 %2 张, 最多可钩稽 %3 张, 超出 %4 张")
        .arg(documentName)
        .arg(fit.idCount)
        .arg(fit.fittingCount)
        .arg(fit.excess());
}

}  // namespace

std::optional<QString> idListsRefusal(const QString& outboundIds, const QString& invoiceIds) {
    QStringList lines;
    const IdListFit outbound = fitIdList(outboundIds, kIdListParameterSize);
    if (!outbound.fits()) lines << tooManyDocumentsText(QStringLiteral("销售出库单"), outbound);
    const IdListFit invoices = fitIdList(invoiceIds, kIdListParameterSize);
    if (!invoices.fits()) lines << tooManyDocumentsText(QStringLiteral("销售发票"), invoices);
    if (lines.isEmpty()) return std::nullopt;
    return lines.join(u'\n');
}

}  // namespace xhook
