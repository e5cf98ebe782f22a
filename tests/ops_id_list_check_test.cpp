#include <gtest/gtest.h>

#include <QList>
#include <QPair>

#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "tests/support/ErrorCapture.h"

using namespace xhook;

namespace {

// The one rule: ASCII digits between commas, empty items allowed and naming nothing.
TEST(IdListCheck, AcceptsOnlyAsciiDigitsBetweenCommas) {
    const QList<QPair<QString, QString>> accepted = {
        {"101", "101"},     {"101,102,5001", "101,102,5001"},
        {"007,0", "007,0"}, {QString(), QString()},
        {"1,,2", "1,2"},    {"1,", "1"},
        {",1001", "1001"},  {",", ""}};
    for (const auto& [list, ids] : accepted) {
        const IdListCheck check = checkIdList(list);
        EXPECT_TRUE(check.ok) << list.toStdString();
        EXPECT_EQ(check.ids, ids) << list.toStdString();
    }
    const QList<QPair<QString, QString>> refused = {
        {"101,+102", "+102"},
        {"-1", "-1"},
        {"101, 102", " 102"},
        {"101 ", "101 "},
        {"１２", "１２"},
        {"٣", "٣"},
        {"1e3", "1e3"},
        {"1) or (1=1", "1) or (1=1"},
        {"5001;drop", "5001;drop"},
        {"1.5", "1.5"},
        {QChar(0xfeff) + QString("1001"), QChar(0xfeff) + QString("1001")},
        {"1001," + QString(QChar(0xfeff)), QString(QChar(0xfeff))}};
    for (const auto& [list, offending] : refused) {
        const IdListCheck check = checkIdList(list);
        EXPECT_FALSE(check.ok) << list.toStdString();
        EXPECT_EQ(check.offending, offending) << list.toStdString();
    }
}

TEST(IdListCheck, EmptyItemsNameNoDocument) {
    EXPECT_EQ(checkIdList(",101,,102,").ids, "101,102");
    EXPECT_TRUE(checkIdList(",,").ok);
    EXPECT_EQ(checkIdList(",,").ids, "");
    const IdListCheck check = checkIdList(",101,x,");
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.offending, "x");
}

TEST(IdListCheck, RequireNamesTheListAndTheOffendingItem) {
    EXPECT_EQ(requireIdList("101,102", "gOutboundIds"), "101,102");
    EXPECT_EQ(requireIdList("101,,102,", "gOutboundIds"), "101,102");
    const RuntimeError error =
        test::raisedBy<RuntimeError>([] { requireIdList("101,x2", "gOutboundIds"); });
    EXPECT_EQ(error.number(), RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_TRUE(error.description().contains("gOutboundIds"));
    EXPECT_TRUE(error.description().contains("\"101,x2\""));
    EXPECT_TRUE(error.description().contains("\"x2\""));
}

// A refusal quotes the text with its control characters escaped, so that a NUL does not cut the
// message short.
TEST(IdListCheck, RequireShowsControlCharactersEscaped) {
    const RuntimeError error = test::raisedBy<RuntimeError>([] {
        requireIdList(QStringLiteral("10") + QChar(0) + "01," + QChar(0xfeff) + "7", "hookBill");
    });
    EXPECT_TRUE(error.description().contains("\"10\\001,\\u{FEFF}7\""))
        << error.description().toStdString();
    EXPECT_FALSE(error.description().contains(QChar(0)));
}

}  // namespace
