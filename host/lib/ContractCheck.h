#pragma once

#include <QList>
#include <QString>

namespace xhook::data {
class Connection;
}

namespace xhook::host {

// One object of the host database contract as the check found it.
struct CheckedObject {
    QString object;   // "table tblFindInfoEntry", "procedure sp_GS_billGJ", ...
    bool sound;       // it is there as the component uses it
    QString finding;  // what is wrong, or what was checked when it is sound
};

// Checks, on an open connection and without writing anything, every object of the host
// database that the component reads or calls: the configuration table and the two line views
// with every column that the loader reads, each configured fFieldname of the types 100 and 101
// in its view, icsaleentry.fsinterid, the layout table's four columns, sp_GS_billGJ's parameters
// in the server's procedure catalog, and whether the document finder can be created. Only
// queries that return no rows (where 1=0) and catalog lookups are sent.
QList<CheckedObject> checkHostDatabase(data::Connection& connection);

}  // namespace xhook::host
