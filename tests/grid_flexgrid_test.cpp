#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLocale>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "foundation/Errors.h"
#include "tests/support/ScopedDefaultLocale.h"
#include "window/FlexGrid.h"

namespace xhook {
namespace {

const QChar kTab(9);
const QLocale kEnglishUS(QLocale::English, QLocale::UnitedStates);

// The error that `action` raises; fails the test when it raises none.
RuntimeError raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    ADD_FAILURE() << "no RuntimeError raised";
    return RuntimeError(0, {});
}

QStringList rowTexts(const FlexGrid& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.ColCount(); ++c) cells << grid.cellText(row, c);
    return cells;
}

bool shownOnScreen(FlexGrid& grid, int width, int height) {
    grid.resize(width, height);
    grid.show();
    return QTest::qWaitForWindowExposed(&grid);
}

void addRows(FlexGrid& grid, std::initializer_list<const char*> rows) {
    for (const char* row : rows) grid.AddRow(QString::fromUtf8(row).replace('|', kTab));
}

TEST(FlexGrid, RowZeroIsTheHeader) {
    FlexGrid grid(QStringLiteral("vsf1"));
    EXPECT_EQ(grid.Name(), QStringLiteral("vsf1"));
    EXPECT_EQ(grid.RowCount(), 1);
    grid.setColCount(3);
    for (int c = 0; c < 3; ++c)
        grid.setCellProperty(FlexGrid::kSelectorText, 0, c, QStringLiteral("H%1").arg(c));
    grid.setColHeaderAlignment(1, 4);
    QCoreApplication::processEvents();

    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.CellProperty(FlexGrid::kSelectorText, 0, 2).toString(), QStringLiteral("H2"));
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("H1"));
    EXPECT_EQ(
        grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(grid.ColHeaderAlignment(1), 4);

    addRows(grid, {"a|b|c"});
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("H0"));

    grid.setRowHeight(0, 350);
    EXPECT_EQ(grid.RowHeight(0), 350);
    EXPECT_EQ(grid.horizontalHeader()->height(), FlexGrid::twipsToPixelsY(350));
    EXPECT_EQ(grid.RowHeight(1), 255);
}

TEST(FlexGrid, AddRowSplitsByTabInColumnOrder) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(3);
    addRows(grid, {"a|b|c|dropped|too", "only", "1||3", "|", "", "x|with|tab|inside"});

    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(rowTexts(grid, 2), (QStringList{"only", "", ""}));
    EXPECT_EQ(rowTexts(grid, 3), (QStringList{"1", "", "3"}));
    EXPECT_EQ(rowTexts(grid, 4), (QStringList{"", "", ""}));
    EXPECT_EQ(rowTexts(grid, 5), (QStringList{"", "", ""}));
    EXPECT_EQ(rowTexts(grid, 6), (QStringList{"x", "with", "tab"}));

    // A cell written on its own may hold a TAB; it stays one cell.
    grid.setCellProperty(FlexGrid::kSelectorText, 2, 1, QString("in") + kTab + "side");
    EXPECT_EQ(rowTexts(grid, 2), (QStringList{"only", QString("in") + kTab + "side", ""}));
    grid.setCellProperty(FlexGrid::kSelectorText, 2, 0, QStringLiteral("longer text"));
    EXPECT_EQ(rowTexts(grid, 2), (QStringList{"longer text", QString("in") + kTab + "side", ""}));
    grid.setCellProperty(FlexGrid::kSelectorText, 5, 2, QStringLiteral("late"));
    EXPECT_EQ(rowTexts(grid, 5), (QStringList{"", "", "late"}));
}

