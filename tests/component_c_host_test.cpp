#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "DeZuvarEDodOziv8/xouthook_c.h"
#include "component/SharedState.h"
#include "foundation/Errors.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// A finder as a C host writes it: plain functions and a context.
struct CFinder {
    std::string answer;
    std::vector<std::string> accessCodes;
    std::vector<std::string> filters;

    static void find(void* context, const char* accessCode, const char* filter) {
        auto* self = static_cast<CFinder*>(context);
        self->accessCodes.emplace_back(accessCode);
        self->filters.emplace_back(filter);
    }
    static const char* selectedIds(void* context) {
        return static_cast<CFinder*>(context)->answer.c_str();
    }
};

// The demo database as the host's settings name it, and an instance made through the C surface.
class CHostTest : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        clearSettings();
        writeSetting("DBOperation", "DBConnectionString", shared().DBConnectionString);
        ASSERT_EQ(xhook_create(&instance_, nullptr, nullptr), XHOOK_OK);
    }
    void TearDown() override {
        EXPECT_EQ(xhook_release(instance_), XHOOK_OK);
        xhook_register_document_finder(XHOOK_DOCUMENT_FINDER_CLSID, nullptr);
        shared().gHookWindow.reset();
        shared().gOutboundIds.clear();
        shared().gInvoiceIds.clear();
        clearSettings();
        DemoDatabaseFixture::TearDown();
    }
    int hookBill(const char* ids) {
        int result = -1;
        const int status = xhook_hook_bill(instance_, ids, &result, nullptr, nullptr);
        EXPECT_EQ(result, 0);
        return status;
    }

    xhook_instance* instance_ = nullptr;
};

TEST_F(CHostTest, TheWindowsLookupAsksTheFinderThatTheHostRegisteredInC) {
    CFinder finder{"5001,5002", {}, {}};
    {
        const xhook_document_finder functions = {&finder, &CFinder::find, &CFinder::selectedIds};
        ASSERT_EQ(xhook_register_document_finder(XHOOK_DOCUMENT_FINDER_CLSID, &functions),
                  XHOOK_OK);
    }  // the component keeps a copy of the functions
    int outboundRows = 0;
    QTimer::singleShot(0, [&] {
        HookForm& form = shared().gHookWindow->form();
        form.MenuXOutFind->trigger();
        outboundRows = form.vsf2->RowCount();
        form.close();
    });
    ASSERT_EQ(hookBill("1001"), XHOOK_OK);

    ASSERT_EQ(finder.accessCodes.size(), 1u);
    EXPECT_EQ(finder.accessCodes[0], "@#^wmzt");
    EXPECT_EQ(finder.filters[0], " and fcustomeridnumber='" +
                                     shared().gCustomerNumber.toStdString() +
                                     "' and isnull(fhookinterid,0)=0 ");
    EXPECT_EQ(shared().gOutboundIds, "5001,5002");
    EXPECT_GT(outboundRows, 2) << "the outbound grid was loaded from the finder's answer";
    EXPECT_TRUE(messages.messages.isEmpty());

    // Removed again, the class is looked for in the component registry, where it is not.
    ASSERT_EQ(xhook_register_document_finder(XHOOK_DOCUMENT_FINDER_CLSID, nullptr), XHOOK_OK);
    EXPECT_THROW(createDocumentFinder(kDocumentFinderClsid), ComponentError);
}

TEST_F(CHostTest, AFinderWithoutItsFunctionsIsRefused) {
    CFinder finder;
    const xhook_document_finder noSelection = {&finder, &CFinder::find, nullptr};
    const xhook_document_finder noFind = {&finder, nullptr, &CFinder::selectedIds};
    EXPECT_EQ(xhook_register_document_finder(XHOOK_DOCUMENT_FINDER_CLSID, &noSelection),
              XHOOK_E_INVALIDARG);
    EXPECT_EQ(xhook_register_document_finder(XHOOK_DOCUMENT_FINDER_CLSID, &noFind),
              XHOOK_E_INVALIDARG);
    EXPECT_EQ(xhook_register_document_finder(nullptr, nullptr), XHOOK_E_INVALIDARG);
    EXPECT_THROW(createDocumentFinder(kDocumentFinderClsid), ComponentError)
        << "nothing was registered";
}

TEST_F(CHostTest, TheCloseOptionEndsTheModalCallAfterTheWindowWasShown) {
    const ScopedEnvironment close("XHOOK_CLOSE_WINDOW_AFTER_MS", "150");
    bool shownDuringCall = false;
    QTimer::singleShot(0, [&] { shownDuringCall = shared().gHookWindow->isVisible(); });
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(hookBill("1001"), XHOOK_OK);
    EXPECT_GE(clock.elapsed(), 140);
    EXPECT_TRUE(shownDuringCall);
    EXPECT_FALSE(shared().gHookWindow->isLoaded()) << "closed as the close box closes it";

    // Not a number, or negative: the window waits for the user (here, the test) to close it.
    for (const QByteArray& value : {QByteArray("soon"), QByteArray("-5")}) {
        const ScopedEnvironment ignored("XHOOK_CLOSE_WINDOW_AFTER_MS", value);
        bool stillShown = false;
        QTimer::singleShot(400, [&] {
            stillShown = shared().gHookWindow->isVisible();
            shared().gHookWindow->close();
        });
        ASSERT_EQ(hookBill("1001"), XHOOK_OK);
        EXPECT_TRUE(stillShown) << value.constData();
    }
}

