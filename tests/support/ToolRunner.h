#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace xhook::test {

// The xouthook tool of this build, in the host folder beside the tests' folder.
QString xouthookPath();

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

// Runs the tool with `arguments` in `environment` and waits up to a minute for it.
ToolRun runXouthook(const QStringList& arguments, const QProcessEnvironment& environment);

}  // namespace xhook::test
