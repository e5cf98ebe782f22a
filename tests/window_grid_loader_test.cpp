#include <gtest/gtest.h>

#include <QRgb>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/ResultSet.h"
#include "foundation/Errors.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/GridLoader.h"

using namespace xhook;
using namespace xhook::test;

namespace {

constexpr QRgb kStatusOne = qRgb(255, 255, 240);
constexpr QRgb kOtherStatus = qRgb(240, 255, 255);
constexpr QRgb kTotals = qRgb(232, 232, 150);

struct ConfigRow {
    int entryId;
    QString field, title, align = "1", format = "";
    int merge = 0, sum = 0;
};

struct Line {
    int interId, entryId;
    QString billNo;
    int orderId;
    QVariant customer, status, date, item, qty, amount;
};

// A host database that holds only what the loader reads: the column configuration and a table
// standing for the invoice line view; on SQLite and on the PostgreSQL server.
class GridLoaderTest : public ScratchDatabaseTest {
  protected:
    void SetUp() override {
        ScratchDatabaseTest::SetUp();
        if (IsSkipped()) return;
        data::Connection setup;
        setup.setConnectionString(connectionString());
        setup.open();
        setup.execute(
            "create table tblFindInfoEntry (ftypeid integer, fentryid integer, fFieldname "
            "varchar(50), fTitleName varchar(50), fAlign varchar(10), fDataFormat varchar(50), "
            "fIsMerge integer, fIsSum integer)");
        setup.execute(
            "create table vGSaleFP (finterid integer, fentryid integer, fbillno varchar(20), "
            "forderid integer, fcustomerIdNumber varchar(30), fstatus integer, fdate varchar(10), "
            "fitem varchar(50), fqty varchar(20), famount double precision)");
        setup.close();
        shared().DBConnectionString = connectionString();
        shared().gCustomerNumber = "unchanged";
    }
    void TearDown() override { data::FaultInjection::clear(); }

    void exec(const QString& sql, const QVariantList& values = {}) {
        data::Connection c;
        c.setConnectionString(shared().DBConnectionString);
        c.open();
        values.isEmpty() ? c.execute(sql) : c.execute(sql, values);
    }
    void configure(const QList<ConfigRow>& rows) {
        for (const ConfigRow& r : rows)
            exec("insert into tblFindInfoEntry values (100, ?, ?, ?, ?, ?, ?, ?)",
                 {r.entryId, r.field, r.title, r.align, r.format, r.merge, r.sum});
    }
    void standardConfiguration() {
        configure({{1, "fbillno", "单据号", "1", "", 1, 0},
                   {2, "fdate", "日期", "4", "yyyy-mm-dd", 1, 0},
                   {3, "fitem", "物料", "1", "", 0, 0},
                   {4, "fqty", "数量", "7", "0.00", 0, 1},
                   {5, "famount", "金额", "7", "#,##0.00", 0, 1}});
    }
    void addLines(const QList<Line>& lines) {
        for (const Line& l : lines)
            exec("insert into vGSaleFP values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                 {l.interId, l.entryId, l.billNo, l.orderId, l.customer, l.status, l.date, l.item,
                  l.qty, l.amount});
    }
    void twoInvoices() {
        addLines({{1002, 1, "FP002", 1, "C2", 0, "2026-01-02", "螺丝", "4", 40.0},
                  {1001, 2, "FP001", 2, "C1", 1, "2026-01-01", "螺母", "2", 20.5},
                  {1001, 1, "FP001", 1, "C1", 1, "2026-01-01", "垫片", "1.5", 10.0},
                  {1001, 3, "FP001", 3, "C1", QVariant(), "2026-01-01", "扳手", "3", 30.0},
                  {1002, 2, "FP002", 2, "C2", 1, "2026-01-02", "钳子", "5", 50.0}});
    }
    bool load(const QString& ids) { return loadDocumentGrid(grid_, invoiceGridSource(), ids); }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < grid_.ColCount(); ++c) cells << grid_.cellText(r, c);
        return cells;
    }

    FlexGrid grid_{"vsf1"};
    RecordingMessages messages_;
};

