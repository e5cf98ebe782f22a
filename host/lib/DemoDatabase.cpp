#include "host/lib/DemoDatabase.h"

#include <QDir>

#include "data/Connection.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
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

// Makes room for the host database: refuses one that is there, or drops it when asked to.
void clearHostObjects(data::Connection& connection, bool replaceExisting) {
    const QStringList existing = existingHostObjects(connection);
    if (existing.isEmpty()) return;
    if (!replaceExisting)
        throw data::DbError(data::DbErrorNumber::Generic,
                            QStringLiteral("a host database already exists there (it holds %1); "
                                           "it is kept")
                                .arg(existing.join(QStringLiteral(", "))));
    dropHostSchema(connection);
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

DemoSummary createDemoDatabase(const QString& connectionString, const DemoOptions& options,
                               bool replaceExisting) {
    data::Connection connection;
    connection.setConnectionString(creatingConnectionString(connectionString));
    connection.open();
    connection.beginTrans();
    clearHostObjects(connection, replaceExisting);
    createHostSchema(connection);
    configureGridColumns(connection, kInvoiceGridType);
    configureGridColumns(connection, kOutboundGridType);
    const DemoSummary summary = generateDemoData(connection, options);
    connection.commitTrans();
    connection.close();
    return summary;
}

QStringList existingHostObjects(const QString& connectionString) {
    data::Connection connection;
    connection.setConnectionString(connectionString);
    connection.open();
    return existingHostObjects(connection);
}

}  // namespace xhook::host
