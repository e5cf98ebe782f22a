#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace xhook {
class FrmHookResult;
}

namespace xhook::tool {

// Parses a subcommand's arguments with --help; returns false (after printing) when the command
// should end with `exitStatus`.
bool parseArguments(QCommandLineParser& parser, const QString& usage, const QStringList& arguments,
                    int& exitStatus);

// Reads the user's settings exactly as creating the component does.
void readSettingsAsComponent();

// The thread's window, built but not shown, as the tool works on it.
FrmHookResult& hiddenWindow();

}  // namespace xhook::tool
