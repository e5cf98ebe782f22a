#include <gtest/gtest.h>

#include <QList>
#include <QPair>

#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "tests/support/ErrorCapture.h"

using namespace xhook;

namespace {

TEST(IdListCheck, AcceptsOnlyAsciiDigitsBetweenCommas) {
    for (const QString& list :
         {QString("101"), QString("101,102,5001"), QString("007,0"), QString()}) {
        const IdListCheck check = checkIdList(list, false);
        EXPECT_TRUE(check.ok) << list.toStdString();
        EXPECT_EQ(check.normalized, list);
    }
    const QList<QPair<QString, QString>> refused = {{"101,+102", "+102"},
                                                    {"-1", "-1"},
                                                    {"101, 102", " 102"},
                                                    {"101 ", "101 "},
                                                    {"１２", "１２"},
                                                    {"٣", "٣"},
                                                    {"1e3", "1e3"},
                                                    {"1) or (1=1", "1) or (1=1"},
                                                    {"5001;drop", "5001;drop"},
                                                    {"1.5", "1.5"},
                                                    {"1,,2", ""},
                                                    {"1,", ""}};
    for (const auto& [list, offending] : refused) {
        const IdListCheck check = checkIdList(list, false);
        EXPECT_FALSE(check.ok) << list.toStdString();
        EXPECT_EQ(check.offending, offending) << list.toStdString();
    }
}

TEST(IdListCheck, CanSkipEmptyItems) {
    EXPECT_EQ(checkIdList(",101,,102,", true).normalized, "101,102");
    EXPECT_TRUE(checkIdList(",,", true).ok);
    EXPECT_EQ(checkIdList(",,", true).normalized, "");
    const IdListCheck check = checkIdList(",101,x,", true);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.offending, "x");
}

TEST(IdListCheck, RequireNamesTheListAndTheOffendingItem) {
    EXPECT_EQ(requireIdList("101,102", "gOutboundIds"), "101,102");
    const RuntimeError error =
        test::raisedBy<RuntimeError>([] { requireIdList("101,x2", "gOutboundIds"); });
    EXPECT_EQ(error.number(), RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_TRUE(error.description().contains("gOutboundIds"));
    EXPECT_TRUE(error.description().contains("\"101,x2\""));
    EXPECT_TRUE(error.description().contains("\"x2\""));
}

}  // namespace
