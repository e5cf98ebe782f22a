#include "host/lib/ReconcileDocuments.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "data/SqlStatement.h"

namespace xhook::host {

const DocumentKind& invoiceKind() {
    static const DocumentKind kind{QStringLiteral("销售发票"), QStringLiteral("icsale"),
                                   QStringLiteral("icsaleentry"), 1};
    return kind;
}

const DocumentKind& outboundKind() {
    static const DocumentKind kind{QStringLiteral("销售出库单"), QStringLiteral("icstockbill"),
                                   QStringLiteral("icstockbillentry"), 2};
    return kind;
}

QString placeholders(qsizetype n) {
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i) marks.append(QStringLiteral("?"));
    return marks.join(',');
}

QVariantList boundIds(const QList<qint64>& ids) {
    QVariantList values;
    for (qint64 id : ids) values.append(id);
    return values;
}

QMap<qint64, DocumentHeader> loadDocumentHeaders(const QSqlDatabase& db, const DocumentKind& kind,
                                                 const QList<qint64>& ids) {
    const QString sql = QStringLiteral(
                            "select h.finterid, h.fbillno, h.fcustid, c.fname, "
                            "coalesce(h.fhookinterid,0) from %1 h left join t_customer c on "
                            "c.fitemid = h.fcustid where h.finterid in (%2)")
                            .arg(kind.headerTable, placeholders(ids.size()));
    QSqlQuery query = data::runStatement(db, sql, boundIds(ids));
    QMap<qint64, DocumentHeader> headers;
    while (query.next()) {
        DocumentHeader header{query.value(0).toLongLong(), query.value(1).toString(),
                              query.value(2).toLongLong(), query.value(3).toString(),
                              query.value(4).toLongLong()};
        headers.insert(header.id, header);
    }
    return headers;
}

QMap<qint64, ItemQuantity> loadItemQuantities(const QSqlDatabase& db, const DocumentKind& kind,
                                              const QList<qint64>& ids) {
    const QString sql = QStringLiteral(
                            "select e.fitemid, i.fnumber, i.fname, sum(e.fqty) from %1 e left join "
                            "t_icitem i on i.fitemid = e.fitemid where e.finterid in (%2) "
                            "group by e.fitemid, i.fnumber, i.fname")
                            .arg(kind.lineTable, placeholders(ids.size()));
    QSqlQuery query = data::runStatement(db, sql, boundIds(ids));
    QMap<qint64, ItemQuantity> quantities;
    while (query.next())
        quantities.insert(
            query.value(0).toLongLong(),
            {query.value(1).toString(), query.value(2).toString(), query.value(3).toDouble()});
    return quantities;
}

QString reconciliationNumber(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query = data::runStatement(
        db, QStringLiteral("select fbillno from t_GS_billGJ where finterid=?"), {id});
    return query.next() ? query.value(0).toString() : QString();
}

}  // namespace xhook::host
