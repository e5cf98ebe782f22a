#pragma once

#include <QStringList>
#include <functional>

namespace xhook::tool {

// One subcommand of xouthook: its name, a line of help, and the function that runs it with the
// arguments after its name. It returns the process's exit status; --help is handled by each.
struct Subcommand {
    const char* name;
    const char* summary;
    std::function<int(const QStringList& arguments)> run;
};

// Each subcommand's file defines one of these.
Subcommand settingsSubcommand();
Subcommand demoDbSubcommand();
Subcommand showSubcommand();
Subcommand reconcileSubcommand();
Subcommand autoReconcileSubcommand();
Subcommand layoutSubcommand();
Subcommand checkSubcommand();

}  // namespace xhook::tool
