// Hosts without a QApplication. This program has a main() of its own that creates none; each test
// runs in a process of its own (one per test under ctest), so each starts without an application.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "DeZuvarEDodOziv8/xouthook_c.h"
#include "component/SharedState.h"
#include "host/lib/DemoDatabase.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"

using namespace xhook;

namespace {

QTemporaryDir* home = nullptr;

// The user's settings, as a host writes them, naming the demo database of this run.
QString prepareDemoSettings() {
    const QString connectionString =
        host::sqliteConnectionString(home->filePath(QStringLiteral("demo.db")));
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DuVariz2007"));
    store.setValue(QStringLiteral("DBOperation/DBConnectionString"), connectionString);
    store.sync();
    return connectionString;
}

struct CallResult {
    bool failed = false;
    long number = 0;
    QString description;
};

CallResult callHookBill(const QString& ids) {
    try {
        DeZuvarEDodOziv8::clsXoutBillHook hook;
        QString argument = ids;
        hook.hookBill(argument);
        return {};
    } catch (const DeZuvarEDodOziv8::Error& error) {
        return {true, error.number(), error.description()};
    }
}

// No application object at all: creating the class reads the settings; hookBill fails with a
// clear error before it changes anything or touches a widget.
TEST(NoApplication, HookBillFailsClearlyWithoutAnyApplication) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    prepareDemoSettings();
    const CallResult result = callHookBill(QStringLiteral("1001"));
    EXPECT_TRUE(result.failed);
    EXPECT_NE(result.number, 0);
    EXPECT_TRUE(result.description.contains(QStringLiteral("QApplication")))
        << result.description.toStdString();
    EXPECT_TRUE(shared().gInvoiceIds.isEmpty()) << "the refused call appended nothing";
    EXPECT_FALSE(shared().gHookWindow) << "no window was created";
    EXPECT_EQ(shared().gConnection, nullptr);
}

// A console host with a QCoreApplication: the same clear error, through the C++ class and through
// the C surface, which does not replace the host's application object.
TEST(NoApplication, HookBillFailsClearlyUnderACoreApplication) {
    int argc = 1;
    char name[] = "console-host";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    prepareDemoSettings();
    const CallResult result = callHookBill(QStringLiteral("1001"));
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.description.contains(QStringLiteral("QApplication")));

    xhook_instance* instance = nullptr;
    ASSERT_EQ(xhook_create(&instance, nullptr, nullptr), XHOOK_OK);
    EXPECT_EQ(QCoreApplication::instance(), &application);
    long number = 0;
    char* description = nullptr;
    int answer = -1;
    EXPECT_EQ(xhook_hook_bill(instance, "1001", &answer, &number, &description), XHOOK_E_FAIL);
    EXPECT_NE(number, 0);
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(QString::fromUtf8(description).contains(QStringLiteral("QApplication")));
    xhook_free_string(description);
    xhook_release(instance);
    EXPECT_TRUE(shared().gInvoiceIds.isEmpty());
}

// A host in another language without Qt: the C surface creates the application on the calling
// thread, and the window works there.
TEST(NoApplication, TheCSurfaceCreatesTheApplicationAndTheWindowWorks) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    const QString connectionString = prepareDemoSettings();
    xhook_instance* instance = nullptr;
    long number = 0;
    char* description = nullptr;
    ASSERT_EQ(xhook_create(&instance, &number, &description), XHOOK_OK);
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    host::createDemoDatabase(connectionString, {});  // Qt's database drivers need the application
    int rows = 0;
    QTimer::singleShot(0, [&] {
        rows = shared().gHookWindow->vsf1().RowCount();
        shared().gHookWindow->close();
    });
    int answer = -1;
    EXPECT_EQ(xhook_hook_bill(instance, "1001", &answer, &number, &description), XHOOK_OK)
        << (description ? description : "");
    EXPECT_EQ(answer, 0);
    EXPECT_GT(rows, 2) << "the invoice grid was loaded while the window was shown";
    EXPECT_EQ(shared().gInvoiceIds, "1001");
    xhook_release(instance);
    shared().gHookWindow.reset();
}

}  // namespace

// The settings and data of the run live in a folder of its own, never in the real home.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    home = &dir;
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
