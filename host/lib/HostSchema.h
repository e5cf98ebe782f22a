#pragma once

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
// connection and its backend's script (":/host/sql/schema_sqlite.sql" for SQLite). Raises
// DbError when the backend has no script or a statement fails.
void createHostSchema(data::Connection& connection);

}  // namespace xhook::host
