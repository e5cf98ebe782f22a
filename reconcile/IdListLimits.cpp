#include "reconcile/IdListLimits.h"

#include <QStringList>

namespace xhook {

namespace {

constexpr QChar kSeparator = u',';

QString tooManyDocumentsText(const QString& documentName, const IdListFit& fit) {
    return QStringLiteral("所选%1过多: 共 %2 张, 最多可钩稽 %3 张, 超出 %4 张")
        .arg(documentName)
        .arg(fit.idCount)
        .arg(fit.fittingCount)
        .arg(fit.excess());
}

}  // namespace

QString enclosedIdList(const QString& idList) {
    return kSeparator + idList + kSeparator;
}

IdListFit fitIdList(const QString& idList, int parameterSize) {
    const QStringList ids = idList.split(kSeparator);
    IdListFit fit;
    fit.idCount = static_cast<int>(ids.size());
    qsizetype length = 1;  // the leading separator
    for (const QString& id : ids) {
        length += id.size() + 1;  // the id and the separator after it
        if (length > parameterSize) break;
        ++fit.fittingCount;
    }
    return fit;
}

std::optional<QString> idListsRefusal(const QString& outboundIds, const QString& invoiceIds) {
    QStringList lines;
    const IdListFit outbound = fitIdList(outboundIds);
    if (!outbound.fits()) lines << tooManyDocumentsText(QStringLiteral("销售出库单"), outbound);
    const IdListFit invoices = fitIdList(invoiceIds);
    if (!invoices.fits()) lines << tooManyDocumentsText(QStringLiteral("销售发票"), invoices);
    if (lines.isEmpty()) return std::nullopt;
    return lines.join(u'\n');
}

}  // namespace xhook
