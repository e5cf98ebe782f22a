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

// Creates the host database on an open, empty database through the connection: the tables and
// views that both servers share (":/host/sql/tables.sql"), then the backend's own objects
// (":/host/sql/schema_sqlite.sql": none; ":/host/sql/schema_postgres.sql": sp_GS_billGJ).
// Raises DbError when the backend has no script or a statement fails.
void createHostSchema(data::Connection& connection);

// The objects that those scripts create, in their order: tables, views, functions and
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
