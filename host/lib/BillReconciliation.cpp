#include "host/lib/BillReconciliation.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "data/DbError.h"
#include "data/SqlStatement.h"
#include "foundation/IdList.h"
#include "host/lib/ReconcileDocuments.h"

namespace xhook::host {

namespace {

using Refusal = std::optional<QString>;

data::Parameter& parameterNamed(QList<data::Parameter>& parameters, const QString& name) {
    for (data::Parameter& p : parameters)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return p;
    throw data::DbError(data::DbErrorNumber::ItemNotFound,
                        QStringLiteral("sp_GS_billGJ: parameter '%1' was not supplied").arg(name));
}

QString quantityText(double quantity) {
    return QString::number(quantity, 'g', 15);
}

bool sameQuantity(double a, double b) {
    return qRound64(a * 10000.0) == qRound64(b * 10000.0);
}

// The documents of one call, as read inside its transaction.
struct Side {
    const DocumentKind& kind;
    QList<qint64> ids;
    QMap<qint64, DocumentHeader> headers;
};

Refusal checkListed(const Side& side, const IdNumbers& list) {
    if (!list.valid)
        return QStringLiteral("%1内码列表中有无效的内码“%2”,钩稽不成功!")
            .arg(side.kind.label, limitReason(list.badItem, 20));
    if (list.ids.isEmpty())
        return QStringLiteral("没有要钩稽的%1,钩稽不成功!").arg(side.kind.label);
    return std::nullopt;
}

Refusal checkExisting(const Side& side) {
    for (qint64 id : side.ids) {
        if (side.headers.contains(id)) continue;
        if (id == 0 && &side.kind == &outboundKind())
            return QStringLiteral("有销售发票分录没有源销售出库单(内码0),钩稽不成功!");
        return QStringLiteral("内码为%1的%2不存在,钩稽不成功!").arg(id).arg(side.kind.label);
    }
    return std::nullopt;
}

Refusal checkOneCustomer(const DocumentHeader& first, const QList<const Side*>& sides) {
    for (const Side* side : sides)
        for (qint64 id : side->ids) {
            const DocumentHeader& h = side->headers[id];
            if (h.customerId == first.customerId) continue;
            return QStringLiteral("单据不属于同一客户:%1属于%2,%3属于%4,钩稽不成功!")
                .arg(first.billNo, first.customerName, h.billNo, h.customerName);
        }
    return std::nullopt;
}

Refusal checkNotReconciled(const QSqlDatabase& db, const Side& side) {
    for (qint64 id : side.ids) {
        const DocumentHeader& h = side.headers[id];
        if (h.reconciliationId == 0) continue;
        QString number = reconciliationNumber(db, h.reconciliationId);
        if (number.isEmpty()) number = QStringLiteral("内码%1").arg(h.reconciliationId);
        return QStringLiteral("%1%2已经钩稽(钩稽单%3),不能重复钩稽!")
            .arg(side.kind.label, h.billNo, number);
    }
    return std::nullopt;
}

QString itemLabel(const ItemQuantity& item) {
    return QStringLiteral("%1(%2)").arg(item.number, item.name);
}

// Invoiced and delivered quantities per item, in the order of the item numbers.
Refusal checkQuantities(const QSqlDatabase& db, const Side& invoices, const Side& deliveries) {
    const QMap<qint64, ItemQuantity> invoiced = loadItemQuantities(db, invoices.kind, invoices.ids);
    const QMap<qint64, ItemQuantity> delivered =
        loadItemQuantities(db, deliveries.kind, deliveries.ids);
    QList<qint64> items = invoiced.keys();
    for (qint64 id : delivered.keys())
        if (!invoiced.contains(id)) items.append(id);
    std::sort(items.begin(), items.end(), [&](qint64 a, qint64 b) {
        const QString na = invoiced.value(a, delivered.value(a)).number;
        const QString nb = invoiced.value(b, delivered.value(b)).number;
        return na != nb ? na < nb : a < b;
    });
    for (qint64 id : items) {
        if (!delivered.contains(id))
            return QStringLiteral("物料%1只在销售发票中(数量%2),销售出库单中没有,钩稽不成功!")
                .arg(itemLabel(invoiced[id]), quantityText(invoiced[id].quantity));
        if (!invoiced.contains(id))
            return QStringLiteral("物料%1只在销售出库单中(数量%2),销售发票中没有,钩稽不成功!")
                .arg(itemLabel(delivered[id]), quantityText(delivered[id].quantity));
        if (!sameQuantity(invoiced[id].quantity, delivered[id].quantity))
            return QStringLiteral("物料%1的发票数量%2与出库数量%3不一致,钩稽不成功!")
                .arg(itemLabel(invoiced[id]), quantityText(invoiced[id].quantity),
                     quantityText(delivered[id].quantity));
    }
    return std::nullopt;
}

Refusal checkDocuments(const QSqlDatabase& db, const Side& invoices, const Side& deliveries) {
    for (const Side* side : {&invoices, &deliveries})
        if (Refusal r = checkExisting(*side)) return r;
    const DocumentHeader& first = invoices.headers[invoices.ids.first()];
    if (Refusal r = checkOneCustomer(first, {&invoices, &deliveries})) return r;
    for (const Side* side : {&invoices, &deliveries})
        if (Refusal r = checkNotReconciled(db, *side)) return r;
    return checkQuantities(db, invoices, deliveries);
}

qint64 nextReconciliationId(const QSqlDatabase& db) {
    QSqlQuery query = data::runStatement(
        db, QStringLiteral("select coalesce(max(finterid),0)+1 from t_GS_billGJ"));
    query.next();
    return query.value(0).toLongLong();
}

// Sets fhookinterid on documents that are still unreconciled; all of them must be.
void markReconciled(const QSqlDatabase& db, const Side& side, qint64 reconciliationId) {
    QVariantList values{reconciliationId};
    values.append(boundIds(side.ids));
    const QSqlQuery update =
        data::runStatement(db,
                           QStringLiteral("update %1 set fhookinterid=? where finterid in (%2) "
                                          "and coalesce(fhookinterid,0)=0")
                               .arg(side.kind.headerTable, placeholders(side.ids.size())),
                           values);
    if (update.numRowsAffected() != side.ids.size())
        throw data::DbError(data::DbErrorNumber::Generic,
                            QStringLiteral("%1 were reconciled by someone else meanwhile")
                                .arg(side.kind.headerTable));
}

QString recordReconciliation(const QSqlDatabase& db, const Side& invoices, const Side& deliveries,
                             const QVariant& type, const QVariant& userId) {
    const qint64 id = nextReconciliationId(db);
    const QString number = QStringLiteral("GJ%1").arg(id, 6, 10, QChar('0'));
    const DocumentHeader& first = invoices.headers[invoices.ids.first()];
    data::runStatement(
        db,
        QStringLiteral("insert into t_GS_billGJ(finterid,fbillno,fdate,fuserid,"
                       "ftype,fcustid) values(?,?,?,?,?,?)"),
        {id, number, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
         userId, type, first.customerId});
    int entry = 0;
    for (const Side* side : {&invoices, &deliveries}) {
        for (qint64 documentId : side->ids)
            data::runStatement(db,
                               QStringLiteral("insert into t_GS_billGJEntry(finterid,fentryid,"
                                              "fbilltype,fbillinterid,fbillno) values(?,?,?,?,?)"),
                               {id, ++entry, side->kind.reconciliationType, documentId,
                                side->headers[documentId].billNo});
        markReconciled(db, *side, id);
    }
    return number;
}

void answer(QList<data::Parameter>& parameters, qint64 value, const QString& text) {
    parameterNamed(parameters, QStringLiteral("intReturnValue")).value = value;
    parameterNamed(parameters, QStringLiteral("strReturnValue")).value = limitReason(text);
}

}  // namespace

QString limitReason(const QString& text, int limit) {
    if (text.size() <= limit) return text;
    qsizetype keep = limit - 1;
    if (keep > 0 && text[keep - 1].isHighSurrogate()) --keep;
    return text.left(keep) + QChar(0x2026);
}

void runBillReconciliation(QSqlDatabase& db, QList<data::Parameter>& parameters) {
    const IdNumbers outboundList =
        idNumbers(parameterNamed(parameters, QStringLiteral("interids1")).value.toString());
    const IdNumbers invoiceList =
        idNumbers(parameterNamed(parameters, QStringLiteral("interids2")).value.toString());
    const QVariant type = parameterNamed(parameters, QStringLiteral("intType")).value;
    const QVariant userId = parameterNamed(parameters, QStringLiteral("loginUserId")).value;

    Side invoices{invoiceKind(), invoiceList.ids, {}};
    Side deliveries{outboundKind(), outboundList.ids, {}};
    Refusal refusal = checkListed(invoices, invoiceList);
    if (!refusal) refusal = checkListed(deliveries, outboundList);
    if (refusal) return answer(parameters, -1, *refusal);

    invoices.headers = loadDocumentHeaders(db, invoices.kind, invoices.ids);
    deliveries.headers = loadDocumentHeaders(db, deliveries.kind, deliveries.ids);
    if ((refusal = checkDocuments(db, invoices, deliveries)))
        return answer(parameters, -1, *refusal);

    const QString number = recordReconciliation(db, invoices, deliveries, type, userId);
    answer(parameters, 1, QStringLiteral("钩稽成功,钩稽单号%1").arg(number));
}

}  // namespace xhook::host
