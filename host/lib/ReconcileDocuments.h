#pragma once

#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

namespace xhook::host {

// The two kinds of document that a reconciliation joins, with their tables.
struct DocumentKind {
    QString label;  // as the user reads it: "销售发票", "销售出库单"
    QString headerTable;
    QString lineTable;
    int reconciliationType;  // fbilltype of t_GS_billGJEntry
};
const DocumentKind& invoiceKind();
const DocumentKind& outboundKind();

struct DocumentHeader {
    qint64 id = 0;
    QString billNo;
    qint64 customerId = 0;
    QString customerName;
    qint64 reconciliationId = 0;  // 0 when not reconciled (NULL reads as 0)
};

struct ItemQuantity {
    QString number;
    QString name;
    double quantity = 0;
};

// Reading the documents of a reconciliation on a database inside its transaction. Raise DbError.
// The headers of those of `ids` that exist, by id.
QMap<qint64, DocumentHeader> loadDocumentHeaders(const QSqlDatabase& db, const DocumentKind& kind,
                                                 const QList<qint64>& ids);
// The quantity per item over all lines of the documents, by item id.
QMap<qint64, ItemQuantity> loadItemQuantities(const QSqlDatabase& db, const DocumentKind& kind,
                                              const QList<qint64>& ids);
// The number of a reconciliation, empty when there is none with that id.
QString reconciliationNumber(const QSqlDatabase& db, qint64 id);

// "?,?,?" for n values, and the ids as bound values.
QString placeholders(qsizetype n);
QVariantList boundIds(const QList<qint64>& ids);

}  // namespace xhook::host