TEST_P(GridLoaderTest, LoadsLinesMergedColumnsSeparatorsColoursAndTotals) {
    standardConfiguration();
    twoInvoices();
    ASSERT_TRUE(load("1001,1002"));
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);

    ASSERT_EQ(grid_.RowCount(), 7);
    ASSERT_EQ(grid_.ColCount(), 8);
    EXPECT_EQ(row(0), QStringList({"", "", "", "单据号", "日期", "物料", "数量", "金额"}));
    EXPECT_EQ(row(1),
              QStringList({"1001", "1", "FP001", "FP001", "2026-01-01", "垫片", "1.5", "10"}));
    EXPECT_EQ(row(2), QStringList({"1001", "2", "FP001", "", "", "螺母", "2", "20.5"}));
    EXPECT_EQ(row(3), QStringList({"1001", "3", "FP001", "", "", "扳手", "3", "30"}));
    EXPECT_EQ(row(4),
              QStringList({"1002", "1", "FP002", "FP002", "2026-01-02", "螺丝", "4", "40"}));
    EXPECT_EQ(row(5), QStringList({"1002", "2", "FP002", "", "", "钳子", "5", "50"}));
    EXPECT_EQ(row(6), QStringList({"", "", "", "合计", "", "", "15.5", "150.5"}));

    for (int c = 0; c < 3; ++c) EXPECT_TRUE(grid_.ColHidden(c));
    EXPECT_FALSE(grid_.ColHidden(3));
    EXPECT_EQ(grid_.ColAlignment(6), 7);
    EXPECT_EQ(grid_.ColHeaderAlignment(6), 4);
    EXPECT_EQ(grid_.ColFormat(7), "#,##0.00");
    EXPECT_EQ(grid_.ColFormat(5), QString()) << "an empty format text gets no format";

    EXPECT_EQ(grid_.cellBackground(1, 0), kStatusOne);
    EXPECT_EQ(grid_.cellBackground(3, 7), kOtherStatus) << "NULL status";
    EXPECT_EQ(grid_.cellBackground(4, 3), kOtherStatus);
    EXPECT_EQ(grid_.cellBackground(6, 5), kTotals);
    EXPECT_TRUE(grid_.cellBorders(1, 4).top);
    EXPECT_FALSE(grid_.cellBorders(2, 4).top) << "no line between the lines of one document";
    EXPECT_TRUE(grid_.cellBorders(4, 4).top);
    EXPECT_TRUE(grid_.cellBorders(1, 0).left);
    EXPECT_EQ(grid_.cellBorders(1, 4).color, qRgb(162, 162, 162));
    EXPECT_TRUE(grid_.cellBorders(6, 4).top);

    EXPECT_EQ(grid_.CurrentRow(), 6) << "the totals row is current after a load";
    EXPECT_EQ(shared().gCustomerNumber, "C2") << "the customer of the last line read";

    ASSERT_TRUE(load("1001,1002"));
    EXPECT_EQ(grid_.RowCount(), 7) << "a second load gives the same grid";
    EXPECT_EQ(row(6), QStringList({"", "", "", "合计", "", "", "15.5", "150.5"}));
}

TEST_P(GridLoaderTest, IdsThatMatchNothingLeaveTheHeaderOnly) {
    standardConfiguration();
    twoInvoices();
    ASSERT_TRUE(load("1001"));
    ASSERT_TRUE(load("4242"));
    EXPECT_EQ(grid_.RowCount(), 1) << "no totals row without lines";
    EXPECT_EQ(grid_.ColCount(), 8);
    EXPECT_EQ(shared().gCustomerNumber, "C1") << "unchanged by a load that read no line";
}

TEST_P(GridLoaderTest, MergedColumnsAreTheFirstConfiguredOnesWhicheverRowsCarryTheFlag) {
    configure({{1, "fbillno", "a", "1", "", 0},
               {2, "fdate", "b", "1", "", 1},
               {3, "fitem", "c", "1", "", 0},
               {4, "fqty", "d", "1", "", 0},
               {5, "famount", "e", "1", "", 1},
               {6, "fcustomerIdNumber", "f", "1", "", 0}});
    twoInvoices();
    ASSERT_TRUE(load("1001"));
    EXPECT_EQ(row(1).mid(3), QStringList({"FP001", "2026-01-01", "垫片", "1.5", "10", "C1"}));
    EXPECT_EQ(row(2).mid(3), QStringList({"", "", "螺母", "2", "20.5", "C1"}));
}

