#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace xhook::data {
class Connection;
}

namespace xhook::host {

// The statements of an SQL script: comment lines ("--") dropped, a statement ending with the line
// whose text ends with ';' (the ';' itself removed). The script holds no ';' inside literals.
QStringList splitSqlScript(const QString& script);

// Creates the host database's tables and views on an open, empty database, through the
// connection and its backend's script (":/host/sql/schema_sqlite.sql" for SQLite,
// ":/host/sql/schema_postgres.sql" with the procedure for PostgreSQL). Raises DbError when the
// backend has no script or a statement fails.
void createHostSchema(data::Connection& connection);

// The objects that the backend's script creates, in its order: tables, views, functions and
// procedures by name as the script spells them (indexes go with their tables).
struct SchemaObject {
    QString kind;  // "table", "view", "function" or "procedure"
    QString name;
};
QList<SchemaObject> hostSchemaObjects(const data::Connection& connection);

// The names of those objects that the open database already holds.
QStringList existingHostObjects(data::Connection& connection);

// Drops those objects that the database holds, the last created first.
void dropHostSchema(data::Connection& connection);

}  // namespace xhook::host
