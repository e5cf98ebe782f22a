#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>

#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "window/Commands.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;

namespace {

// The header row gets texts of its own, so that a change to it shows.
void fillGrid(FlexGrid& grid, const QStringList& lineIds) {
    test::fillDocumentGrid(grid, lineIds);
    for (int c = 0; c < grid.ColCount(); ++c)
        grid.setCellProperty(FlexGrid::kSelectorText, 0, c, QString("H%1").arg(c));
}

QStringList column0(const FlexGrid& grid) {
    QStringList ids;
    for (int r = 1; r < grid.RowCount() - 1; ++r) ids.append(grid.cellText(r, 0));
    return ids;
}

QString rowText(const FlexGrid& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.ColCount(); ++c) cells.append(grid.cellText(row, c));
    return cells.join('\t');
}

QString lastRow(const FlexGrid& grid) {
    return rowText(grid, grid.RowCount() - 1);
}

class RowRemovalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = new HookForm;
        form_->setAttribute(Qt::WA_DeleteOnClose, false);
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
    }
    void TearDown() override { delete form_; }

    void focus(FlexGrid* grid) {
        grid->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        ASSERT_EQ(form_->activeControlName(), grid->Name());
    }

    test::RecordingMessages messages_;  // the activation's layout loads report here
    HookForm* form_ = nullptr;
};

TEST_F(RowRemovalTest, RemovesEveryLineOfTheCurrentDocumentFromTheBottomUp) {
    FlexGrid& grid = *form_->vsf1;
    fillGrid(grid, {"11", "12", "11", "13", "13", "13", "013", "14"});
    const QString totals = lastRow(grid);
    focus(form_->vsf1);
    // Three adjacent lines go together: a pass from the top down would skip one of them.
    grid.setCurrentRow(5);
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(column0(grid), QStringList({"11", "12", "11", "013", "14"}));
    EXPECT_EQ(lastRow(grid), totals);
    EXPECT_EQ(rowText(grid, 0), "H0\tH1\tH2\tH3\tH4");

    // Lines of one document that are not adjacent all go.
    grid.setCurrentRow(3);
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(column0(grid), QStringList({"12", "013", "14"}));
    EXPECT_EQ(lastRow(grid), totals);
}

TEST_F(RowRemovalTest, DoesNothingWithoutADocumentLineUnderTheCursor) {
    FlexGrid& grid = *form_->vsf1;
    focus(form_->vsf1);
    const QStringList ids = {"21", "22", "21"};

    fillGrid(grid, ids);
    const QString totals = lastRow(grid);
    grid.setCurrentRow(0);  // the header
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(column0(grid), ids);

    grid.setCurrentRow(grid.RowCount() - 1);  // the totals row: its empty id matches no line
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(column0(grid), ids);
    EXPECT_EQ(lastRow(grid), totals);

    grid.setRowCount(1);  // the header alone
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(grid.RowCount(), 1);
}

TEST_F(RowRemovalTest, EachCommandIsIdleWhileTheOtherGridHasTheFocus) {
    fillGrid(*form_->vsf1, {"31", "32"});
    fillGrid(*form_->vsf2, {"41", "42"});
    const QString totals1 = lastRow(*form_->vsf1), totals2 = lastRow(*form_->vsf2);
    form_->vsf1->setCurrentRow(1);
    form_->vsf2->setCurrentRow(2);

    focus(form_->vsf2);
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(column0(*form_->vsf1), QStringList({"31", "32"}));
    MenuSaleBillOutRemove_Click(*form_);
    EXPECT_EQ(column0(*form_->vsf2), QStringList({"41"}));

    focus(form_->vsf1);
    MenuSaleBillOutRemove_Click(*form_);
    EXPECT_EQ(column0(*form_->vsf2), QStringList({"41"}));
    MenuSaleBillRemove_Click(*form_);
    EXPECT_EQ(column0(*form_->vsf1), QStringList({"32"}));
    EXPECT_EQ(lastRow(*form_->vsf1), totals1);
    EXPECT_EQ(lastRow(*form_->vsf2), totals2);
}

}  // namespace
