#include "host/xouthook/ToolSupport.h"

#include <cstdio>
#include <memory>

#include "component/HookWindow.h"
#include "component/SharedState.h"
#include "component/UserSettings.h"
#include "window/FrmHookResult.h"

namespace xhook::tool {

bool parseArguments(QCommandLineParser& parser, const QString& usage, const QStringList& arguments,
                    int& exitStatus) {
    parser.setApplicationDescription(usage);
    parser.addHelpOption();
    if (!parser.parse(QStringList{QStringLiteral("xouthook")} + arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        exitStatus = 2;
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        exitStatus = 0;
        return false;
    }
    return true;
}

void readSettingsAsComponent() {
    readUserSettings(shared());
}

FrmHookResult& hiddenWindow() {
    SharedState& state = shared();
    if (!state.gHookWindow) state.gHookWindow = createHookWindow();
    return *state.gHookWindow;
}

}  // namespace xhook::tool
