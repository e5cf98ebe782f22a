#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMimeData>
#include <QTest>

#include "tests/support/ReconcileTestSupport.h"
#include "window/Commands.h"
#include "window/FlexGrid.h"
#include "window/GridClipboard.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// The demo's invoices 1001 and 1002, two lines each, as the invoice grid shows them.
const QString kBothInvoicesText = QStringLiteral(
    "发票号码\t日期\t客户\t物料代码\t物料名称\t规格型号\t单位\t数量\t单价\t金额\t税额\t价税合计\n"
    "XSFP000001\t2024-04-15\t上海宏达机电设备有限公司\t03.005\t中间继电器\tJZX-22F\t只\t16.00\t16."
    "59\t265.44\t34.51\t299.95\n"
    "\t\t\t03.003\t交流接触器\tCJX2-2510\t只\t13.00\t68.00\t884.00\t114.92\t998.92\n"
    "XSFP000002\t2024-04-29\t上海宏达机电设备有限公司\t03.001\t三相异步电动机\tY2-90L-4 "
    "1.5kW\t台\t56.50\t1,009.40\t57,031.10\t7,414.04\t64,445.14\n"
    "\t\t\t04.001\t电力电缆\tYJV-3×4\t米\t53.00\t26.14\t1,385.42\t180.10\t1,565.52\n");

const QString kHtmlStart = QStringLiteral(
    "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"></head>"
    "<body>\n<table>\n");
const QString kHtmlEnd = QStringLiteral("</table>\n</body></html>\n");

const QString kBothInvoicesHtml =
    kHtmlStart +
    QStringLiteral(
        "<tr><th>发票号码</th><th>日期</th><th>客户</th><th>物料代码</th><th>物料名称</th>"
        "<th>规格型号</th><th>单位</th><th>数量</th><th>单价</th><th>金额</th><th>税额</th>"
        "<th>价税合计</th></tr>\n"
        "<tr><td>XSFP000001</td><td>2024-04-15</td><td>上海宏达机电设备有限公司</td>"
        "<td>03.005</td><td>中间继电器</td><td>JZX-22F</td><td>只</td><td>16.00</td>"
        "<td>16.59</td><td>265.44</td><td>34.51</td><td>299.95</td></tr>\n"
        "<tr><td></td><td></td><td></td><td>03.003</td><td>交流接触器</td><td>CJX2-2510</td>"
        "<td>只</td><td>13.00</td><td>68.00</td><td>884.00</td><td>114.92</td>"
        "<td>998.92</td></tr>\n"
        "<tr><td>XSFP000002</td><td>2024-04-29</td><td>上海宏达机电设备有限公司</td>"
        "<td>03.001</td><td>三相异步电动机</td><td>Y2-90L-4 1.5kW</td><td>台</td>"
        "<td>56.50</td><td>1,009.40</td><td>57,031.10</td><td>7,414.04</td>"
        "<td>64,445.14</td></tr>\n"
        "<tr><td></td><td></td><td></td><td>04.001</td><td>电力电缆</td><td>YJV-3×4</td>"
        "<td>米</td><td>53.00</td><td>26.14</td><td>1,385.42</td><td>180.10</td>"
        "<td>1,565.52</td></tr>\n") +
    kHtmlEnd;

const QMimeData& clipboard() {
    return *QGuiApplication::clipboard()->mimeData();
}

void pressCopy(FlexGrid& grid) {
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
}

// The invoice grid of the demo's invoices 1001 and 1002 with the first line current.
class InvoiceGridCopy : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        loadWindow("1001,1002", "");
        QCoreApplication::processEvents();  // the view learns of the loaded rows
        grid().setCurrentRow(1);
        QCoreApplication::processEvents();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
    FlexGrid& grid() { return *form().vsf1; }
    // As the user does it: Shift+Down from the first line to the last of the second document.
    void selectBothInvoices() {
        for (int i = 0; i < 3; ++i) QTest::keyClick(&grid(), Qt::Key_Down, Qt::ShiftModifier);
    }
};

TEST_F(InvoiceGridCopy, TwoDocumentsRowsGoOutAsTabSeparatedTextAndAsAnHtmlTable) {
    selectBothInvoices();
    ASSERT_EQ(grid().selectedBlock().row1, 1);
    ASSERT_EQ(grid().selectedBlock().row2, 4);
    pressCopy(grid());
    EXPECT_EQ(clipboard().text(), kBothInvoicesText);
    EXPECT_EQ(clipboard().html(), kBothInvoicesHtml);
    EXPECT_TRUE(clipboard().hasFormat("text/plain"));
    EXPECT_TRUE(clipboard().hasFormat("text/html"));
}

TEST_F(InvoiceGridCopy, EveryCopyKeyOfThePlatformCopiesTheSelection) {
    selectBothInvoices();
    const QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Copy);
    ASSERT_FALSE(keys.isEmpty());
    for (const QKeySequence& key : keys) {
        SCOPED_TRACE(key.toString().toStdString());
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keySequence(&grid(), key);
        EXPECT_EQ(clipboard().text(), kBothInvoicesText);
    }
}

