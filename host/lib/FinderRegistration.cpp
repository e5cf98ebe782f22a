#include "host/lib/FinderRegistration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "foundation/ComponentRegistry.h"
#include "window/DocumentFinderRegistry.h"

namespace xhook::host {

namespace {

const QString kPluginFileName = QStringLiteral("libxhookfinder.so");

ClassRegistration finderRegistration(const QString& libraryPath) {
    ClassRegistration registration;
    registration.clsid = QString::fromLatin1(kDocumentFinderClsid);
    registration.progId = QStringLiteral("XHookHost.DocumentFinder");
    registration.libraryPath = libraryPath;
    registration.version = QStringLiteral("1.0");
    return registration;
}

}  // namespace

QString demoFinderPluginPath() {
    const QString named = qEnvironmentVariable("XHOOK_FINDER_PLUGIN");
    if (!named.isEmpty())
        return QFileInfo::exists(named) ? QFileInfo(named).absoluteFilePath() : QString();
    const QDir programDir(QCoreApplication::applicationDirPath());
    // Beside the program (the build's host folder), in the host folder seen from a sibling build
    // folder (the tests), and in the installed plugin folder seen from the installed program.
    for (const QString& candidate :
         {programDir.filePath(kPluginFileName), programDir.filePath("../host/" + kPluginFileName),
          programDir.filePath(QStringLiteral(XHOOK_INSTALLED_FINDER_DIR "/") + kPluginFileName)}) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

void registerDemoFinder(const QString& pluginPath) {
    registerClass(finderRegistration(QFileInfo(pluginPath).absoluteFilePath()));
}

void unregisterDemoFinder() {
    unregisterClass(finderRegistration({}));
}

}  // namespace xhook::host
