#include "host/lib/HostTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace xhook::host {

// "qt" is the catalogue of all of Qt's modules' texts.
bool installQtTranslations(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    const bool found = translator->load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (found)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    return found;
}

}  // namespace xhook::host
