#include <cstdio>

#include "component/SharedState.h"
#include "foundation/IdList.h"
#include "foundation/Messages.h"
#include "host/lib/DemoProcedures.h"
#include "host/xouthook/Subcommand.h"
#include "host/xouthook/ToolSupport.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/ReconcileProcedure.h"
#include "reconcile/Reconciliations.h"
#include "window/FrmHookResult.h"

namespace xhook::tool {

namespace {

constexpr int kExitReconciled = 0;
constexpr int kExitNotReconciled = 1;
constexpr int kExitError = 2;

const char* const kExitStatusHelp =
    " Message boxes are written to standard error as \"title: text\". Exit status 0 when the "
    "procedure answered 1 (reconciled), 1 when it refused, gave another answer, or the command "
    "ended without calling it, 2 when an error occurred (shown by the command or passed out of "
    "it) or the arguments are wrong.";

// Writes the messages to standard error and notes whether one of them announced a success.
class WatchingConsoleSink : public MessageSink {
  public:
    void show(const QString& text, int style, const std::optional<QString>& title) override {
        console_.show(text, style, title);
        ++shown;
        if (style == MessageInformation && text == kReconcileSuccessText) successShown = true;
    }
    int shown = 0;
    bool successShown = false;

  private:
    StderrMessageSink console_;
};

// An id list argument, checked before it reaches the grid loader's SQL text.
bool takeIdList(const QString& text, const char* option, QString& list) {
    const IdListCheck check = checkIdList(text);
    if (check.ok && !check.ids.isEmpty()) {
        list = check.ids;
        return true;
    }
    std::fprintf(stderr, "xouthook: --%s needs document ids separated by commas, not \"%s\"\n",
                 option, qPrintable(text));
    return false;
}

int exitStatus(const ReconcileOutcome& outcome, const WatchingConsoleSink& messages) {
    if (outcome.result == ReconcileOutcome::Result::Failed) return kExitError;
    // The command ends silently when a grid holds no document; the tool's user should know why.
    if (outcome.result == ReconcileOutcome::Result::EndedWithoutCall && messages.shown == 0)
        std::fputs("xouthook: a grid holds no document: nothing was reconciled\n", stderr);
    return outcome.reconciled() && messages.successShown ? kExitReconciled : kExitNotReconciled;
}

// Loads the grids as the window would, runs the command on the window's form (not shown) and
// tells how it ended.
int runOnWindow(bool loadOutboundGrid, void (*command)(HookForm&)) {
    readSettingsAsComponent();
    host::registerDemoProcedures();
    WatchingConsoleSink messages;
    ScopedMessageSink scope(&messages);
    FrmHookResult& window = hiddenWindow();
    if (!window.find1()) return kExitError;
    if (loadOutboundGrid && !window.find2()) return kExitError;
    command(window.form());
    return exitStatus(lastReconcileOutcome(), messages);
}

int runReconcile(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption({"invoices", "the sales invoices to list in the invoice grid", "IDS"});
    parser.addOption(
        {"outbound", "the sales outbound documents to list in the outbound grid", "IDS"});
    int status = 0;
    if (!parseArguments(parser,
                        QStringLiteral("xouthook reconcile --invoices IDS --outbound IDS: lists "
                                       "the documents in the window's two grids as the window "
                                       "loads them and runs \"钩稽\" on them.") +
                            kExitStatusHelp,
                        arguments, status))
        return status;
    SharedState& state = shared();
    if (!takeIdList(parser.value("invoices"), "invoices", state.gInvoiceIds) ||
        !takeIdList(parser.value("outbound"), "outbound", state.gOutboundIds))
        return kExitError;
    return runOnWindow(true, MenuBillHook1_Click);
}

int runAutoReconcile(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption({"invoices", "the sales invoices to list in the invoice grid", "IDS"});
    int status = 0;
    if (!parseArguments(parser,
                        QStringLiteral("xouthook auto-reconcile --invoices IDS: lists the invoices "
                                       "in the window's invoice grid and runs \"自动钩稽\": they "
                                       "are reconciled with the outbound documents that their "
                                       "lines name as their source.") +
                            kExitStatusHelp,
                        arguments, status))
        return status;
    if (!takeIdList(parser.value("invoices"), "invoices", shared().gInvoiceIds)) return kExitError;
    return runOnWindow(false, MenuAutoHook_Click);
}

}  // namespace

Subcommand reconcileSubcommand() {
    return {"reconcile", "reconcile the given invoices with the given outbound documents",
            runReconcile};
}

Subcommand autoReconcileSubcommand() {
    return {"auto-reconcile", "reconcile the given invoices with their lines' source documents",
            runAutoReconcile};
}

}  // namespace xhook::tool