TEST(FlexGrid, RowAndColumnCounts) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(2);
    grid.setCellProperty(FlexGrid::kSelectorText, 0, 0, QStringLiteral("Head"));
    addRows(grid, {"a|b", "c|d"});

    grid.setRowCount(5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(rowTexts(grid, 4), (QStringList{"", ""}));
    grid.setRowCount(2);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"a", "b"}));
    grid.setRowCount(1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.cellText(0, 0), QStringLiteral("Head"));
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), 0);

    addRows(grid, {"a|b"});
    grid.setColCount(3);
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"a", "b", ""}));
    grid.setColCount(1);
    grid.setColCount(2);
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"a", ""}));
    EXPECT_EQ(grid.model()->columnCount(), 2);

    EXPECT_EQ(raisedBy([&] { grid.setRowCount(0); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(raisedBy([&] { grid.setColCount(-1); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
}

TEST(FlexGrid, BadIndexesRaiseSubscriptOutOfRange) {
    FlexGrid grid(QStringLiteral("vsf2"));
    grid.setColCount(2);
    addRows(grid, {"a", "b", "c", "d"});

    const RuntimeError row = raisedBy([&] { grid.CellProperty(FlexGrid::kSelectorText, 7, 0); });
    EXPECT_EQ(row.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    EXPECT_TRUE(row.description().contains(QStringLiteral("row 7 of 5"))) << row.what();
    const RuntimeError col = raisedBy([&] { grid.cellText(1, 2); });
    EXPECT_EQ(col.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    EXPECT_TRUE(col.description().contains(QStringLiteral("column 2 of 2"))) << col.what();

    const std::function<void()> outOfRange[] = {
        [&] { grid.cellText(-1, 0); },
        [&] { grid.setCellProperty(FlexGrid::kSelectorText, 5, 0, QStringLiteral("x")); },
        [&] { grid.setCellProperty(FlexGrid::kSelectorBackColor, 1, 0, 9, 1, 0); },
        [&] { grid.RemoveRow(5); },
        [&] { grid.setCurrentRow(5); },
        [&] { grid.SelectRange(1, 0, 1, 2); },
        [&] { grid.ColWidth(-1); },
        [&] { grid.setColWidth(2, 100); },
        [&] { grid.setColHidden(3, true); },
        [&] { grid.setRowHeight(5, 300); },
        [&] { grid.cellBorders(0, 5); },
    };
    for (const auto& action : outOfRange)
        EXPECT_EQ(raisedBy(action).number(), RuntimeErrorNumber::SubscriptOutOfRange);

    EXPECT_EQ(raisedBy([&] { grid.RemoveRow(0); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(raisedBy([&] { grid.CellProperty(3, 1, 0); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(raisedBy([&] { grid.setCellProperty(1, 1, 0, 0); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(raisedBy([&] { grid.setColAlignment(0, 10); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(raisedBy([&] { grid.SetRangeBorder(0, 2, 0, 0, 0, 0, 0); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(raisedBy([&] { grid.setCellProperty(6, 1, 0, QStringLiteral("red")); }).number(),
              RuntimeErrorNumber::TypeMismatch);
    EXPECT_EQ(grid.RowCount(), 5);
}

// The text shows at most 15 significant digits; where it reads back as another number, the cell
// keeps the number it was set to behind the text.
void expectNumberRoundTrip(FlexGrid& grid, double value) {
    grid.setCellProperty(FlexGrid::kSelectorText, 1, 0, value);
    const QString text = grid.CellProperty(FlexGrid::kSelectorText, 1, 0).toString();
    bool ok = false;
    const double read = QLocale().toDouble(text, &ok);
    EXPECT_EQ(grid.cellNumberBehind(1, 0).value_or(read), value) << text.toStdString();
    EXPECT_EQ(grid.cellNumberBehind(1, 0).has_value(), read != value) << text.toStdString();
    EXPECT_TRUE(ok) << text.toStdString();
    EXPECT_FALSE(text.contains(QLocale().groupSeparator())) << text.toStdString();
}

TEST(FlexGrid, NumbersAreStoredAsTextThatReadsBackAsTheSameNumber) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(1);
    grid.AddRow(QString());
    {
        test::ScopedDefaultLocale locale(kEnglishUS);
        for (double value : {1234.5678, 0.1 + 0.2, 1e20, -3.0, 123456789.25, 3.5})
            expectNumberRoundTrip(grid, value);
        grid.setCellProperty(FlexGrid::kSelectorText, 1, 0, 0.1 + 0.2);
        EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("0.3"));
        grid.setCellProperty(FlexGrid::kSelectorText, 1, 0, 3.5);
        EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("3.5"));
        EXPECT_EQ(grid.cellNumberBehind(1, 0), std::nullopt) << "a new text, no number behind";
        grid.setCellProperty(FlexGrid::kSelectorText, 1, 0, 42);
        EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("42"));
        grid.setCellProperty(FlexGrid::kSelectorText, 1, 0, QStringLiteral(" 1.50 "));
        EXPECT_EQ(grid.cellText(1, 0), QStringLiteral(" 1.50 "));
    }
    {
        test::ScopedDefaultLocale locale(QLocale(QLocale::German, QLocale::Germany));
        for (double value : {1234.5678, 0.1 + 0.2, -1234567.125, 1e-7})
            expectNumberRoundTrip(grid, value);
        grid.setCellProperty(FlexGrid::kSelectorText, 1, 0, 1234.5);
        EXPECT_EQ(grid.cellText(1, 0), QStringLiteral("1234,5"));
    }
    EXPECT_EQ(QLocale().name(), QLocale::system().name());
}

TEST(FlexGrid, BackgroundsOfWholeRowsAndOfBlocks) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(4);
    addRows(grid, {"1", "2", "3"});
    const QRgb base = grid.cellBackground(1, 0);
    const QRgb cream = qRgb(255, 255, 240), cyan = qRgb(240, 255, 255), gold = qRgb(232, 232, 150);

    grid.setCellProperty(FlexGrid::kSelectorBackColor, 1, 0, 1, 3, cream);
    grid.setCellProperty(FlexGrid::kSelectorBackColor, 2, 0, 3, 3, cyan);
    grid.setCellProperty(FlexGrid::kSelectorBackColor, 3, 2, 3, 1, gold);  // corners in any order
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid.cellBackground(1, c), cream);
        EXPECT_EQ(grid.cellBackground(2, c), cyan);
        EXPECT_EQ(grid.CellProperty(FlexGrid::kSelectorBackColor, 1, c).toUInt(), cream);
    }
    EXPECT_EQ(grid.cellBackground(3, 0), cyan);
    EXPECT_EQ(grid.cellBackground(3, 1), gold);
    EXPECT_EQ(grid.cellBackground(3, 2), gold);
    EXPECT_EQ(grid.cellBackground(3, 3), cyan);
    EXPECT_EQ(grid.cellBackground(0, 0), base);

    // A colour given as a plain integer or a QColor counts as opaque RGB.
    grid.setCellProperty(FlexGrid::kSelectorBackColor, 1, 1, QVariant(int(0x102030)));
    EXPECT_EQ(grid.cellBackground(1, 1), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(grid.cellBackground(1, 2), cream);
    grid.setCellProperty(FlexGrid::kSelectorBackColor, 1, 2, QColor(1, 2, 3));
    EXPECT_EQ(grid.cellBackground(1, 2), qRgb(1, 2, 3));

    // Colours go with their rows.
    grid.RemoveRow(1);
    EXPECT_EQ(grid.cellBackground(1, 0), cyan);
    EXPECT_EQ(grid.cellBackground(2, 1), gold);
    addRows(grid, {"4"});
    EXPECT_EQ(grid.cellBackground(3, 0), base);
}

void expectBorders(const FlexGrid& grid, int row, int col, bool left, bool top, bool right,
                   bool bottom) {
    const FlexGrid::CellBorders b = grid.cellBorders(row, col);
    EXPECT_EQ(b.left, left) << "left of " << row << "," << col;
    EXPECT_EQ(b.top, top) << "top of " << row << "," << col;
    EXPECT_EQ(b.right, right) << "right of " << row << "," << col;
    EXPECT_EQ(b.bottom, bottom) << "bottom of " << row << "," << col;
}

TEST(FlexGrid, BordersOnWholeRowsAsDocumentsAreLoaded) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(4);
    const QRgb gray = qRgb(162, 162, 162);
    const auto addLine = [&](const char* id, bool firstLine) {
        grid.AddRow(QString::fromLatin1(id));
        grid.setCurrentRow(grid.RowCount() - 1);
        const int row = grid.CurrentRow();
        grid.SelectRange(row, 0, row, grid.ColCount() - 1);
        grid.SetRangeBorder(gray, 1, firstLine ? 1 : 0, 1, 0, 1, 0);
    };
    addLine("101", true);
    addLine("101", false);
    addLine("101", false);
    addLine("102", true);
    addLine("102", false);
    grid.AddRow(QString(3, kTab) + "total");
    grid.setCurrentRow(grid.RowCount() - 1);
    grid.SelectRange(6, 0, 6, 3);
    grid.SetRangeBorder(gray, 0, 1, 0, 0, 1, 0);

    expectBorders(grid, 1, 0, true, true, true, false);
    expectBorders(grid, 1, 3, true, true, true, false);
    expectBorders(grid, 2, 1, true, false, true, false);
    expectBorders(grid, 3, 2, true, false, true, true);  // the line above the next document
    expectBorders(grid, 4, 2, true, true, true, false);
    expectBorders(grid, 5, 0, true, false, true, true);
    expectBorders(grid, 6, 0, false, true, true, false);  // totals: no outer sides
    expectBorders(grid, 6, 3, true, true, false, false);
    expectBorders(grid, 0, 0, false, false, false, true);  // the header over row 1
    EXPECT_EQ(grid.cellBorders(4, 1).color, gray);

    // Removing a document's first line leaves its other lines without the line above.
    grid.RemoveRow(4);
    expectBorders(grid, 4, 1, true, false, true, true);
    expectBorders(grid, 3, 1, true, false, true, false);
}

TEST(FlexGrid, BordersOnMultiRowAndPartialBlocks) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(4);
    addRows(grid, {"a", "b", "c", "d"});
    const QRgb red = qRgb(200, 0, 0);

    grid.SelectRange(1, 0, 3, 3);
    grid.SetRangeBorder(red, 1, 1, 1, 1, 0, 1);
    for (int c = 0; c < 4; ++c) {
        expectBorders(grid, 1, c, c == 0, true, c == 3, true);
        expectBorders(grid, 2, c, c == 0, true, c == 3, true);
        expectBorders(grid, 3, c, c == 0, true, c == 3, true);
        expectBorders(grid, 4, c, false, true, false, false);
    }

    // A block of part of the rows: its left side is the right side of the cell next to it.
    grid.SelectRange(2, 1, 3, 2);
    grid.SetRangeBorder(red, 1, 0, 1, 0, 1, 0);
    expectBorders(grid, 2, 0, true, true, true, true);
    expectBorders(grid, 2, 1, true, false, true, false);
    expectBorders(grid, 3, 2, true, false, true, false);
    expectBorders(grid, 3, 3, true, true, true, true);
    expectBorders(grid, 1, 1, false, true, false, false);  // above the block: bottom removed
    expectBorders(grid, 4, 2, false, false, false, false);

    // Zeros take away what the same operation drew.
    grid.SelectRange(1, 0, 4, 3);
    grid.SetRangeBorder(red, 0, 0, 0, 0, 0, 0);
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c < 4; ++c) expectBorders(grid, r, c, false, false, false, false);

    // A block that reaches into the header row draws on the data rows only.
    grid.SelectRange(0, 0, 1, 3);
    grid.SetRangeBorder(red, 0, 1, 0, 0, 0, 1);
    expectBorders(grid, 1, 0, false, true, false, false);
}

TEST(FlexGrid, ColumnWidthsInTwips) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(3);
    EXPECT_EQ(grid.ColWidth(0), 1000);
    EXPECT_EQ(grid.horizontalHeader()->sectionSize(0), FlexGrid::twipsToPixelsX(1000));

    grid.setColWidth(1, 1234);
    EXPECT_EQ(grid.ColWidth(1), 1234);
    EXPECT_EQ(grid.horizontalHeader()->sectionSize(1), FlexGrid::twipsToPixelsX(1234));
    grid.setColWidth(1, 1000);
    EXPECT_EQ(grid.ColWidth(1), 1000);
    grid.setColWidth(1, 0);
    EXPECT_EQ(grid.ColWidth(1), 0);
    grid.setColWidth(1, -1);
    EXPECT_EQ(grid.ColWidth(1), 1000);
    EXPECT_EQ(raisedBy([&] { grid.setColWidth(1, -5); }).number(),
              RuntimeErrorNumber::InvalidProcedureCall);

    // A width the user drags is read in twips.
    grid.horizontalHeader()->resizeSection(2, 100);
    EXPECT_EQ(grid.ColWidth(2), FlexGrid::pixelsToTwipsX(100));

    // A hidden column keeps its width, and shows with it again.
    grid.setColWidth(0, 900);
    grid.setColHidden(0, true);
    EXPECT_EQ(grid.ColWidth(0), 900);
    grid.setColWidth(0, 1500);
    grid.setColHidden(0, false);
    EXPECT_EQ(grid.ColWidth(0), 1500);
    EXPECT_EQ(grid.horizontalHeader()->sectionSize(0), FlexGrid::twipsToPixelsX(1500));

    EXPECT_EQ(FlexGrid::twipsToPixelsX(1440),
              qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchX()));
}

TEST(FlexGrid, RemovedRowsShiftTheRowsBelowUp) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(2);
    addRows(grid, {"a|1", "b|2", "c|3", "d|4"});
    QCoreApplication::processEvents();
    grid.setCurrentRow(4);

    grid.RemoveRow(2);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"a", "1"}));
    EXPECT_EQ(rowTexts(grid, 2), (QStringList{"c", "3"}));
    EXPECT_EQ(rowTexts(grid, 3), (QStringList{"d", "4"}));
    EXPECT_EQ(grid.CurrentRow(), 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->index(1, 0).data().toString(), QStringLiteral("c"));

    grid.RemoveRow(3);
    EXPECT_EQ(grid.CurrentRow(), 2);
    grid.RemoveRow(1);
    grid.RemoveRow(1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.CurrentRow(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), 0);
}

TEST(FlexGrid, AdjacentRemovalsReachTheModelInOneRemoval) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(1);
    for (int i = 1; i <= 10; ++i) grid.AddRow(QString::number(i));
    QCoreApplication::processEvents();
    QSignalSpy removed(grid.model(), &QAbstractItemModel::rowsRemoved);

    for (int row = 6; row >= 4; --row) grid.RemoveRow(row);  // one document, bottom up
    grid.RemoveRow(4);                                       // the row that moved up next to them
    EXPECT_EQ(rowTexts(grid, 4), QStringList{"8"});
    // Until the views are told, the model still counts the removed rows and shows them empty.
    EXPECT_EQ(grid.model()->rowCount(), 10);
    EXPECT_EQ(grid.model()->index(2, 0).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(grid.model()->index(4, 0).data().toString(), QString());
    EXPECT_EQ(grid.model()->index(7, 0).data().toString(), QStringLiteral("8"));

    grid.RemoveRow(1);  // not adjacent: the earlier removals are announced first
    QCoreApplication::processEvents();
    ASSERT_EQ(removed.size(), 2);
    EXPECT_EQ(removed[0][1].toInt(), 3);
    EXPECT_EQ(removed[0][2].toInt(), 6);
    EXPECT_EQ(removed[1][1].toInt(), 0);
    EXPECT_EQ(removed[1][2].toInt(), 0);
    EXPECT_EQ(grid.model()->rowCount(), 5);
    QStringList shown;
    for (int r = 0; r < 5; ++r) shown << grid.model()->index(r, 0).data().toString();
    EXPECT_EQ(shown, (QStringList{"2", "3", "8", "9", "10"}));
}

TEST(FlexGrid, CurrentRowAndSelectedBlockReachTheViewOnce) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(3);
    grid.setColHidden(0, true);
    addRows(grid, {"a", "b", "c", "d"});
    EXPECT_EQ(grid.CurrentRow(), 0);

    grid.setCurrentRow(2);
    EXPECT_EQ(grid.CurrentRow(), 2);
    grid.SelectRange(3, 0, 4, 2);
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_FALSE(grid.selectionModel()->hasSelection());  // not yet: the view follows later
    QCoreApplication::processEvents();

    const QItemSelectionModel& selection = *grid.selectionModel();
    EXPECT_EQ(selection.currentIndex().row(), 2);
    EXPECT_EQ(selection.currentIndex().column(), 1);  // column 0 is hidden
    EXPECT_TRUE(selection.isRowSelected(2, {}));
    EXPECT_TRUE(selection.isRowSelected(3, {}));
    EXPECT_FALSE(selection.isRowSelected(1, {}));

    grid.SelectRange(0, 0, 1, 2);  // the header row is not selected in the view
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.CurrentRow(), 0);
    EXPECT_FALSE(selection.currentIndex().isValid());
    EXPECT_TRUE(selection.isRowSelected(0, {}));
    EXPECT_EQ(selection.selectedIndexes().size(), 3);

    grid.setCurrentRow(0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(selection.hasSelection());
}

TEST(FlexGrid, TheUsersClickMovesTheCurrentRowAndReportsTheButton) {
    FlexGrid grid(QStringLiteral("vsf1"));
    ASSERT_TRUE(shownOnScreen(grid, 400, 300));
    grid.setColCount(2);
    addRows(grid, {"a", "b", "c"});
    QCoreApplication::processEvents();
    QSignalSpy buttons(&grid, &FlexGrid::mouseButtonDown);

    const QRect cell = grid.visualRect(grid.model()->index(1, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, cell.center());
    EXPECT_EQ(grid.CurrentRow(), 2);
    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::ControlModifier,
                      grid.visualRect(grid.model()->index(2, 0)).center());
    EXPECT_EQ(grid.CurrentRow(), 3);

    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0][0].toInt(), 1);
    EXPECT_EQ(buttons[0][1].toInt(), 1);
    EXPECT_EQ(buttons[0][2].toInt(), FlexGrid::pixelsToTwipsX(cell.center().x()));
    EXPECT_EQ(buttons[0][3].toInt(), FlexGrid::pixelsToTwipsY(cell.center().y()));
    EXPECT_EQ(buttons[1][0].toInt(), 2);
    EXPECT_EQ(buttons[1][1].toInt(), 2);

    // A block that the user selects is the block that borders are drawn on.
    grid.SetRangeBorder(qRgb(1, 2, 3), 0, 1, 0, 0, 0, 0);
    EXPECT_TRUE(grid.cellBorders(3, 0).top);
    EXPECT_FALSE(grid.cellBorders(2, 0).top);
}

TEST(FlexGrid, HiddenColumnsKeepTheirValues) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(4);
    for (int c = 0; c < 3; ++c) grid.setColHidden(c, true);
    addRows(grid, {"101|1|FP-1|shown"});
    grid.setCellProperty(FlexGrid::kSelectorText, 1, 1, QStringLiteral("2"));

    EXPECT_TRUE(grid.ColHidden(0));
    EXPECT_FALSE(grid.ColHidden(3));
    EXPECT_TRUE(grid.isColumnHidden(2));
    EXPECT_EQ(rowTexts(grid, 1), (QStringList{"101", "2", "FP-1", "shown"}));
    grid.setColHidden(1, false);
    EXPECT_FALSE(grid.isColumnHidden(1));
    EXPECT_EQ(grid.cellText(1, 1), QStringLiteral("2"));
}

TEST(FlexGrid, ColumnFormatChangesWhatIsShownNotWhatIsStored) {
    test::ScopedDefaultLocale locale(kEnglishUS);
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(3);
    grid.setCellProperty(FlexGrid::kSelectorText, 0, 1, QStringLiteral("1234.5"));
    addRows(grid, {"x|1234.5|2024-03-05 10:00:00", "y|n/a|"});
    grid.setColFormat(1, QStringLiteral("#,##0.00"));
    grid.setColFormat(2, QStringLiteral("yyyy-mm-dd"));
    QCoreApplication::processEvents();

    EXPECT_EQ(grid.ColFormat(1), QStringLiteral("#,##0.00"));
    EXPECT_EQ(grid.displayText(1, 1), QStringLiteral("1,234.50"));
    EXPECT_EQ(grid.cellText(1, 1), QStringLiteral("1234.5"));
    EXPECT_EQ(grid.displayText(1, 2), QStringLiteral("2024-03-05"));
    EXPECT_EQ(grid.displayText(2, 1), QStringLiteral("n/a"));
    EXPECT_EQ(grid.displayText(2, 2), QString());
    EXPECT_EQ(grid.displayText(0, 1), QStringLiteral("1234.5"));  // header texts unformatted
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("1,234.50"));
    EXPECT_EQ(grid.ColFormat(0), QString());
}

TEST(FlexGrid, AppendedRowsReachTheModelInOneInsertion) {
    FlexGrid grid(QStringLiteral("vsf1"));
    grid.setColCount(3);
    QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 1000; ++i) {
        grid.AddRow(QStringLiteral("%1\t%2\tx").arg(i).arg(i * 2));
        grid.setCurrentRow(grid.RowCount() - 1);
        grid.SelectRange(grid.CurrentRow(), 0, grid.CurrentRow(), 2);
        grid.setCellProperty(FlexGrid::kSelectorBackColor, grid.CurrentRow(), 0, grid.CurrentRow(),
                             2, qRgb(255, 255, 240));
    }
    EXPECT_EQ(grid.RowCount(), 1001);
    EXPECT_EQ(grid.cellText(1000, 1), QStringLiteral("1998"));
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(inserted.size(), 0);

    QCoreApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), 1000);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 999);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(999, {}));
    EXPECT_EQ(grid.model()->index(999, 1).data().toString(), QStringLiteral("1998"));

    // Rows that the view has not seen yet go without a notification of their own.
    grid.AddRow(QStringLiteral("late"));
    grid.RemoveRow(1001);
    QCoreApplication::processEvents();
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(grid.model()->rowCount(), 1000);
}

