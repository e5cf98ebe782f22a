// A row built piece by piece (GridRowText) lands in the grid exactly as the same text given to
// AddRow; the loader builds its rows that way, reading a field once for all the columns that
// show it.
#include <gtest/gtest.h>

#include <QStringList>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/GridLoader.h"
#include "window/GridRows.h"

namespace xhook {
namespace {

QStringList cells(const FlexGrid& grid, int row) {
    QStringList texts;
    for (int c = 0; c < grid.ColCount(); ++c) texts << grid.cellText(row, c);
    return texts;
}

// Builds `pieces` joined by TAB, as the loader does; a piece may hold TABs of its own.
void build(GridRowText& text, const QStringList& pieces) {
    text.clear();
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) text.appendTab();
        text.append(pieces[i]);
    }
}

TEST(GridRowText, RowsLandAsTheirJoinedTextDoes) {
    const QList<QStringList> rows = {
        {"1001", "1", "FP001", "螺丝", "2.5"},
        {"1001", "", "", "", ""},
        {"a\tb", "c", "d"},  // a TAB inside a value moves the rest one column on
        {"\t\t", "x"},       // a value that is TABs only
        {"1", "2", "3", "4", "5", "6", "7", "8"},  // more cells than columns: the rest dropped
        {"only"},
        {""},
        {"1", "2\t3\t4\t5\t6\t7", "tail"},  // TABs inside a value past the last column
        {"", "", "", "", "", "", ""},       // exactly as many TABs as columns
    };
    for (int columns : {0, 1, 5, 7}) {
        SCOPED_TRACE(columns);
        FlexGrid joined("joined"), built("built");
        joined.setColCount(columns);
        built.setColCount(columns);
        GridRowText text;  // one builder for every row, as the loader keeps it
        for (const QStringList& pieces : rows) {
            joined.AddRow(pieces.join(QChar(9)));
            build(text, pieces);
            EXPECT_EQ(text.text(), pieces.join(QChar(9)));
            built.AddRow(text);
        }
        ASSERT_EQ(built.RowCount(), joined.RowCount());
        for (int r = 1; r < joined.RowCount(); ++r) {
            EXPECT_EQ(cells(built, r), cells(joined, r)) << "row " << r;
            built.setColCount(columns + 2);  // cells added later start empty in both
            joined.setColCount(columns + 2);
            EXPECT_EQ(cells(built, r), cells(joined, r)) << "row " << r << ", widened";
            built.setColCount(columns);
            joined.setColCount(columns);
        }
    }
    FlexGrid grid("vsf1");
    grid.setColCount(3);
    GridRowText text;
    build(text, {"x", "y", "z"});
    grid.AddRow(text);
    grid.setCellProperty(FlexGrid::kSelectorText, 1, 1, QStringLiteral("longer text"));
    EXPECT_EQ(cells(grid, 1), QStringList({"x", "longer text", "z"}));
    EXPECT_EQ(grid.cellTextView(1, 2), u"z");
}

// A configuration that shows one field in several columns, merged and not, totals one field in
// two columns, and a value with a TAB in it.
class GridLoaderFieldsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString path = dir_.file("host.db");
        connection_.setConnectionString("Provider=SQLite;Data Source=" + path +
                                        ";Mode=ReadWriteCreate");
        connection_.open();
        connection_.execute(
            "create table tblFindInfoEntry (ftypeid integer, fentryid integer, fFieldname "
            "varchar(50), fTitleName varchar(50), fAlign varchar(10), fDataFormat varchar(50), "
            "fIsMerge integer, fIsSum integer)");
        connection_.execute(
            "create table vGSaleFP (finterid integer, fentryid integer, fbillno varchar(20), "
            "forderid integer, fcustomerIdNumber varchar(30), fstatus integer, fitem "
            "varchar(50), fqty double precision, fnote varchar(50))");
        shared().DBConnectionString = "Provider=SQLite;Data Source=" + path;
    }

    void configure(int entryId, const QString& field, int merge, int sum) {
        connection_.execute("insert into tblFindInfoEntry values (100, ?, ?, ?, '7', '', ?, ?)",
                            {entryId, field, field + QString::number(entryId), merge, sum});
    }
    void addLine(int interId, int entryId, const QVariant& item, const QVariant& qty,
                 const QVariant& note) {
        connection_.execute(
            "insert into vGSaleFP values (?, ?, ?, ?, 'C', 1, ?, ?, ?)",
            {interId, entryId, QString("FP%1").arg(interId), entryId, item, qty, note});
    }

    test::TempDir dir_;
    data::Connection connection_;
    test::RecordingMessages messages_;
};

