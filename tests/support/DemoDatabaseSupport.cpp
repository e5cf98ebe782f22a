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

host::DemoSummary DemoDatabaseTest::createDemo(const host::DemoOptions& options) {
    if (backend() == Backend::SQLite) {
        path = dir.file(QStringLiteral("demo.db"));
        connectionString = host::sqliteConnectionString(path);
    } else {
        scratch = std::make_unique<ScratchDatabase>(backend(), dir.path());
        connectionString = scratch->connectionString();
    }
    const host::DemoSummary summary = host::createDemoDatabase(connectionString, options);
    connection.setConnectionString(connectionString);
    connection.open();
    return summary;
}

}  // namespace xhook::test