// An arrow key without Shift selects the one row it moves to.
TEST_F(InvoiceGridCopy, TheRowTheCursorMovedToWhenTheUserSelectedNoOther) {
    QTest::keyClick(&grid(), Qt::Key_Down);
    pressCopy(grid());
    const QStringList lines = kBothInvoicesText.split('\n');
    EXPECT_EQ(clipboard().text(), lines[0] + '\n' + lines[2] + '\n');
}

// Selecting rows changes nothing for the commands: the removal takes the document under the
// cursor, where Shift+Down left it.
TEST_F(InvoiceGridCopy, TheRemovalStillTakesTheDocumentUnderTheCursor) {
    selectBothInvoices();
    ASSERT_EQ(grid().CurrentRow(), 4);
    MenuSaleBillRemove_Click(form());
    ASSERT_EQ(grid().RowCount(), 4);
    EXPECT_EQ(grid().cellText(1, 0), "1001");
    EXPECT_EQ(grid().cellText(2, 0), "1001");
    EXPECT_EQ(grid().cellText(3, 3), "合计");
}

// A grid of three hidden key columns and three shown ones, the last under a number format.
class BlockCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        grid.setColCount(6);
        const QStringList headers = {"id", "entry", "number", "名称", "规格", "金额"};
        for (int c = 0; c < 6; ++c) {
            grid.setCellProperty(FlexGrid::kSelectorText, 0, c, headers[c]);
            grid.setColHidden(c, c < 3);
        }
        grid.setColFormat(5, QStringLiteral("#,##0.00"));
        grid.AddRow(QStringLiteral("101\t1\tFP-1\t螺栓\tM8\t1234.5"));
        grid.AddRow(QStringLiteral("101\t2\tFP-1\t螺母\tM10\t12"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
    void selectAndCopy(int row1, int col1, int row2, int col2) {
        grid.SelectRange(row1, col1, row2, col2);
        pressCopy(grid);
    }
    FlexGrid grid{QStringLiteral("vsf1")};
};

TEST_F(BlockCopy, ABlockOfCellsGivesItsShownColumnsAsDisplayed) {
    selectAndCopy(2, 5, 1, 1);  // corners in any order; columns 1 and 2 are hidden
    EXPECT_EQ(clipboard().text(),
              QStringLiteral("名称\t规格\t金额\n螺栓\tM8\t1,234.50\n螺母\tM10\t12.00\n"));
    EXPECT_EQ(clipboard().html(),
              kHtmlStart +
                  QStringLiteral("<tr><th>名称</th><th>规格</th><th>金额</th></tr>\n"
                                 "<tr><td>螺栓</td><td>M8</td><td>1,234.50</td></tr>\n"
                                 "<tr><td>螺母</td><td>M10</td><td>12.00</td></tr>\n") +
                  kHtmlEnd);
}

TEST_F(BlockCopy, TheHeaderRowComesOnceFirst) {
    selectAndCopy(0, 4, 1, 5);
    EXPECT_EQ(clipboard().text(), QStringLiteral("规格\t金额\nM8\t1,234.50\n"));
}

TEST_F(BlockCopy, ABlockOfHiddenColumnsOnlyOrOfNoDataRowCopiesNothing) {
    selectAndCopy(1, 0, 2, 2);
    EXPECT_EQ(clipboard().text(), "before");
    selectAndCopy(0, 3, 0, 5);
    EXPECT_EQ(clipboard().text(), "before");
}

// A TAB or a line break inside a value would start a new cell or row in the text: it becomes a
// space there. The HTML keeps the value's characters, escaped.
TEST_F(BlockCopy, SeparatorsInsideAValueNeverSeparate) {
    struct Case {
        const char* value;
        const char* text;
        const char* html;
    };
    const Case cases[] = {
        {"a\tb", "a b", "a&#9;b"},
        {"a\nb", "a b", "a<br>b"},
        {"a\r\nb", "a b", "a<br>b"},
        {"a\rb", "a b", "a<br>b"},
        {"\t\n", "  ", "&#9;<br>"},
        {"<b>R&D \"x\"</b>", "<b>R&D \"x\"</b>", "&lt;b&gt;R&amp;D &quot;x&quot;&lt;/b&gt;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        grid.setCellProperty(FlexGrid::kSelectorText, 1, 3, QString::fromUtf8(c.value));
        selectAndCopy(1, 3, 1, 4);
        EXPECT_EQ(clipboard().text(), "名称\t规格\n" + QString::fromUtf8(c.text) + "\tM8\n");
        EXPECT_EQ(clipboard().html(), kHtmlStart + "<tr><th>名称</th><th>规格</th></tr>\n<tr><td>" +
                                          QString::fromUtf8(c.html) + "</td><td>M8</td></tr>\n" +
                                          kHtmlEnd);
    }
}

TEST_F(BlockCopy, TheCopyIsWhatTheClipboardGets) {
    grid.SelectRange(1, 3, 2, 5);
    const GridCopy copy = copyOfSelection(grid);
    pressCopy(grid);
    EXPECT_EQ(clipboard().text(), copy.plainText);
    EXPECT_EQ(clipboard().html(), copy.html);
    grid.setRowCount(1);
    EXPECT_TRUE(copyOfSelection(grid).isEmpty());
}

}  // namespace