TEST_F(GridLoaderFieldsTest, ColumnsThatShowOneFieldEachGetItsText) {
    configure(1, "fitem", 1, 0);  // grid column 3, merged
    configure(2, "fqty", 0, 1);   // grid column 4, totalled
    configure(3, "fitem", 0, 0);  // grid column 5: the merged field again, on every line
    configure(4, "fqty", 0, 1);   // grid column 6, totalled
    configure(5, "fnote", 0, 0);  // grid column 7
    configure(6, "fqty", 0, 0);   // grid column 8
    addLine(7, 1, "螺丝", 1.5, "a");
    addLine(7, 2, "螺母", -0.25, QVariant());
    addLine(8, 1, QVariant(), 2.0, "x\ty");
    addLine(8, 2, "垫片", 0.1, "z");
    connection_.close();

    FlexGrid grid("vsf1");
    ASSERT_TRUE(loadDocumentGrid(grid, invoiceGridSource(), "7,8"));
    EXPECT_TRUE(messages_.messages.isEmpty());
    ASSERT_EQ(grid.RowCount(), 6);
    ASSERT_EQ(grid.ColCount(), 9);
    EXPECT_EQ(cells(grid, 1),
              QStringList({"7", "1", "FP7", "螺丝", "1.5", "螺丝", "1.5", "a", "1.5"}));
    EXPECT_EQ(cells(grid, 2),
              QStringList({"7", "2", "FP7", "", "-0.25", "螺母", "-0.25", "", "-0.25"}));
    EXPECT_EQ(cells(grid, 3), QStringList({"8", "1", "FP8", "", "2", "", "2", "x", "y"}))
        << "the TAB in the note moves the last cell on and drops it";
    EXPECT_EQ(cells(grid, 4), QStringList({"8", "2", "FP8", "", "0.1", "垫片", "0.1", "z", "0.1"}));
    EXPECT_EQ(grid.cellText(5, 3), QStringLiteral("合计"));
    EXPECT_EQ(grid.cellText(5, 4), QStringLiteral("3.35"));
    EXPECT_EQ(grid.cellText(5, 6), QStringLiteral("3.35"));
    EXPECT_EQ(grid.cellText(5, 8), QString()) << "not totalled";
}

// The totals of several columns; a text that is no number fails column after column: the columns
// before it totalled, its own column up to the line before it, the columns after it untouched.
TEST_F(GridLoaderFieldsTest, ATextInATotalledColumnStopsTheTotalsWhereItStands) {
    configure(1, "fitem", 0, 0);  // grid column 3, the label's column
    configure(2, "fqty", 0, 1);   // grid column 4
    configure(3, "fnote", 0, 1);  // grid column 5, a text column totalled
    configure(4, "fqty", 0, 1);   // grid column 6
    addLine(7, 1, "a", 1.5, " 1 ");
    addLine(7, 2, "b", -0.25, "");
    addLine(7, 3, "c", 2.0, "2");
    addLine(7, 4, "d", 0.1, "x");
    addLine(7, 5, "e", 4.0, "8");
    connection_.close();

    FlexGrid grid("vsf1");
    EXPECT_FALSE(loadDocumentGrid(grid, invoiceGridSource(), "7"));
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].text.contains(QStringLiteral("类型不匹配")));
    ASSERT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.cellText(6, 4), QStringLiteral("7.35"));
    EXPECT_EQ(grid.cellText(6, 5), QStringLiteral("3")) << "the lines before the text";
    EXPECT_EQ(grid.cellText(6, 6), QString()) << "not reached";

    connection_.open();
    connection_.execute("update vGSaleFP set fnote = '4' where fentryid = 4");
    connection_.close();
    messages_.messages.clear();
    ASSERT_TRUE(loadDocumentGrid(grid, invoiceGridSource(), "7"));
    EXPECT_TRUE(messages_.messages.isEmpty());
    EXPECT_EQ(cells(grid, 6).mid(3), QStringList({"合计", "7.35", "15", "7.35"}));
}

// The totals equal the sums of the cells' numbers in row order, whatever the numbers:
// long fractions, very large and very small ones, signs, numbers held as text, and a merged
// column whose later lines are blank.
TEST_F(GridLoaderFieldsTest, TotalsAreTheSumsOfTheCellsAsShown) {
    configure(1, "fitem", 1, 0);  // grid column 3, merged: the label's column
    configure(2, "fqty", 1, 1);   // grid column 4, merged and totalled
    configure(3, "fnote", 0, 1);  // grid column 5: numbers as text
    configure(4, "fqty", 0, 1);   // grid column 6
    const QList<double> kinds = {0.1, 1.0 / 3, 1e16 + 2, 1e-9, -2.675, 123456.785, -0.0, 7e22};
    connection_.execute("begin");
    for (int line = 0; line < 240; ++line) {
        const double qty = kinds[line % kinds.size()] * (line % 7 + 1) / (line % 3 + 1);
        addLine(100 + line / 3, line % 3 + 1, "i", qty, QString::number(line * 0.37, 'f', 2));
    }
    connection_.execute("commit");
    connection_.close();

    FlexGrid grid("vsf1");
    QStringList ids;
    for (int id = 100; id < 180; ++id) ids << QString::number(id);
    ASSERT_TRUE(loadDocumentGrid(grid, invoiceGridSource(), ids.join(',')));
    EXPECT_TRUE(messages_.messages.isEmpty());
    const int totalsRow = grid.RowCount() - 1;
    ASSERT_EQ(totalsRow, 241);
    const QLocale locale;
    for (int column : {4, 5, 6}) {
        // A cell stands for the number behind its text where the text shows fewer digits.
        double sum = 0;
        for (int row = 1; row < totalsRow; ++row) {
            const QString text = grid.cellText(row, column).trimmed();
            bool ok = text.isEmpty();  // a blank cell counts 0
            const double read = ok ? 0.0 : locale.toDouble(text, &ok);
            sum = grid.cellNumberBehind(row, column).value_or(read) + sum;
            ASSERT_TRUE(ok) << "row " << row << ": " << text.toStdString();
        }
        bool ok = false;
        const double total = locale.toDouble(grid.cellText(totalsRow, column), &ok);
        EXPECT_EQ(grid.cellNumberBehind(totalsRow, column).value_or(total), sum) << column;
        EXPECT_TRUE(ok);
    }
    EXPECT_EQ(grid.cellText(2, 4), QString()) << "a merged cell below a document's first line";
}

}  // namespace
}  // namespace xhook