TEST(FlexGrid, PaintsRowColoursBordersAndTheSelectionWash) {
    FlexGrid grid(QStringLiteral("vsf1"));
    ASSERT_TRUE(shownOnScreen(grid, 400, 200));
    grid.setColCount(3);
    addRows(grid, {"a", "b", "c"});
    const QRgb cream = qRgb(255, 255, 200), gray = qRgb(162, 162, 162);
    const QRgb accent = qRgb(174, 198, 230);
    grid.setCellProperty(FlexGrid::kSelectorBackColor, 2, 0, 3, 2, cream);
    grid.SelectRange(2, 0, 2, 2);
    grid.SetRangeBorder(gray, 1, 1, 1, 0, 1, 0);
    grid.SelectRange(3, 0, 3, 2);
    grid.setAccentColor(accent);
    EXPECT_EQ(grid.AccentColor(), accent);
    QCoreApplication::processEvents();

    const QImage image = grid.viewport()->grab().toImage();
    const auto cellRect = [&](int row, int col) {
        return grid.visualRect(grid.model()->index(row - 1, col));
    };
    const auto insideRight = [](const QRect& cell) {
        return QPoint(cell.right() - 4, cell.center().y());
    };
    const QRect plain = cellRect(1, 2), coloured = cellRect(2, 2), selected = cellRect(3, 2);
    EXPECT_EQ(image.pixel(insideRight(coloured)), cream);
    // The line above lies on the last pixel row of the row above, where its grid line would be.
    EXPECT_EQ(image.pixel(coloured.center().x(), coloured.top() - 1), gray);
    EXPECT_EQ(image.pixel(coloured.right(), coloured.center().y()), gray);
    EXPECT_EQ(image.pixel(insideRight(plain)), grid.cellBackground(1, 2));
    EXPECT_NE(image.pixel(plain.right(), plain.center().y()), gray);  // a plain grid line

    // The selection washes the row colour with the accent colour; both still show.
    const QColor wash = QColor::fromRgb(image.pixel(insideRight(selected)));
    EXPECT_GT(wash.blue(), 200);
    EXPECT_LT(wash.blue(), 230);
    EXPECT_GT(wash.red(), 174);
    EXPECT_LT(wash.red(), 255);
}

}  // namespace
}  // namespace xhook
