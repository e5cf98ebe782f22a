#include "data/Connection.h"
#include "data/ConnectionSlot.h"
#include "foundation/IdList.h"
#include "window/Commands.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FrmHookResult.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

const QString kFinderAccessCode = QStringLiteral("@#^wmzt");

// The customer number as a literal of the host database, written by a connection of the data
// layer that is opened for it and closed again: by the rules of the database's session, so that
// no number can end the literal, whatever the server's settings (standard_conforming_strings).
// On PostgreSQL the pool hands that session to the finder's query next, so the open costs no
// round trip there.
QString customerNumberLiteral(const QString& customerNumber) {
    data::Connection connection;
    connection.setConnectionString(data::connectionSlot().DBConnectionString);
    connection.open();
    return connection.textLiteral(customerNumber);
}

// The condition that the finder appends to its own: the customer's outbound documents that are
// not yet reconciled. For an ordinary number it reads
// " and fcustomeridnumber='C001' and isnull(fhookinterid,0)=0 ".
QString unreconciledOutboundFilter(const QString& customerNumber) {
    return " and fcustomeridnumber=" + customerNumberLiteral(customerNumber) +
           " and isnull(fhookinterid,0)=0 ";
}

// New ids go at the end, as the finder gave them; ids already listed are not looked for. The
// finder's answer goes into SQL later, so an answer that the id-list rule refuses is refused here
// and the list stays as it was.
void appendOutboundIds(const QString& selectedIds) {
    if (selectedIds.isEmpty()) return;
    requireIdList(selectedIds, QStringLiteral("查询结果 SelectedIds"));
    appendIds(windowSession().gOutboundIds, selectedIds);
}

}  // namespace

void MenuXOutFind_Click(FrmHookResult& window) {
    const std::unique_ptr<DocumentFinder> finder = createDocumentFinder(kDocumentFinderClsid);
    QString accessCode = kFinderAccessCode;
    QString filter = unreconciledOutboundFilter(windowSession().gCustomerNumber);
    finder->Find(accessCode, filter);
    appendOutboundIds(finder->SelectedIds());
    if (!windowSession().gOutboundIds.isEmpty()) window.find2();
}

}  // namespace xhook
