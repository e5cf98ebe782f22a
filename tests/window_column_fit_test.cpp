#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QList>
#include <algorithm>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "tests/support/ReconcileTestSupport.h"
#include "window/ColumnFit.h"
#include "window/FlexGrid.h"
#include "window/GridDelegate.h"
#include "window/GridModel.h"
#include "window/GridRows.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

constexpr int kDefaultWidthTwips = 1000;

void sendWindowEvent(QWidget* form, QEvent::Type type) {
    QEvent event(type);
    QCoreApplication::sendEvent(form, &event);
}

int limitPixels() {
    return FlexGrid::twipsToPixelsX(FlexGrid::kFitLimitTwips);
}

// The width a column needs, measured over every row's displayed text (the fit itself measures
// only the longest few): the widest text with the cell's margins and line, or the header's own
// size, whichever is more, bounded by the limit.
int neededPixels(const FlexGrid& grid, int col) {
    const QFontMetrics metrics(grid.font());
    int widest = 0;
    for (int r = 1; r < grid.RowCount(); ++r)
        widest = std::max(widest, metrics.horizontalAdvance(grid.displayText(r, col)));
    const int cell = widest + 2 * GridDelegate::kTextMargin + 1;
    return std::min(std::max(cell, grid.horizontalHeader()->sectionSizeHint(col)), limitPixels());
}

// The fit measures a text by its characters' advances, which kerning can only make a pixel or
// two wider than the shaped text: never narrower, so nothing is cut.
void expectFitted(const FlexGrid& grid, int col) {
    const int fitted = FlexGrid::twipsToPixelsX(grid.ColWidth(col));
    const int needed = neededPixels(grid, col);
    EXPECT_GE(fitted, needed);
    EXPECT_LE(fitted, needed + 2);
}

QList<int> widthsOf(const FlexGrid& grid) {
    QList<int> widths;
    for (int c = 0; c < grid.ColCount(); ++c) widths << grid.ColWidth(c);
    return widths;
}

TEST(ColumnFitCandidates, TheLongestTextsOfEachColumnInOnePass) {
    struct Case {
        const char* what;
        QList<int> lengths;         // of column 0's texts, row by row
        std::vector<int> expected;  // the rows found, longest first
    };
    const QList<Case> cases = {
        {"no rows", {}, {}},
        {"empty texts are never candidates", {0, 0}, {}},
        {"longest first, ties in row order", {3, 7, 1, 7, 9}, {4, 1, 3, 0, 2}},
        {"only the longest few of many",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         {15, 14, 13, 12, 11, 10, 9, 8}},
        {"a tie with the shortest of a full list stays out",
         {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6},
         {13, 0, 1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GridModel model;
        model.setColumnCount(2, kDefaultWidthTwips);
        for (int length : c.lengths) model.appendRow(QString(length, 'x') + "\tlong text here");
        const auto rows = ColumnFit::longestTextRows(model, {0, 1});
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0], c.expected);
        EXPECT_EQ(int(rows[1].size()), std::min(int(c.lengths.size()), ColumnFit::kCandidates));
    }
}

// What one pass over the rows in order finds: the longest non-empty texts, rows in order among
// equal lengths.
std::vector<int> longestByAPass(const GridRows& rows, int col) {
    std::vector<std::pair<qsizetype, int>> found;
    for (int r = 0; r < rows.count(); ++r)
        if (const qsizetype length = rows.text(r, col).size()) found.push_back({-length, r});
    std::sort(found.begin(), found.end());
    std::vector<int> longest;
    for (size_t i = 0; i < found.size() && i < size_t(ColumnFit::kCandidates); ++i)
        longest.push_back(found[i].second);
    return longest;
}

// The row store keeps the longest texts as rows come, are rewritten and go; after every change
// they are what a pass over the rows finds.
TEST(ColumnFitCandidates, TheKeptLongestTextsFollowEveryChangeOfTheRows) {
    GridRows rows;
    const auto expectAsAPass = [&rows](const char* after) {
        SCOPED_TRACE(after);
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(rows.longestTextRows(col), longestByAPass(rows, col)) << "column " << col;
    };
    for (int r = 0; r < 40; ++r)
        rows.append(QString((r * 7) % 11, 'a') + "\t" + QString(r % 5, 'b') + "\tc", 3);
    expectAsAPass("appends");
    rows.setText(3, 0, QString(30, 'x'));  // a row that was not kept enters
    expectAsAPass("a longer text");
    rows.setText(3, 0, "x");  // a kept row shrinks
    expectAsAPass("a kept text made shorter");
    rows.setText(0, 1, "bbbb");  // as long as the kept ones, in an earlier row
    expectAsAPass("a tie in an earlier row");
    rows.remove(5);
    rows.appendEmpty(2);
    rows.setText(40, 2, QString(9, 'c'));
    expectAsAPass("a removal, empty rows and a cell written in one");
    rows.truncate(12);
    expectAsAPass("a truncation");
    rows.dropColumnsFrom(1);
    rows.append("dd\tee", 3);
    expectAsAPass("columns dropped");
    rows.truncate(0);
    rows.append(QString(2, 'f'), 3);
    expectAsAPass("emptied and appended to");
}

