#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTimer>
#include <functional>
#include <thread>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "DeZuvarEDodOziv8/xouthook_c.h"
#include "component/SharedState.h"
#include "foundation/ComponentRegistry.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoProcedures.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;
using DeZuvarEDodOziv8::clsXoutBillHook;

namespace {

// hookBill on the demo host database, with the window closed by a step queued into its modal loop.
class HookBillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        clearSettings();
        const QString path = dir_.file("demo.db");
        host::createDemoDatabase(host::sqliteConnectionString(path), {});
        writeSetting("DBOperation", "DBConnectionString", host::sqliteConnectionString(path));
        shared().gInvoiceIds.clear();
        shared().gOutboundIds.clear();
    }
    void TearDown() override {
        shared().gHookWindow.reset();
        clearSettings();
    }
    // Runs `whileShown` inside the window's modal loop, then closes the window.
    static void whileModal(std::function<void()> whileShown) {
        QTimer::singleShot(0, [whileShown] {
            whileShown();
            if (shared().gHookWindow) shared().gHookWindow->close();
        });
    }
    static bool call(clsXoutBillHook& hook, const QString& ids) {
        QString argument = ids;
        const bool result = hook.hookBill(argument);
        EXPECT_EQ(argument, ids) << "the argument is not changed";
        return result;
    }

    TempDir dir_;
    RecordingMessages messages_;
};

TEST_F(HookBillTest, AppendsShowsModallyAndRefreshesOnAReentrantCall) {
    clsXoutBillHook hook;
    bool shown = false;
    int rowsBefore = 0, rowsAfter = 0;
    whileModal([&] {
        shown = shared().gHookWindow && shared().gHookWindow->isVisible();
        rowsBefore = shared().gHookWindow->vsf1().RowCount();
        EXPECT_FALSE(call(hook, "1002,1003")) << "returns at once while the window is shown";
        rowsAfter = shared().gHookWindow->vsf1().RowCount();
    });
    EXPECT_FALSE(call(hook, "1001"));
    EXPECT_TRUE(shown) << "the window was shown modally inside the call";
    EXPECT_GT(rowsBefore, 2);
    EXPECT_GT(rowsAfter, rowsBefore) << "the re-entrant call refreshed the invoice grid";
    EXPECT_EQ(shared().gInvoiceIds, "1001,1002,1003");
    EXPECT_FALSE(shared().gHookWindow->isVisible());
    EXPECT_FALSE(shared().gHookWindow->isLoaded()) << "closing unloads the window";
}

TEST_F(HookBillTest, TheListGrowsWithoutTestsAndRebuildsTheWindowEachTime) {
    clsXoutBillHook hook;
    whileModal([] {});
    call(hook, "");
    EXPECT_EQ(shared().gInvoiceIds, "") << "an empty argument on an empty list";
    whileModal([] {});
    call(hook, "1001");
    whileModal([] {});
    call(hook, "1001");
    EXPECT_EQ(shared().gInvoiceIds, "1001,1001") << "no duplicate test";
    bool enabled = false;
    whileModal([&] { shared().gHookWindow->form().MenuBillHook1->setEnabled(false); });
    call(hook, "");
    EXPECT_EQ(shared().gInvoiceIds, "1001,1001,") << "an empty argument appends a lone comma";
    whileModal([&] { enabled = shared().gHookWindow->form().MenuBillHook1->isEnabled(); });
    call(hook, "1002");
    EXPECT_TRUE(enabled) << "the next load builds the window anew";
    EXPECT_EQ(shared().gInvoiceIds, "1001,1001,,1002");
}

