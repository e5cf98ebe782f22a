#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "foundation/Errors.h"
#include "host/lib/HostTranslations.h"
#include "host/xouthook/Subcommand.h"

using xhook::tool::Subcommand;

namespace {

QList<Subcommand> subcommands() {
    return {xhook::tool::settingsSubcommand(),      xhook::tool::demoDbSubcommand(),
            xhook::tool::showSubcommand(),          xhook::tool::reconcileSubcommand(),
            xhook::tool::autoReconcileSubcommand(), xhook::tool::layoutSubcommand(),
            xhook::tool::checkSubcommand()};
}

int printUsage(FILE* to) {
    QString text =
        "Usage: xouthook COMMAND [ARGUMENTS]\n"
        "The stand-alone host's tool for the invoice and outbound document "
        "reconciliation component.\n\nCommands:\n";
    for (const Subcommand& s : subcommands())
        text += QString("  %1%2\n").arg(QString(s.name), -16).arg(QString::fromUtf8(s.summary));
    text += "\nxouthook COMMAND --help describes a command.\n";
    std::fputs(text.toLocal8Bit().constData(), to);
    return to == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    // The tool builds the window's grids without showing them: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("xouthook");
    xhook::host::installQtTranslations(app);
    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.isEmpty()) return printUsage(stderr);
    const QString name = arguments.takeFirst();
    if (name == "--help" || name == "-h" || name == "help") return printUsage(stdout);
    for (const Subcommand& s : subcommands()) {
        if (name != s.name) continue;
        try {
            return s.run(arguments);
        } catch (const xhook::ComponentError& e) {
            std::fprintf(stderr, "error %ld: %s\n", e.number(), e.what());
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "error: %s\n", e.what());
            return 2;
        }
    }
    std::fprintf(stderr, "xouthook: unknown command '%s'\n", qPrintable(name));
    return printUsage(stderr);
}