TEST_P(GridLoaderTest, TheSumMarkNamesTheColumnOfEntryIdPlusTwo) {
    configure({{1, "fitem", "物料"}, {3, "fqty", "数量", "7", "", 0, 1}, {4, "famount", "金额"}});
    twoInvoices();
    ASSERT_TRUE(load("1001"));
    const int totals = grid_.RowCount() - 1;
    EXPECT_EQ(grid_.cellText(totals, 4), QString()) << "the flagged row's own column";
    EXPECT_EQ(grid_.cellText(totals, 5), "60.5") << "column fentryid + 2 = 5 is totalled";

    exec("update tblFindInfoEntry set fIsSum = 0");
    exec("update tblFindInfoEntry set fIsSum = 1 where fentryid = 4");
    ASSERT_TRUE(load("1001")) << "a mark naming a column that does not exist totals nothing";
    EXPECT_EQ(row(grid_.RowCount() - 1).mid(4), QStringList({"", ""}));
}

TEST_P(GridLoaderTest, TotalsTreatBlanksAsZeroAndTrimSpaces) {
    configure({{1, "fitem", "物料"}, {2, "fqty", "数量", "7", "", 0, 1}});
    addLines({{1001, 1, "FP1", 1, "C", 1, {}, "a", "1.5", 0.0},
              {1001, 2, "FP1", 2, "C", 1, {}, "b", "", 0.0},
              {1001, 3, "FP1", 3, "C", 1, {}, "c", " 2 ", 0.0},
              {1001, 4, "FP1", 4, "C", 1, {}, "d", QVariant(), 0.0}});
    ASSERT_TRUE(load("1001"));
    EXPECT_EQ(grid_.cellText(5, 4), "3.5");
}

// A TAB or another control character in a value stays in its cell, as a space: the cells after
// it and the totals stay in their columns, also where it stands in the document number, in a
// merged column or in a number held as text.
TEST_P(GridLoaderTest, AControlCharacterInAValueStaysInItsCellAsASpace) {
    configure({{1, "fbillno", "单据号", "1", "", 1, 0},
               {2, "fitem", "物料"},
               {3, "fqty", "数量", "7", "", 0, 1},
               {4, "famount", "金额", "7", "0.00", 0, 1}});
    addLines({{1001, 1, "FP\t1", 1, "C", 1, {}, "左\t右", "7\t", 8.0},
              {1001, 2, "FP\t1", 2, "C", 1, {}, "上\r\n下\x01", "2", 0.5}});
    ASSERT_TRUE(load("1001"));
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(row(1).mid(2), QStringList({"FP 1", "FP 1", "左 右", "7 ", "8"}));
    EXPECT_EQ(row(2).mid(3), QStringList({"", "上  下 ", "2", "0.5"}));
    EXPECT_EQ(row(3).mid(3), QStringList({"合计", "", "9", "8.5"}));
    EXPECT_EQ(grid_.displayText(3, 6), "8.50");
}

TEST_P(GridLoaderTest, TwentyEightConfiguredColumnsFitAndTwentyNineFail) {
    QList<ConfigRow> rows;
    for (int i = 1; i <= 28; ++i) rows.append({i, "fitem", QString("c%1").arg(i)});
    configure(rows);
    twoInvoices();
    ASSERT_TRUE(load("1001"));
    EXPECT_EQ(grid_.ColCount(), 31);
    EXPECT_EQ(grid_.cellText(0, 30), "c28");

    configure({{29, "fitem", "c29"}});
    EXPECT_FALSE(load("1002"));
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].text.contains(QStringLiteral("下标越界")));
    EXPECT_EQ(messages_.messages[0].style, 0);
    EXPECT_FALSE(messages_.messages[0].title.has_value()) << "no title of its own";
    EXPECT_TRUE(messages_.messages[0].connectionOpen) << "shown before the connection closes";
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(grid_.RowCount(), 5) << "the grid is untouched";
    EXPECT_EQ(grid_.cellText(1, 0), "1001");
}

