#pragma once

#include <QString>
#include <QStringList>

namespace xhook::bench {

// A demo host database for the timings, its invoice grid configured wide: 28 configured
// columns, the first three merged, four totalled, display formats on the number and date
// columns.
struct Workload {
    QString path;
    QString connectionString;
    QStringList invoiceIds;  // in id order
    int linesPerInvoice = 0;

    // The id list of the first `lines` lines' invoices ("1,2,3").
    QString idListForLines(int lines) const;
};

// A SQLite file at `path`.
Workload createWorkload(const QString& path, int invoices, int linesPerInvoice);
// The same on a server database that exists; what it held of the host database is replaced.
Workload createServerWorkload(const QString& connectionString, int invoices, int linesPerInvoice);

// The loader's line query for `idList` as it reaches SQLite.
QString lineQueryText(const QString& idList);

}  // namespace xhook::bench
