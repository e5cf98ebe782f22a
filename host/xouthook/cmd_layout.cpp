#include <QTextStream>
#include <cstdio>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "data/SharedConnection.h"
#include "foundation/Conversions.h"
#include "host/xouthook/Subcommand.h"
#include "host/xouthook/ToolSupport.h"

namespace xhook::tool {

namespace {

QString storedLayoutQuery(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return "select ftype,fsequence,fwidth from t_GS_tableinfo where ftablename='" + quoted +
           "' order by ftype,fsequence";
}

// One line per stored column: type, sequence and width, separated by TAB. Returns the count.
int printStoredLayouts(const QString& name) {
    QTextStream out(stdout);
    int count = 0;
    OpenConnection();
    try {
        const std::unique_ptr<data::ResultSet> rows =
            shared().gConnection->openResultSet(storedLayoutQuery(name));
        for (; !rows->eof(); rows->moveNext(), ++count)
            out << valueText(rows->value("ftype")) << '\t' << valueText(rows->value("fsequence"))
                << '\t' << valueText(rows->value("fwidth")) << '\n';
    } catch (...) {
        CloseConnection();
        throw;
    }
    CloseConnection();
    return count;
}

int runLayout(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addPositionalArgument("name",
                                 "layout name: XSGJA (invoice grid) or XSGJB (outbound grid)");
    int status = 0;
    if (!parseArguments(parser,
                        "xouthook layout NAME: prints the column widths stored under the layout "
                        "name, one column a line: type, sequence and width (twips), separated by "
                        "TAB, ordered by type and sequence.",
                        arguments, status))
        return status;
    if (parser.positionalArguments().size() != 1) {
        std::fputs("usage: xouthook layout NAME\n", stderr);
        return 2;
    }
    readSettingsAsComponent();
    const QString name = parser.positionalArguments().first();
    if (printStoredLayouts(name) == 0)
        std::fprintf(stderr, "no layout stored under %s\n", qPrintable(name));
    return 0;
}

}  // namespace

Subcommand layoutSubcommand() {
    return {"layout", "print the column widths stored under a layout name", runLayout};
}

}  // namespace xhook::tool
