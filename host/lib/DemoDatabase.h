#pragma once

#include <QString>

#include "host/lib/DemoData.h"

namespace xhook::host {

// "Provider=SQLite;Data Source=<path>", the path quoted when it holds ';' or starts with a quote.
QString sqliteConnectionString(const QString& path);

// Where the demo database lives by default: $XDG_DATA_HOME/xouthook/demo.db, or
// ~/.local/share/xouthook/demo.db when XDG_DATA_HOME is unset or not absolute.
QString defaultDemoDatabasePath();

// Creates the host database at the connection string: schema, the grids' column configuration,
// the demo data, all in one transaction. A SQLite file is created when absent. The database
// must be empty. Raises DbError.
DemoSummary createDemoDatabase(const QString& connectionString, const DemoOptions& options = {});

}  // namespace xhook::host
