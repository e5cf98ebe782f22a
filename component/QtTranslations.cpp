#include "component/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace xhook {

namespace {

// A translator of Qt's texts answers for the buttons that every message box shows.
bool qtTextsTranslated() {
    const char* context = "QPlatformTheme";
    return QCoreApplication::translate(context, "OK") != QLatin1String("OK") ||
           QCoreApplication::translate(context, "Cancel") != QLatin1String("Cancel");
}

}  // namespace

bool installQtTranslationsUnlessHostDid() {
    static QPointer<QTranslator> installed;
    QCoreApplication* application = QCoreApplication::instance();
    if (installed || !application) return bool(installed);
    const QLocale locale;
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) return false;
    if (qtTextsTranslated()) return false;
    auto* translator = new QTranslator(application);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace xhook