// A pointer that is no live instance is answered with XHOOK_E_INVALIDARG and nothing is done with
// it: a second release (once a double free that aborted the process), a pointer that xhook_create
// never gave, a call on a released instance. The live instances are untouched.
TEST_F(CHostTest, AReleasedOrUnknownInstanceIsAnInvalidArgument) {
    const ScopedEnvironment close("XHOOK_CLOSE_WINDOW_AFTER_MS", "50");
    xhook_instance* released = nullptr;
    ASSERT_EQ(xhook_create(&released, nullptr, nullptr), XHOOK_OK);
    ASSERT_EQ(xhook_release(released), XHOOK_OK);
    int local = 0;
    xhook_instance* madeUp = reinterpret_cast<xhook_instance*>(&local);
    xhook_instance* misaligned =
        reinterpret_cast<xhook_instance*>(reinterpret_cast<char*>(instance_) + 1);
    int result = -1;
    long number = -7;
    char* description = nullptr;
    const struct {
        const char* what;
        std::function<int()> call;
    } calls[] = {
        {"a second release", [&] { return xhook_release(released); }},
        {"the release of a made-up pointer", [&] { return xhook_release(madeUp); }},
        {"the release of a pointer into a live instance",
         [&] { return xhook_release(misaligned); }},
        {"hookBill on a released instance",
         [&] { return xhook_hook_bill(released, "1001", &result, &number, &description); }},
        {"hookBill on a made-up pointer",
         [&] { return xhook_hook_bill(madeUp, "1001", &result, &number, &description); }},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), XHOOK_E_INVALIDARG);
        EXPECT_EQ(number, -7) << "no error number is given";
        EXPECT_EQ(description, nullptr);
        EXPECT_EQ(DllCanUnloadNow(), XHOOK_FALSE) << "the fixture's instance is still alive";
    }
    EXPECT_TRUE(shared().gInvoiceIds.isEmpty()) << "nothing was appended";
    EXPECT_EQ(xhook_release(nullptr), XHOOK_OK);
    EXPECT_EQ(hookBill("1001"), XHOOK_OK) << "the live instance still works";
}

// An argument that the id-list rule refuses fails the call at the door, with the error's number
// and description and without a message box, so that a host that closes the window by
// XHOOK_CLOSE_WINDOW_AFTER_MS never waits on one; the list is as it was, and the next good call
// loads normally. The text reaches the rule as the host sent it, a leading byte-order mark
// included.
TEST_F(CHostTest, AnArgumentThatIsNoIdListFailsAtTheDoorAndTheNextCallLoads) {
    const ScopedEnvironment close("XHOOK_CLOSE_WINDOW_AFTER_MS", "50");
    const struct {
        const char* what;
        const char* ids;
        const char* shown;  // how the description quotes it
    } cases[] = {
        {"a letter", "x", "\"x\""},
        {"a semicolon", "1001;", "\"1001;\""},
        {"a full-width digit", "100\xEF\xBC\x91", "\"100\xEF\xBC\x91\""},
        {"a byte-order mark",
         "\xEF\xBB\xBF"
         "1001",
         "\"\\u{FEFF}1001\""},
        {"a control character",
         "10\x1b"
         "01",
         "\"10\\u{001B}01\""},
    };
    int loads = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString before = shared().gInvoiceIds;
        messages.messages.clear();
        long number = 0;
        char* description = nullptr;
        int result = -1;
        EXPECT_EQ(xhook_hook_bill(instance_, c.ids, &result, &number, &description), XHOOK_E_FAIL);
        EXPECT_EQ(number, RuntimeErrorNumber::InvalidProcedureCall);
        ASSERT_NE(description, nullptr);
        EXPECT_TRUE(QString::fromUtf8(description).contains(QString::fromUtf8(c.shown)))
            << description;
        xhook_free_string(description);
        EXPECT_EQ(shared().gInvoiceIds, before) << "nothing appended";
        EXPECT_TRUE(messages.messages.isEmpty()) << "no message box";

        int rows = 0;
        QTimer::singleShot(0, [&] { rows = shared().gHookWindow->vsf1().RowCount(); });
        EXPECT_EQ(hookBill("1001"), XHOOK_OK) << "the next good call";
        EXPECT_GT(rows, 2) << "loads the invoice grid";
        EXPECT_TRUE(messages.messages.isEmpty());
        EXPECT_FALSE(shared().gHookWindow->isLoaded()) << "and the window closed itself";
        ++loads;
    }
    EXPECT_EQ(shared().gInvoiceIds, QStringList(loads, "1001").join(','));
}

}  // namespace