// The displayed text decides, and one long text does not take the window.
TEST(ColumnFitGrid, FitsToTheDisplayedTextsWithinTheLimitAndLeavesChosenAndHiddenColumns) {
    FlexGrid grid("vsf1");
    grid.setColCount(5);
    const QStringList headers = {"id", "单据编号", "客户", "金额", "备注"};
    for (int c = 0; c < 5; ++c) grid.setCellProperty(FlexGrid::kSelectorText, 0, c, headers[c]);
    grid.setColHidden(0, true);
    grid.setColFormat(3, "#,##0.00");
    grid.setColWidth(4, 777);
    grid.AddRow("1\tXSFP000001\t上海宏达机械设备有限公司\t58416.5\tx");
    grid.AddRow("2\tXSFP000002\t北京\t1080\t" + QString(400, 'W'));
    grid.AddRow("3\tXSFP000003\t" + QString(300, u'长') + "\t12345678\ty");
    grid.fitColumnsToContents();

    EXPECT_EQ(grid.ColWidth(0), kDefaultWidthTwips) << "a hidden column is not fitted";
    EXPECT_FALSE(grid.colWidthChosen(0));
    for (int c : {1, 3}) {
        SCOPED_TRACE(c);
        expectFitted(grid, c);
        EXPECT_LT(FlexGrid::twipsToPixelsX(grid.ColWidth(c)), limitPixels());
        EXPECT_FALSE(grid.colWidthChosen(c)) << "a fitted width is nobody's choice";
    }
    const QFontMetrics metrics(grid.font());
    EXPECT_GT(FlexGrid::twipsToPixelsX(grid.ColWidth(3)),
              metrics.horizontalAdvance("12,345,678.00"))
        << "the formatted text, not the stored one";
    EXPECT_EQ(FlexGrid::twipsToPixelsX(grid.ColWidth(2)), limitPixels()) << "bounded";
    EXPECT_EQ(grid.ColWidth(4), 777) << "a width set through ColWidth stays";
    EXPECT_TRUE(grid.colWidthChosen(4));

    // A width the user drags is the user's: the next fit leaves it.
    grid.horizontalHeader()->resizeSection(1, 40);
    EXPECT_TRUE(grid.colWidthChosen(1));
    grid.fitColumnsToContents();
    EXPECT_EQ(grid.ColWidth(1), FlexGrid::pixelsToTwipsX(40));
}

class ColumnFitInTheWindow : public DemoDatabaseFixture {
  protected:
    // The widths of a layout in t_GS_tableinfo, by sequence.
    QList<int> storedWidths(const QString& name, int type) {
        data::Connection db;
        db.setConnectionString(shared().DBConnectionString);
        db.open();
        auto rows = db.openResultSet(
            QStringLiteral("select fwidth from t_GS_tableinfo where ftablename='%1' and ftype=%2 "
                           "order by fsequence")
                .arg(name)
                .arg(type));
        QList<int> widths;
        for (; !rows->eof(); rows->moveNext()) widths << rows->value(0).toInt();
        return widths;
    }
};

TEST_F(ColumnFitInTheWindow, AFirstLoadFitsEveryVisibleColumnOfBothGrids) {
    loadWindow("1001,1002,1003", "5001,5003");
    for (FlexGrid* grid : {form().vsf1, form().vsf2}) {
        SCOPED_TRACE(grid->Name().toStdString());
        ASSERT_GT(grid->RowCount(), 2);
        for (int c = 0; c < grid->ColCount(); ++c) {
            SCOPED_TRACE(c);
            if (grid->ColHidden(c)) {
                EXPECT_EQ(grid->ColWidth(c), kDefaultWidthTwips);
                continue;
            }
            expectFitted(*grid, c);
        }
    }
}

// The first activation records the widths the grid has then, the fitted ones, as type 0; the
// user's own widths are what the close saves, and the stored layout wins over the next fit.
TEST_F(ColumnFitInTheWindow, AStoredLayoutWinsOverTheFitAndTheUsersWidthsAreSaved) {
    loadWindow("1001", "");
    HookForm& f = form();
    const QList<int> fitted = widthsOf(*f.vsf1);
    sendWindowEvent(&f, QEvent::WindowActivate);
    EXPECT_EQ(storedWidths("XSGJA", 0), fitted);
    EXPECT_EQ(widthsOf(*f.vsf1), fitted) << "no layout stored yet: the fit stays";

    f.vsf1->horizontalHeader()->resizeSection(4, 211);
    const int dragged = FlexGrid::pixelsToTwipsX(211);
    loadWindow("1001,1002", "");
    EXPECT_EQ(f.vsf1->ColWidth(4), dragged) << "the next load leaves the user's width";
    QList<int> expected = widthsOf(*f.vsf1);
    window.close();
    EXPECT_EQ(storedWidths("XSGJA", 1), expected);

    // The next window fits its first load, and the stored layout replaces the fit on
    // activation and stays through the loads after it.
    loadWindow("1003", "");
    HookForm& next = form();
    sendWindowEvent(&next, QEvent::WindowActivate);
    EXPECT_EQ(widthsOf(*next.vsf1), expected);
    loadWindow("1001,1002,1003", "");
    EXPECT_EQ(widthsOf(*next.vsf1), expected);
}

}  // namespace