TEST_F(HookBillTest, CreationFailsOnASettingThatDoesNotConvert) {
    writeSetting("SystemSetup", "gBillLength", "99999");
    try {
        clsXoutBillHook hook;
        FAIL() << "creation must fail";
    } catch (const DeZuvarEDodOziv8::Error& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

TEST_F(HookBillTest, AFailedOpenReachesTheHostAndTheListStaysAppended) {
    writeSetting("DBOperation", "DBConnectionString",
                 "Provider=SQLite;Data Source=" + dir_.file("none.db"));
    clsXoutBillHook hook;
    QString ids = "1001";
    EXPECT_THROW(hook.hookBill(ids), DeZuvarEDodOziv8::Error);
    EXPECT_EQ(shared().gInvoiceIds, "1001") << "an appended list is not rolled back";
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_F(HookBillTest, ACallFromAnotherThreadFailsClearly) {
    clsXoutBillHook hook;
    long number = 0;
    QString description;
    std::thread other([&] {
        try {
            QString ids = "1001";
            DeZuvarEDodOziv8::clsXoutBillHook(/*reads settings on this thread*/).hookBill(ids);
        } catch (const DeZuvarEDodOziv8::Error& e) {
            number = e.number();
            description = e.description();
        }
    });
    other.join();
    EXPECT_NE(number, 0);
    EXPECT_TRUE(description.contains(QStringLiteral("线程"))) << description.toStdString();
}

// DllRegisterServer as a host calls it, from the built shared library: it records the path of the
// library it is in, and this program carries the component itself. The library stays loaded;
// nothing else of it is used.
long registerServerOfTheSharedLibrary() {
    void* library = dlopen(XHOOK_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        ADD_FAILURE() << dlerror();
        return XHOOK_E_FAIL;
    }
    auto registerServer = reinterpret_cast<long (*)()>(dlsym(library, "DllRegisterServer"));
    if (registerServer == nullptr) {
        ADD_FAILURE() << dlerror();
        return XHOOK_E_FAIL;
    }
    return registerServer();
}

TEST_F(HookBillTest, TheCSurfaceReportsStatusesAndRegistersTheClass) {
    ASSERT_EQ(registerServerOfTheSharedLibrary(), XHOOK_OK);
    const auto registration = findClassByProgId(DeZuvarEDodOziv8::kProgId);
    ASSERT_TRUE(registration.has_value());
    EXPECT_EQ(registration->clsid, DeZuvarEDodOziv8::kClsid);
    EXPECT_EQ(registration->threadingModel, "Apartment");
    EXPECT_TRUE(registration->libraryPath.endsWith(".so") ||
                registration->libraryPath.contains(".so."));
    EXPECT_EQ(QFileInfo(registration->libraryPath).canonicalFilePath(),
              QFileInfo(XHOOK_SHARED_LIBRARY).canonicalFilePath());

    const xhook_class_factory* factory = nullptr;
    EXPECT_EQ(DllGetClassObject("{00000000-0000-0000-0000-000000000000}", &factory),
              XHOOK_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(DllGetClassObject(DeZuvarEDodOziv8::kClsid, &factory), XHOOK_OK);
    xhook_instance* instance = nullptr;
    ASSERT_EQ(factory->create_instance(&instance, nullptr, nullptr), XHOOK_OK);
    EXPECT_EQ(DllCanUnloadNow(), XHOOK_FALSE) << "an instance is alive";

    writeSetting("DBOperation", "DBConnectionString", "Provider=Nothing");
    xhook_release(instance);
    ASSERT_EQ(xhook_create(&instance, nullptr, nullptr), XHOOK_OK);
    long number = 0;
    char* description = nullptr;
    int result = -1;
    EXPECT_EQ(xhook_hook_bill(instance, "1001", &result, &number, &description), XHOOK_E_FAIL);
    EXPECT_NE(number, 0);
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(QString::fromUtf8(description).contains("Nothing")) << description;
    xhook_free_string(description);
    xhook_release(instance);
    EXPECT_EQ(DllCanUnloadNow(), XHOOK_OK);

    EXPECT_EQ(DllUnregisterServer(), XHOOK_OK);
    EXPECT_FALSE(findClassByProgId(DeZuvarEDodOziv8::kProgId).has_value());
}

}  // namespace
