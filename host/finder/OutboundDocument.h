#pragma once

#include <QList>
#include <QString>

namespace xhook::host {

// One sales outbound document as the finder lists it: its header and the sums of its lines.
struct OutboundDocument {
    qint64 id = 0;     // finterid
    QString number;    // fbillno
    QString date;      // fdate, yyyy-MM-dd
    QString customer;  // the customer's name
    double amount = 0;
    int lineCount = 0;
};

using OutboundDocuments = QList<OutboundDocument>;

}  // namespace xhook::host
