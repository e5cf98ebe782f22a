#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "component/QtTranslations.h"
#include "host/lib/HostTranslations.h"
#include "tests/support/ScopedDefaultLocale.h"

using namespace xhook;
using xhook::test::ScopedDefaultLocale;

namespace {

// The texts of a message box's OK and Cancel buttons, as the user sees them.
QStringList messageBoxButtons() {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    return {box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Cancel)->text()};
}

// Each test runs in a process of its own (CTest runs them one by one), so each starts without
// a translator.
TEST(QtTranslations, TheComponentTranslatesQtsTextsForTheUsersLocale) {
    struct Case {
        QLocale locale;
        bool installed;
        QStringList buttons;
    };
    const QList<Case> cases = {
        {QLocale(QLocale::English, QLocale::UnitedStates), false, {"OK", "Cancel"}},
        {QLocale(QLocale::Chinese, QLocale::China), true, {"确定", "取消"}},
        // Once installed, the component's translator stays the one it installed.
        {QLocale(QLocale::Chinese, QLocale::China), true, {"确定", "取消"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const ScopedDefaultLocale locale(c.locale);
        EXPECT_EQ(installQtTranslationsUnlessHostDid(), c.installed);
        EXPECT_EQ(messageBoxButtons(), c.buttons);
    }
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), "确定");
}

TEST(QtTranslations, ATranslatorTheHostInstalledIsKept) {
    const ScopedDefaultLocale locale(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator host;
    ASSERT_TRUE(
        host.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&host);
    EXPECT_FALSE(installQtTranslationsUnlessHostDid());
    EXPECT_EQ(messageBoxButtons()[1], "Abbrechen") << "the host's German stays";
    QCoreApplication::removeTranslator(&host);
}

TEST(QtTranslations, TheStandAloneHostInstallsQtsTranslationsItself) {
    const ScopedDefaultLocale locale(QLocale(QLocale::Chinese, QLocale::China));
    EXPECT_TRUE(host::installQtTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(messageBoxButtons(), QStringList({"确定", "取消"}));
    EXPECT_FALSE(installQtTranslationsUnlessHostDid()) << "the component sees the host's";
}

}  // namespace
