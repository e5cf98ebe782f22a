#include "bench/BenchWorkload.h"

#include <memory>

#include "data/Connection.h"
#include "data/ResultSet.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/GridColumnConfig.h"

namespace xhook::bench {

namespace {

constexpr int kConfiguredColumns = 28;

// The widened configuration repeats the line columns with their totals; only the standard
// quantity and amount columns stay totalled.
void configureWideInvoiceGrid(data::Connection& connection) {
    host::configureGridColumns(connection, host::kInvoiceGridType, kConfiguredColumns);
    connection.execute(
        QStringLiteral("update tblFindInfoEntry set fIsSum=0 where ftypeid=? and fentryid>?"),
        {host::kInvoiceGridType, host::standardGridColumnCount()});
}

QStringList invoiceIds(data::Connection& connection) {
    QStringList ids;
    std::unique_ptr<data::ResultSet> rows = connection.openResultSet(
        QStringLiteral("select distinct finterid from vGSaleFP order by finterid"));
    for (; !rows->eof(); rows->moveNext()) ids << rows->value(0).toString();
    rows->close();
    return ids;
}

void fillWorkload(Workload& workload, int invoices, bool replaceExisting) {
    host::createDemoDatabase(workload.connectionString,
                             host::DemoOptions{7, invoices, workload.linesPerInvoice},
                             replaceExisting);
    data::Connection connection;
    connection.setConnectionString(workload.connectionString);
    connection.open();
    configureWideInvoiceGrid(connection);
    workload.invoiceIds = invoiceIds(connection);
    connection.close();
}

}  // namespace

QString Workload::idListForLines(int lines) const {
    return QStringList(invoiceIds.mid(0, lines / linesPerInvoice)).join(',');
}

Workload createWorkload(const QString& path, int invoices, int linesPerInvoice) {
    Workload workload{path, host::sqliteConnectionString(path), {}, linesPerInvoice};
    fillWorkload(workload, invoices, false);
    return workload;
}

Workload createServerWorkload(const QString& connectionString, int invoices, int linesPerInvoice) {
    Workload workload{{}, connectionString, {}, linesPerInvoice};
    fillWorkload(workload, invoices, true);
    return workload;
}

QString lineQueryText(const QString& idList) {
    return "select * from  vGSaleFP where 1=1 and finterid in ( " + idList +
           ") order by finterid,forderid limit 20000";
}

}  // namespace xhook::bench
