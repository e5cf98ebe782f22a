#include <gtest/gtest.h>

#include <QLocale>

#include "component/SharedState.h"
#include "component/UserSettings.h"
#include "foundation/Errors.h"
#include "tests/support/TestSupport.h"

using namespace xhook;
using namespace xhook::test;

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { clearSettings(); }
    void TearDown() override {
        clearSettings();
        QLocale::setDefault(QLocale::c());
    }
    // A record whose every settings field holds a marker, to see what a read replaced.
    static SharedState& markedRecord() {
        SharedState& s = shared();
        s.msgTitle = s.DBConnectionString = s.gLoginUserId = s.gLoginUserName = "old";
        s.IsAdmin = s.gCurrentYear = s.gCurrentPeriod = s.gIsUpdateBillNo = 77;
        s.gIsCloseStock = s.gBillLength = s.gIsUpdateInPrice = 77;
        s.fTax1 = s.fTax2 = 77;
        return s;
    }
    static long errorNumberOfRead() {
        try {
            readUserSettings(shared());
        } catch (const RuntimeError& e) {
            return e.number();
        }
        return 0;
    }
};

TEST_F(SettingsTest, EmptyStoreGivesTheDefaults) {
    SharedState& s = markedRecord();
    readUserSettings(s);
    EXPECT_EQ(s.msgTitle, QStringLiteral("泰启进销存"));
    EXPECT_EQ(s.DBConnectionString, QString());
    EXPECT_EQ(s.gLoginUserId, "0");
    EXPECT_EQ(s.gLoginUserName, QString());
    EXPECT_EQ(s.gBillLength, 6);
    for (qint16 v : {s.IsAdmin, s.gCurrentYear, s.gCurrentPeriod, s.gIsUpdateBillNo,
                     s.gIsCloseStock, s.gIsUpdateInPrice})
        EXPECT_EQ(v, 0);
    EXPECT_EQ(s.fTax1, 0.0);
    EXPECT_EQ(s.fTax2, 0.0);
}

TEST_F(SettingsTest, StoredValuesAreReadAndConverted) {
    writeSetting("SystemSetup", "msgTitle", "标题, 带逗号");
    writeSetting("DBOperation", "DBConnectionString", "Provider=SQLite;Data Source=/tmp/x.db");
    writeSetting("SystemLogin", "gLoginUserId", "0042");
    writeSetting("SystemSetup", "fTax1", "0.17");
    writeSetting("SystemSetup", "gCurrentPeriod", " 12 ");
    writeSetting("SystemLogin", "IsAdmin", "-1");
    SharedState& s = markedRecord();
    readUserSettings(s);
    EXPECT_EQ(s.msgTitle, QStringLiteral("标题, 带逗号"));
    EXPECT_EQ(s.DBConnectionString, "Provider=SQLite;Data Source=/tmp/x.db");
    EXPECT_EQ(s.gLoginUserId, "0042") << "the user id stays text";
    EXPECT_DOUBLE_EQ(s.fTax1, 0.17);
    EXPECT_EQ(s.gCurrentPeriod, 12);
    EXPECT_EQ(s.IsAdmin, -1);
}

TEST_F(SettingsTest, FractionsRoundHalfToEven) {
    const struct {
        const char* stored;
        int expected;
    } cases[] = {{"2024.5", 2024},   {"2025.5", 2026},   {"2025.49", 2025}, {"-2.5", -2},
                 {"32767.4", 32767}, {"-32768", -32768}, {"1e3", 1000}};
    for (const auto& c : cases) {
        writeSetting("SystemSetup", "gCurrentYear", c.stored);
        readUserSettings(shared());
        EXPECT_EQ(shared().gCurrentYear, c.expected) << c.stored;
    }
}

TEST_F(SettingsTest, NumbersAreReadInTheUsersLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    writeSetting("SystemSetup", "fTax1", "0,17");
    writeSetting("SystemSetup", "gCurrentYear", "2025,5");
    readUserSettings(shared());
    EXPECT_DOUBLE_EQ(shared().fTax1, 0.17);
    EXPECT_EQ(shared().gCurrentYear, 2026);
}

TEST_F(SettingsTest, OverflowStopsTheReadAtThatKey) {
    writeSetting("SystemSetup", "msgTitle", "新标题");
    writeSetting("SystemSetup", "gCurrentYear", "2030");
    writeSetting("SystemSetup", "gBillLength", "32768");
    SharedState& s = markedRecord();
    EXPECT_EQ(errorNumberOfRead(), RuntimeErrorNumber::Overflow);
    EXPECT_EQ(s.msgTitle, QStringLiteral("新标题"));
    EXPECT_EQ(s.gCurrentYear, 2030) << "read before the failing key";
    EXPECT_EQ(s.gBillLength, 77) << "the failing field keeps its old value";
    EXPECT_EQ(s.gIsCloseStock, 77) << "read after the failing key";
    EXPECT_EQ(s.IsAdmin, 77);
}

TEST_F(SettingsTest, TextThatIsNoNumberIsATypeMismatch) {
    writeSetting("SystemLogin", "gLoginUserId", "7");
    writeSetting("SystemSetup", "gBillLength", "8");
    writeSetting("SystemSetup", "fTax1", "abc");
    SharedState& s = markedRecord();
    EXPECT_EQ(errorNumberOfRead(), RuntimeErrorNumber::TypeMismatch);
    EXPECT_EQ(s.gLoginUserId, "7");
    EXPECT_EQ(s.gBillLength, 8);
    EXPECT_EQ(s.gIsUpdateBillNo, 0) << "absent keys before the failure take their defaults";
    EXPECT_EQ(s.fTax1, 77.0);
    EXPECT_EQ(s.fTax2, 77.0);
    EXPECT_EQ(s.IsAdmin, 77);
}

TEST_F(SettingsTest, AnEmptyStoredNumberIsAnErrorNotTheDefault) {
    for (const char* bad : {"", "  ", "12abc", "NaN", "0x10"}) {
        writeSetting("SystemSetup", "gBillLength", bad);
        EXPECT_EQ(errorNumberOfRead(), RuntimeErrorNumber::TypeMismatch) << '"' << bad << '"';
    }
}

}  // namespace