TEST_P(GridLoaderTest, FailuresLeaveTheGridAsTheirStepLeftIt) {
    twoInvoices();
    struct Case {
        const char* name;
        QList<ConfigRow> config;
        QString fix;  // a statement that makes the case
        int rowsAfter;
        const char* messagePart;
    };
    const QList<Case> cases = {
        {"NULL title",
         {{1, "fitem", "物料"}},
         "update tblFindInfoEntry set fTitleName = null",
         5,
         "Null"},
        {"alignment text", {{1, "fitem", "物料", "x"}}, "", 1, "类型不匹配"},
        {"missing view column", {{1, "fnothere", "无"}}, "", 1, "fnothere"},
        {"NULL customer",
         {{1, "fitem", "物料"}},
         "update vGSaleFP set fcustomerIdNumber = null where fentryid = 2 and finterid = 1001",
         2,
         "Null"},
        {"text in a totalled column", {{1, "fitem", "物料", "1", "", 0, 1}}, "", 5, "类型不匹配"},
        {"label column totalled",
         {{1, "fqty", "数量", "1", "", 0, 0}, {2, "fitem", "物料"}},
         "update tblFindInfoEntry set fIsSum = 1 where fentryid = 1",
         5,
         "类型不匹配"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exec("delete from tblFindInfoEntry");
        configure({{1, "fitem", "物料"}});
        ASSERT_TRUE(load("1001")) << "a good load first";
        exec("delete from tblFindInfoEntry");
        configure(c.config);
        if (!c.fix.isEmpty()) exec(c.fix);
        messages_.messages.clear();
        EXPECT_FALSE(load("1001"));
        ASSERT_EQ(messages_.messages.size(), 1);
        EXPECT_TRUE(messages_.messages[0].text.contains(c.messagePart))
            << messages_.messages[0].text.toStdString();
        EXPECT_EQ(grid_.RowCount(), c.rowsAfter);
        EXPECT_EQ(shared().gConnection, nullptr);
        exec("update vGSaleFP set fcustomerIdNumber = 'C1' where finterid = 1001");
    }
}

TEST_P(GridLoaderTest, IdListsAreCheckedBeforeAnySqlIsSent) {
    standardConfiguration();
    twoInvoices();
    ASSERT_TRUE(load("1001,,1002,")) << "empty items are skipped";
    EXPECT_EQ(grid_.RowCount(), 7);

    for (const QString& bad : {QString("1001) or (1=1"), QString("1;delete from vGSaleFP"),
                               QString("１００１"), QString("1001 "), QString(","), QString()}) {
        SCOPED_TRACE(bad.toStdString());
        messages_.messages.clear();
        data::FaultInjection::failCall(1000000);  // counts the layer's calls without failing
        EXPECT_FALSE(load(bad));
        EXPECT_LE(data::FaultInjection::callsSeen(), 2) << "only the open and the close";
        ASSERT_EQ(messages_.messages.size(), 1);
        EXPECT_TRUE(messages_.messages[0].text.contains(QStringLiteral("未查询数据库")));
        EXPECT_EQ(grid_.RowCount(), 7) << "the grid keeps what it showed";
        EXPECT_EQ(shared().gConnection, nullptr);
    }
    data::FaultInjection::clear();
    data::Connection check;
    check.setConnectionString(shared().DBConnectionString);
    check.open();
    auto count = check.openResultSet("select count(*) as n from vGSaleFP");
    EXPECT_EQ(count->value("n").toInt(), 5) << "the database is unchanged";
}

TEST_P(GridLoaderTest, AFailedOpenPassesToTheCallerWithoutAMessage) {
    standardConfiguration();
    shared().DBConnectionString = missingDatabaseConnectionString(backend(), folder.path());
    EXPECT_THROW(load("1001"), data::DbError);
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
    shared().DBConnectionString = QString();
    EXPECT_THROW(load("1001"), ComponentError);
}

// Numbers show at most 15 significant digits and never an exponent below 10^15; the totals keep
// the number behind a text that shows fewer digits, so that a total reads back as itself.
TEST_P(GridLoaderTest, NumberCellsAndTotalsShowPlainDigitsAndKeepTheExactSum) {
    if (backend() == test::Backend::SQLiteThroughOdbc)
        GTEST_SKIP() << "sqliteodbc reads a REAL through SQLite's text of it, 15 significant "
                        "digits, so no number reaches the grid exactly";
    configure({{1, "fitem", "物料"},
               {2, "fqty", "数量", "7", "", 0, 1},
               {3, "famount", "金额", "7", "", 0, 1}});
    addLines({{1001, 1, "FP1", 1, "C", 1, {}, "a", "60000", 0.1},
              {1001, 2, "FP1", 2, "C", 1, {}, "b", "40000", 0.2},
              {1002, 1, "FP2", 1, "C", 1, {}, "c", "0", 100000.0},
              {1002, 2, "FP2", 2, "C", 1, {}, "d", "0", 1.0 / 3.0}});
    ASSERT_TRUE(load("1001,1002"));
    EXPECT_EQ(row(3).mid(3), QStringList({"c", "0", "100000"}));
    EXPECT_EQ(row(4).mid(3), QStringList({"d", "0", "0.333333333333333"}));
    EXPECT_EQ(grid_.cellNumberBehind(4, 5), 1.0 / 3.0);
    EXPECT_EQ(grid_.cellNumberBehind(3, 5), std::nullopt) << "100000 reads back as itself";
    const double exact = 0.1 + 0.2 + 100000.0 + 1.0 / 3.0;
    EXPECT_EQ(row(5).mid(3), QStringList({"合计", "100000", "100000.633333333"}));
    EXPECT_EQ(grid_.cellNumberBehind(5, 5), exact);

    // A TAB in a value moves nothing: the amount stays in its column and in the total.
    exec("update vGSaleFP set fitem = ? where fentryid = 1 and finterid = 1002", {"c\t0"});
    ASSERT_TRUE(load("1001,1002"));
    EXPECT_EQ(row(3).mid(3), QStringList({"c 0", "0", "100000"}));
    EXPECT_EQ(grid_.cellText(5, 5), "100000.633333333");
    EXPECT_EQ(grid_.cellNumberBehind(5, 5), exact);
}

TEST_P(GridLoaderTest, ATextThatIsNoNumberOnTheFirstLineLeavesTheTotalEmpty) {
    configure({{1, "fitem", "物料"}, {2, "fqty", "数量", "7", "", 0, 1}});
    addLines({{1001, 1, "FP1", 1, "C", 1, {}, "a", "abc", 0.0},
              {1001, 2, "FP1", 2, "C", 1, {}, "b", "2", 0.0}});
    EXPECT_FALSE(load("1001"));
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].text.contains(QStringLiteral("类型不匹配")));
    ASSERT_EQ(grid_.RowCount(), 4) << "the totals row is there";
    EXPECT_EQ(grid_.cellText(3, 4), QString()) << "the failing first step wrote nothing";

    exec("update vGSaleFP set fqty = '1.5' where fentryid = 1");
    exec("update vGSaleFP set fqty = 'abc' where fentryid = 2");
    messages_.messages.clear();
    EXPECT_FALSE(load("1001"));
    EXPECT_EQ(grid_.cellText(3, 4), "1.5") << "the sum up to the failing line";
}

TEST_P(GridLoaderTest, ATotalPastTheLargestNumberIsAnOverflow) {
    configure({{1, "fitem", "物料"}, {2, "famount", "金额", "7", "", 0, 1}});
    addLines({{1001, 1, "FP1", 1, "C", 1, {}, "a", "0", 1e308},
              {1001, 2, "FP1", 2, "C", 1, {}, "b", "0", 1e308}});
    EXPECT_FALSE(load("1001"));
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].text.contains(QStringLiteral("溢出")))
        << messages_.messages[0].text.toStdString();
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(grid_.cellText(3, 4), "1E+308") << "the sum before the step that overflowed";
}

XHOOK_ON_EVERY_PROVIDER(GridLoaderTest);

}  // namespace
