#include <QTextStream>

#include "data/ConnectionSlot.h"
#include "data/SharedConnection.h"
#include "host/lib/ContractCheck.h"
#include "host/lib/DemoProcedures.h"
#include "host/xouthook/Subcommand.h"
#include "host/xouthook/ToolSupport.h"

namespace xhook::tool {

namespace {

// One line per object: "ok", or "WRONG" with what is wrong.
void printChecked(const QList<host::CheckedObject>& checked) {
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (const host::CheckedObject& c : checked)
        out << (c.sound ? QStringLiteral("ok     ") : QStringLiteral("WRONG  ")) << c.object << ": "
            << c.finding << '\n';
}

// The connection is opened as the component opens it; a failure to open passes out (exit 2).
int runCheck(const QStringList& arguments) {
    QCommandLineParser parser;
    int status = 0;
    if (!parseArguments(
            parser,
            "xouthook check: checks, without writing anything, that the host database of the "
            "user's settings holds what the component reads and calls: its tables and views "
            "with every column used, each configured column of tblFindInfoEntry (types 100 and "
            "101) in its view, t_GS_tableinfo, icsaleentry.fsinterid, sp_GS_billGJ with its six "
            "parameters in the server's procedure catalog, and whether the document finder can "
            "be created. One line per object. Exit status 0 when everything holds, 1 when "
            "something is missing or wrong, 2 when the database cannot be reached.",
            arguments, status))
        return status;
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs("usage: xouthook check\n", stderr);
        return 2;
    }
    readSettingsAsComponent();
    // This host's SQLite procedure is registered in C++, as the tool's reconciliations have it.
    host::registerDemoProcedures();
    OpenConnection();
    QList<host::CheckedObject> checked;
    try {
        checked = host::checkHostDatabase(*data::connectionSlot().gConnection);
    } catch (...) {
        CloseConnection();
        throw;
    }
    CloseConnection();
    printChecked(checked);
    for (const host::CheckedObject& c : checked)
        if (!c.sound) return 1;
    return 0;
}

}  // namespace

Subcommand checkSubcommand() {
    return {"check", "check that the host database holds what the component uses", runCheck};
}

}  // namespace xhook::tool
