// xouthook-demo [IDS]: the stand-alone host. With invoice ids it calls hookBill with them; without,
// it shows the host database's invoices to pick from.

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "host/demo/InvoicePicker.h"
#include "host/lib/DemoProcedures.h"
#include "host/lib/FinderRegistration.h"
#include "host/lib/HostTranslations.h"

namespace {

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// What the host does once at start: its database procedures and its document finder.
void setUpHost() {
    xhook::host::registerDemoProcedures();
    const QString finder = xhook::host::demoFinderPluginPath();
    if (!finder.isEmpty()) xhook::host::registerDemoFinder(finder);
}

int hookBillOnce(const QString& ids) {
    try {
        DeZuvarEDodOziv8::clsXoutBillHook hook;
        QString argument = ids;
        hook.hookBill(argument);
        return 0;
    } catch (const DeZuvarEDodOziv8::Error& e) {
        std::fprintf(stderr, "hookBill failed: error %ld: %s\n", e.number(), e.what());
        return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fputs(
            "xouthook-demo needs a display. Without one, run it under Xvfb:\n"
            "  xvfb-run -a -s \"-screen 0 1280x1024x24\" xouthook-demo [IDS]\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("xouthook-demo");
    QGuiApplication::setApplicationDisplayName(QStringLiteral("演示宿主"));
    xhook::host::installQtTranslations(app);
    setUpHost();
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty()) return hookBillOnce(arguments.join(','));
    xhook::demo::InvoicePicker picker;
    picker.show();
    return app.exec();
}
