#include "host/lib/HostSchema.h"

#include <QFile>
#include <QRegularExpression>

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/ResultSet.h"

namespace xhook::host {

namespace {

QString resourceText(const QString& path, const QString& provider) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw data::DbError(
            data::DbErrorNumber::Generic,
            QStringLiteral("no host database schema for provider '%1' (%2)").arg(provider, path));
    return QString::fromUtf8(file.readAll());
}

bool isPostgres(const data::Connection& connection) {
    return connection.providerName() == QLatin1String("PostgreSQL");
}

// The statements that make the host database on the connection's backend, from the resources:
// the tables and views that both servers share, then what the backend holds beyond them.
QStringList schemaStatements(const data::Connection& connection) {
    const QString provider = connection.providerName();
    const QString server = isPostgres(connection) ? QStringLiteral("postgres") : provider.toLower();
    return splitSqlScript(resourceText(QStringLiteral(":/host/sql/tables.sql"), provider)) +
           splitSqlScript(
               resourceText(QStringLiteral(":/host/sql/schema_%1.sql").arg(server), provider));
}

// Whether the open database holds an object of that name (names compare without regard to
// case). The name comes from the script, never from a user: letters, digits and '_' only.
bool holdsObject(data::Connection& connection, const SchemaObject& object) {
    const bool routine =
        object.kind == QLatin1String("function") || object.kind == QLatin1String("procedure");
    QString sql;
    if (!isPostgres(connection))
        sql = QStringLiteral("select count(*) from sqlite_master where lower(name)=lower('%1')");
    else if (routine)
        sql = QStringLiteral(
            "select count(*) from pg_proc where proname=lower('%1') and "
            "pronamespace=current_schema()::regnamespace");
    else
        sql = QStringLiteral(
            "select count(*) from pg_class where relname=lower('%1') and "
            "relnamespace=current_schema()::regnamespace");
    const std::unique_ptr<data::ResultSet> rows = connection.openResultSet(sql.arg(object.name));
    return rows->value(0).toLongLong() > 0;
}

// A line that opens or closes a function body: it holds "$$" an odd number of times.
bool togglesBody(const QString& line) {
    return line.count(QStringLiteral("$$")) % 2 == 1;
}

}  // namespace

QStringList splitSqlScript(const QString& script) {
    QStringList statements;
    QStringList pending;
    bool inBody = false;
    for (const QString& line : script.split('\n')) {
        const QString text = line.trimmed();
        if (text.isEmpty() || text.startsWith(QStringLiteral("--"))) continue;
        if (togglesBody(line)) inBody = !inBody;
        if (inBody || !text.endsWith(';')) {
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
    for (const QString& statement : schemaStatements(connection)) connection.execute(statement);
}

QList<SchemaObject> hostSchemaObjects(const data::Connection& connection) {
    static const QRegularExpression created(
        QStringLiteral("^create\\s+(table|view|function|procedure)\\s+([A-Za-z_][A-Za-z0-9_]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QList<SchemaObject> objects;
    for (const QString& statement : schemaStatements(connection)) {
        const QRegularExpressionMatch match = created.match(statement);
        if (match.hasMatch()) objects.append({match.captured(1).toLower(), match.captured(2)});
    }
    return objects;
}

QStringList existingHostObjects(data::Connection& connection) {
    QStringList names;
    for (const SchemaObject& object : hostSchemaObjects(connection))
        if (holdsObject(connection, object)) names.append(object.name);
    return names;
}

void dropHostSchema(data::Connection& connection) {
    const QList<SchemaObject> objects = hostSchemaObjects(connection);
    for (auto it = objects.crbegin(); it != objects.crend(); ++it)
        if (holdsObject(connection, *it))
            connection.execute(QStringLiteral("drop %1 %2").arg(it->kind, it->name));
}

}  // namespace xhook::host
