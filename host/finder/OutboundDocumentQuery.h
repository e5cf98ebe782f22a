#pragma once

#include <QString>

#include "host/finder/OutboundDocument.h"

namespace DeZuvarEDodOziv8 {
class FinderContext;
}

namespace xhook::host {

// The outbound documents that the filter (a condition fragment beginning with " and ", naming
// columns of the view vGproductOutBill) leaves, one row per document, ordered by number, read
// through the context the component created the finder with. Reads only the document view,
// never the lines themselves. A failure raises the component's error.
OutboundDocuments readOutboundDocuments(DeZuvarEDodOziv8::FinderContext& context,
                                        const QString& filter);

}  // namespace xhook::host
