#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <QToolBar>

#include "tests/support/ReconcileTestSupport.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

QString accessibleText(QObject* object, QAccessible::Text text) {
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(object);
    return interface ? interface->text(text) : QStringLiteral("(no interface)");
}

QAccessibleTableInterface* tableOf(FlexGrid* grid) {
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(grid);
    return interface ? interface->tableInterface() : nullptr;
}

// The grid's columns that the user sees, in order.
QList<int> shownColumns(const FlexGrid& grid) {
    QList<int> columns;
    for (int c = 0; c < grid.ColCount(); ++c)
        if (!grid.ColHidden(c)) columns.append(c);
    return columns;
}

QString onlyHeaderName(const QList<QAccessibleInterface*>& headers) {
    return headers.size() == 1 ? headers[0]->text(QAccessible::Name) : QStringLiteral("(none)");
}

class Accessibility : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        loadWindow("1001,1002", "5001");
        QCoreApplication::processEvents();  // the views learn of the loaded rows
    }
    struct Grid {
        FlexGrid* grid;
        QString name;
    };
    QList<Grid> grids() { return {Grid{form().vsf1, "销售发票"}, Grid{form().vsf2, "销售出库单"}}; }
};

TEST_F(Accessibility, GridsAreAnnouncedByTheirTabsCaptionsWithTheirHeaders) {
    for (const Grid& g : grids()) {
        SCOPED_TRACE(g.name.toStdString());
        EXPECT_EQ(accessibleText(g.grid, QAccessible::Name), g.name);
        EXPECT_FALSE(accessibleText(g.grid, QAccessible::Description).isEmpty());
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(g.grid);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->role(), QAccessible::Table);
        QAccessibleTableInterface* table = grid->tableInterface();
        ASSERT_NE(table, nullptr);
        // The first data cell is the first visible column's: its header names it.
        QAccessibleInterface* cell = table->cellAt(0, 0);
        ASSERT_NE(cell, nullptr);
        QAccessibleTableCellInterface* cellInterface = cell->tableCellInterface();
        ASSERT_NE(cellInterface, nullptr);
        EXPECT_EQ(onlyHeaderName(cellInterface->columnHeaderCells()), g.grid->cellText(0, 3));
        EXPECT_EQ(cell->text(QAccessible::Name), g.grid->displayText(1, 3));
        EXPECT_EQ(table->columnDescription(0), g.grid->cellText(0, 3));
    }
}

// The hidden key columns (finterid, fentryid, fbillno) are not read out: the table has the
// visible columns only, with their header texts, and cells as displayed.
TEST_F(Accessibility, AScreenReaderCountsOnlyTheColumnsShown) {
    for (const Grid& g : grids()) {
        SCOPED_TRACE(g.name.toStdString());
        QAccessibleTableInterface* table = tableOf(g.grid);
        ASSERT_NE(table, nullptr);
        const QList<int> shown = shownColumns(*g.grid);
        ASSERT_EQ(shown.size(), g.grid->ColCount() - 3);
        ASSERT_EQ(table->columnCount(), shown.size());
        EXPECT_EQ(table->rowCount(), g.grid->RowCount() - 1);
        for (int c = 0; c < shown.size(); ++c) {
            SCOPED_TRACE(c);
            EXPECT_EQ(table->columnDescription(c), g.grid->cellText(0, shown[c]));
            QAccessibleInterface* cell = table->cellAt(0, c);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->text(QAccessible::Name), g.grid->displayText(1, shown[c]));
            EXPECT_EQ(cell->tableCellInterface()->columnIndex(), c);
            EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 0);
            EXPECT_EQ(onlyHeaderName(cell->tableCellInterface()->columnHeaderCells()),
                      g.grid->cellText(0, shown[c]));
        }
        EXPECT_EQ(table->cellAt(0, shown.size()), nullptr);
    }
    EXPECT_EQ(tableOf(form().vsf1)->columnDescription(0), "发票号码");
    EXPECT_EQ(tableOf(form().vsf1)->cellAt(0, 0)->text(QAccessible::Name), "XSFP000001");
}

// Each row is named by the number of its document (the hidden fbillno), also on the document's
// further lines, whose number column is empty; the totals row by its label.
TEST_F(Accessibility, RowsAreNamedByTheirDocumentsNumberAndTheTotalsRowByItsLabel) {
    for (const Grid& g : grids()) {
        SCOPED_TRACE(g.name.toStdString());
        QAccessibleTableInterface* table = tableOf(g.grid);
        ASSERT_NE(table, nullptr);
        const int lastRow = table->rowCount() - 1;
        ASSERT_GE(lastRow, 2);
        for (int r = 0; r <= lastRow; ++r) {
            SCOPED_TRACE(r);
            const QString name = r < lastRow ? g.grid->cellText(r + 1, 2) : QStringLiteral("合计");
            EXPECT_FALSE(name.isEmpty());
            EXPECT_EQ(table->rowDescription(r), name);
            const QList<QAccessibleInterface*> headers =
                table->cellAt(r, 1)->tableCellInterface()->rowHeaderCells();
            ASSERT_EQ(headers.size(), 1);
            EXPECT_EQ(headers[0]->role(), QAccessible::RowHeader);
            EXPECT_EQ(headers[0]->text(QAccessible::Name), name);
        }
    }
    QAccessibleTableInterface* invoices = tableOf(form().vsf1);
    EXPECT_EQ(invoices->rowDescription(1), "XSFP000001");
    EXPECT_TRUE(invoices->cellAt(1, 0)->text(QAccessible::Name).isEmpty()) << "a further line";
    EXPECT_EQ(invoices->rowDescription(2), "XSFP000002");
}

