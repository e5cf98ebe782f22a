#include "host/lib/DemoDatabase.h"

#include <QDir>

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "host/lib/GridColumnConfig.h"
#include "host/lib/HostSchema.h"

namespace xhook::host {

namespace {

// A SQLite database is opened so that a missing file is created.
QString creatingConnectionString(const QString& connectionString) {
    const data::ConnectionString cs = data::ConnectionString::parse(connectionString);
    if (cs.provider().compare(u"SQLite", Qt::CaseInsensitive) != 0 || cs.contains("Mode"))
        return connectionString;
    return connectionString + QStringLiteral(";Mode=ReadWriteCreate");
}

}  // namespace

QString sqliteConnectionString(const QString& path) {
    QString source = path;
    if (source.contains(';') || source.startsWith('"') || source.startsWith('\''))
        source = '"' + QString(source).replace('"', QStringLiteral("\"\"")) + '"';
    return QStringLiteral("Provider=SQLite;Data Source=") + source;
}

QString defaultDemoDatabasePath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/xouthook/demo.db"));
}

DemoSummary createDemoDatabase(const QString& connectionString, const DemoOptions& options) {
    data::Connection connection;
    connection.setConnectionString(creatingConnectionString(connectionString));
    connection.open();
    connection.beginTrans();
    createHostSchema(connection);
    configureGridColumns(connection, kInvoiceGridType);
    configureGridColumns(connection, kOutboundGridType);
    const DemoSummary summary = generateDemoData(connection, options);
    connection.commitTrans();
    connection.close();
    return summary;
}

}  // namespace xhook::host
