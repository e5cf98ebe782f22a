#include <QTextStream>
#include <cstdio>

#include "component/SharedState.h"
#include "data/ConnectionString.h"
#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "host/xouthook/Subcommand.h"
#include "host/xouthook/ToolSupport.h"

namespace xhook::tool {

namespace {

// The settings fields of the record, in their declaration order; the connection string without
// its password.
void printSettingsFields(const SharedState& s) {
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    auto line = [&](const char* name, const QString& value) {
        out << name << '=' << value << '\n';
    };
    line("DBConnectionString", data::ConnectionString::forDisplay(s.DBConnectionString));
    line("msgTitle", s.msgTitle);
    line("gLoginUserId", s.gLoginUserId);
    line("gLoginUserName", s.gLoginUserName);
    line("IsAdmin", QString::number(s.IsAdmin));
    line("gCurrentYear", QString::number(s.gCurrentYear));
    line("gCurrentPeriod", QString::number(s.gCurrentPeriod));
    line("gIsUpdateBillNo", QString::number(s.gIsUpdateBillNo));
    line("fTax1", valueText(s.fTax1));
    line("fTax2", valueText(s.fTax2));
    line("gIsCloseStock", QString::number(s.gIsCloseStock));
    line("gBillLength", QString::number(s.gBillLength));
    line("gIsUpdateInPrice", QString::number(s.gIsUpdateInPrice));
}

int runSettings(const QStringList& arguments) {
    QCommandLineParser parser;
    int status = 0;
    if (!parseArguments(parser,
                        "xouthook settings: reads the user's settings as creating the component "
                        "does and prints every settings field, name=value, one a line.",
                        arguments, status))
        return status;
    try {
        readSettingsAsComponent();
    } catch (const ComponentError& e) {
        printSettingsFields(shared());
        std::fprintf(stderr, "error %ld: %s\n", e.number(), e.what());
        return 2;
    }
    printSettingsFields(shared());
    return 0;
}

}  // namespace

Subcommand settingsSubcommand() {
    return {"settings", "print the user's settings as the component reads them", runSettings};
}

}  // namespace xhook::tool
