#pragma once

#include <QString>
#include <QStringList>

#include "host/lib/DemoData.h"

namespace xhook::host {

// "Provider=SQLite;Data Source=<path>", the path quoted when it holds ';' or starts with a quote.
QString sqliteConnectionString(const QString& path);

// Where the demo database lives by default: $XDG_DATA_HOME/xouthook/demo.db, or
// ~/.local/share/xouthook/demo.db when XDG_DATA_HOME is unset or not absolute.
QString defaultDemoDatabasePath();

// Creates the host database at the connection string: schema (with the procedure on a server),
// the grids' column configuration, the demo data, all in one transaction. A SQLite file is
// created when absent; a PostgreSQL database must exist. A database that already holds objects
// of the host database is refused with DbError, and kept; with `replaceExisting` those objects
// are dropped and made anew in the same transaction. Raises DbError.
DemoSummary createDemoDatabase(const QString& connectionString, const DemoOptions& options = {},
                               bool replaceExisting = false);

// The host database's objects that the database at the connection string already holds.
QStringList existingHostObjects(const QString& connectionString);

}  // namespace xhook::host
