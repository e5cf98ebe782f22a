#include "tests/support/ToolRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace xhook::test {

QString xouthookPath() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("../host/xouthook"));
}

ToolRun runXouthook(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(xouthookPath(), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {-1, QString(), QStringLiteral("xouthook did not finish within a minute")};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace xhook::test