TEST_F(Accessibility, AColumnHiddenOrShownAgainLeavesOrJoinsTheTable) {
    FlexGrid* grid = form().vsf1;
    QAccessibleTableInterface* table = tableOf(grid);
    const int shown = table->columnCount();
    grid->setColHidden(4, true);
    EXPECT_EQ(table->columnCount(), shown - 1);
    EXPECT_EQ(table->columnDescription(0), grid->cellText(0, 3));
    EXPECT_EQ(table->columnDescription(1), grid->cellText(0, 5));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), grid->displayText(1, 5));
    grid->setColHidden(0, false);
    EXPECT_EQ(table->columnCount(), shown);
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), "1001");
}

// The children are the shown columns' headers, then the cells row by row; every child knows its
// place.
TEST_F(Accessibility, TheChildrenAreTheHeadersThenTheCellsRowByRow) {
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(form().vsf1);
    QAccessibleTableInterface* table = grid->tableInterface();
    const int columns = table->columnCount();
    ASSERT_EQ(grid->childCount(), (table->rowCount() + 1) * columns);
    for (int i = 0; i < grid->childCount(); ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* child = grid->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(grid->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), grid);
        if (i < columns) {
            EXPECT_EQ(child->role(), QAccessible::ColumnHeader);
            EXPECT_EQ(child->text(QAccessible::Name), table->columnDescription(i));
        } else {
            EXPECT_EQ(child, table->cellAt(i / columns - 1, i % columns));
        }
    }
    EXPECT_EQ(grid->child(grid->childCount()), nullptr);
}

TEST_F(Accessibility, TheSelectedRowsAreTheGridsSelectedRows) {
    FlexGrid* grid = form().vsf1;
    grid->SelectRange(1, 0, 2, grid->ColCount() - 1);
    QCoreApplication::processEvents();
    QAccessibleTableInterface* table = tableOf(grid);
    EXPECT_EQ(table->selectedRows(), (QList<int>{0, 1}));
    EXPECT_EQ(table->selectedCellCount(), 2 * table->columnCount());
    EXPECT_TRUE(table->cellAt(1, 0)->tableCellInterface()->isSelected());
    EXPECT_FALSE(table->isRowSelected(2));
    EXPECT_TRUE(table->selectRow(2));
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->CurrentRow(), 1) << "the cursor stays where it was";
    EXPECT_EQ(grid->selectedBlock().row1, 3);
    EXPECT_EQ(grid->selectedBlock().row2, 3);
}

// The focus within the table is the cell under the cursor, in the table's own numbering.
TEST_F(Accessibility, TheFocusIsTheCellUnderTheCursor) {
    FlexGrid* grid = form().vsf1;
    grid->setCurrentRow(1);
    QCoreApplication::processEvents();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(table->focusChild(), table->tableInterface()->cellAt(1, 0));
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(table->focusChild(), table->tableInterface()->cellAt(1, 1));
    EXPECT_EQ(table->focusChild()->text(QAccessible::Name), grid->displayText(2, 4));
    EXPECT_TRUE(table->focusChild()->state().focused);
}

TEST_F(Accessibility, ToolbarButtonsAreAnnouncedByTheirCaptionsWithWhatTheyDo) {
    HookForm& f = form();
    EXPECT_EQ(accessibleText(f.Toolbar1, QAccessible::Name), "工具栏");
    int buttons = 0;
    for (QAction* action : f.Toolbar1->actions()) {
        if (action->isSeparator()) continue;
        ++buttons;
        QWidget* button = f.Toolbar1->widgetForAction(action);
        ASSERT_NE(button, nullptr);
        SCOPED_TRACE(action->text().toStdString());
        EXPECT_EQ(accessibleText(button, QAccessible::Name), action->text());
        EXPECT_FALSE(accessibleText(button, QAccessible::Description).isEmpty());
    }
    EXPECT_EQ(buttons, 10);
    EXPECT_EQ(accessibleText(f.Toolbar1->widgetForAction(f.toolbarButton("Check")),
                             QAccessible::Description),
              "将所列销售发票与所列销售出库单钩稽");
}

}  // namespace
