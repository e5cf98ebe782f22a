#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QCoreApplication>
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

using Accessibility = DemoDatabaseFixture;

TEST_F(Accessibility, GridsAreAnnouncedByTheirTabsCaptionsWithTheirHeaders) {
    loadWindow("1001", "5001");
    QCoreApplication::processEvents();  // the views learn of the loaded rows
    struct Case {
        FlexGrid* grid;
        QString name;
    };
    for (const Case& c : {Case{form().vsf1, "销售发票"}, Case{form().vsf2, "销售出库单"}}) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(accessibleText(c.grid, QAccessible::Name), c.name);
        EXPECT_FALSE(accessibleText(c.grid, QAccessible::Description).isEmpty());
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(c.grid);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->role(), QAccessible::Table);
        QAccessibleTableInterface* table = grid->tableInterface();
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->columnCount(), c.grid->ColCount());
        // A data cell of the first visible column names its column's and its row's headers.
        const int col = 3;
        QAccessibleInterface* cell = table->cellAt(0, col);
        ASSERT_NE(cell, nullptr);
        QAccessibleTableCellInterface* cellInterface = cell->tableCellInterface();
        ASSERT_NE(cellInterface, nullptr);
        const QList<QAccessibleInterface*> columnHeaders = cellInterface->columnHeaderCells();
        ASSERT_EQ(columnHeaders.size(), 1);
        EXPECT_EQ(columnHeaders[0]->text(QAccessible::Name), c.grid->cellText(0, col));
        EXPECT_EQ(cell->text(QAccessible::Name), c.grid->displayText(1, col));
        EXPECT_EQ(table->columnDescription(col), c.grid->cellText(0, col));
        EXPECT_EQ(table->rowDescription(0), "1") << "data row 1 of the grid";
    }
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
