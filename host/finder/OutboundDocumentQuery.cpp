#include "host/finder/OutboundDocumentQuery.h"

#include "DeZuvarEDodOziv8/DocumentFinder.h"

namespace xhook::host {

namespace {

// The document-level view of the host database: its sums are made by the database, so the
// finder reads one row per document whatever the number of lines.
const QString kDocumentQuery = QStringLiteral(
    "select finterid, fbillno, fdate, fcustname, famount, flinecount from vGproductOutBill "
    "where 1=1");

}  // namespace

OutboundDocuments readOutboundDocuments(DeZuvarEDodOziv8::FinderContext& context,
                                        const QString& filter) {
    const std::unique_ptr<DeZuvarEDodOziv8::DocumentRows> rows =
        context.query(kDocumentQuery + filter + " order by fbillno");
    OutboundDocuments documents;
    while (rows->next()) {
        OutboundDocument document;
        document.id = rows->value(0).toLongLong();
        document.number = rows->value(1).toString();
        document.date = rows->value(2).toString();
        document.customer = rows->value(3).toString();
        document.amount = rows->value(4).toDouble();
        document.lineCount = rows->value(5).toInt();
        documents.append(std::move(document));
    }
    return documents;
}

}  // namespace xhook::host
