#include "host/lib/HostSchema.h"

#include <QFile>

#include "data/Connection.h"
#include "data/DbError.h"

namespace xhook::host {

namespace {

// The schema script of the connection's backend, from the resources.
QString schemaScript(const data::Connection& connection) {
    const QString provider = connection.providerName();
    const QString path = QStringLiteral(":/host/sql/schema_%1.sql").arg(provider.toLower());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw data::DbError(
            data::DbErrorNumber::Generic,
            QStringLiteral("no host database schema for provider '%1' (%2)").arg(provider, path));
    return QString::fromUtf8(file.readAll());
}

}  // namespace

QStringList splitSqlScript(const QString& script) {
    QStringList statements;
    QStringList pending;
    for (const QString& line : script.split('\n')) {
        const QString text = line.trimmed();
        if (text.isEmpty() || text.startsWith(QStringLiteral("--"))) continue;
        if (!text.endsWith(';')) {
            pending.append(line);
            continue;
        }
        pending.append(line.left(line.lastIndexOf(';')));
        statements.append(pending.join('\n').trimmed());
        pending.clear();
    }
    if (!pending.join(QString()).trimmed().isEmpty())
        statements.append(pending.join('\n').trimmed());
    return statements;
}

void createHostSchema(data::Connection& connection) {
    for (const QString& statement : splitSqlScript(schemaScript(connection)))
        connection.execute(statement);
}

}  // namespace xhook::host
