#include "tests/support/DemoDatabaseSupport.h"

#include "data/ResultSet.h"
#include "host/lib/DemoDatabase.h"

namespace xhook::test {

QList<QVariantList> readRows(data::Connection& connection, const QString& sql) {
    QList<QVariantList> rows;
    const std::unique_ptr<data::ResultSet> result = connection.openResultSet(sql);
    for (; !result->eof(); result->moveNext()) {
        QVariantList row;
        for (int i = 0; i < result->fieldCount(); ++i) row.append(result->value(i));
        rows.append(row);
    }
    return rows;
}

QVariantList readColumn(data::Connection& connection, const QString& sql) {
    QVariantList values;
    for (const QVariantList& row : readRows(connection, sql)) values.append(row.value(0));
    return values;
}

QVariant readScalar(data::Connection& connection, const QString& sql) {
    const QVariantList values = readColumn(connection, sql);
    return values.isEmpty() ? QVariant() : values.first();
}

QStringList dumpAll(data::Connection& connection) {
    const QStringList queries = {"select * from t_customer order by fitemid",
                                 "select * from t_icitem order by fitemid",
                                 "select * from icsale order by finterid",
                                 "select * from icsaleentry order by finterid, fentryid",
                                 "select * from icstockbill order by finterid",
                                 "select * from icstockbillentry order by finterid, fentryid",
                                 "select * from t_GS_billGJ order by finterid",
                                 "select * from t_GS_billGJEntry order by finterid, fentryid",
                                 "select * from tblFindInfoEntry order by ftypeid, fentryid"};
    QStringList dump;
    for (const QString& sql : queries)
        for (const QVariantList& row : readRows(connection, sql)) {
            QStringList cells;
            for (const QVariant& v : row) cells.append(v.isNull() ? "NULL" : v.toString());
            dump.append(cells.join('|'));
        }
    return dump;
}

// The demo data are made through the database's own provider; the test reads and works through
// the string of its backend.
host::DemoSummary DemoDatabaseTest::createDemo(const host::DemoOptions& options) {
    QString providerString;
    if (backend() == Backend::SQLite) {
        path = dir.file(QStringLiteral("demo.db"));
        connectionString = providerString = host::sqliteConnectionString(path);
    } else {
        scratch = std::make_unique<ScratchDatabase>(backend(), dir.path());
        connectionString = scratch->connectionString();
        providerString = scratch->providerConnectionString();
    }
    const host::DemoSummary summary = host::createDemoDatabase(providerString, options);
    connection.setConnectionString(connectionString);
    connection.open();
    return summary;
}

}  // namespace xhook::test
