#include "foundation/IdList.h"
#include "window/Commands.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FrmHookResult.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

const QString kFinderAccessCode = QStringLiteral("@#^wmzt");

// The condition that the finder appends to its own: the customer's outbound documents that are
// not yet reconciled. A quote in the customer number is doubled, so that it stays inside the
// literal.
QString unreconciledOutboundFilter(const QString& customerNumber) {
    QString quoted = customerNumber;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return " and fcustomeridnumber='" + quoted + "' and isnull(fhookinterid,0)=0 ";
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
