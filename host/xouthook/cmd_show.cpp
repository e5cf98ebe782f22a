#include <QTextStream>

#include "component/SharedState.h"
#include "foundation/Messages.h"
#include "host/xouthook/Subcommand.h"
#include "host/xouthook/ToolSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"

namespace xhook::tool {

namespace {

void printGrid(const FlexGrid& grid, bool displayed) {
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (int r = 0; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (!displayed)
                cells << grid.cellText(r, c);
            else if (!grid.ColHidden(c))
                cells << (r == 0 ? grid.cellText(r, c) : grid.displayText(r, c));
        }
        out << cells.join('\t') << '\n';
    }
}

int runShow(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addPositionalArgument("grid", "invoices or outbound");
    parser.addPositionalArgument("ids", "document ids separated by commas");
    parser.addOption({"display", "print the displayed, formatted texts of the visible columns"});
    int status = 0;
    if (!parseArguments(
            parser,
            "xouthook show invoices|outbound IDS: loads the grid as the window does and "
            "prints one line per grid row, its cells joined by TAB. Exit status 0 when "
            "the load succeeded, 1 when it failed, 2 when an error passed out.",
            arguments, status))
        return status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2 || (positional[0] != "invoices" && positional[0] != "outbound")) {
        std::fputs("usage: xouthook show invoices|outbound IDS [--display]\n", stderr);
        return 2;
    }
    readSettingsAsComponent();
    StderrMessageSink console;
    ScopedMessageSink messages(&console);
    FrmHookResult& window = hiddenWindow();
    const bool invoices = positional[0] == "invoices";
    (invoices ? shared().gInvoiceIds : shared().gOutboundIds) = positional[1];
    const bool loaded = invoices ? window.find1() : window.find2();
    printGrid(invoices ? window.vsf1() : window.vsf2(), parser.isSet("display"));
    return loaded ? 0 : 1;
}

}  // namespace

Subcommand showSubcommand() {
    return {"show", "load a grid as the window does and print it", runShow};
}

}  // namespace xhook::tool
