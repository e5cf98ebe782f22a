#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <optional>

#include "component/SharedState.h"
#include "foundation/Errors.h"
#include "foundation/Messages.h"
#include "tests/support/ReconcileTestSupport.h"
#include "window/BusyCursor.h"
#include "window/EventBoundary.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"
#include "window/ToolbarIcons.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// The application's override cursor now; nullopt when there is none.
std::optional<Qt::CursorShape> overrideCursor() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? std::optional<Qt::CursorShape>(cursor->shape()) : std::nullopt;
}

// Records the override cursor at the moment each message is shown.
class CursorAtMessage : public MessageSink {
  public:
    void show(const QString& text, int, const std::optional<QString>&) override {
        texts << text;
        cursors << overrideCursor();
    }
    QStringList texts;
    QList<std::optional<Qt::CursorShape>> cursors;
};

TEST(BusyCursor, IsShownWhileAStepRunsAndGoneAfterItAlsoWhenTheStepFails) {
    CursorAtMessage messages;
    const ScopedMessageSink sink(&messages);
    ASSERT_EQ(overrideCursor(), std::nullopt);

    std::optional<Qt::CursorShape> during;
    EXPECT_TRUE(runWindowStep([&] { during = overrideCursor(); }));
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(overrideCursor(), std::nullopt);

    EXPECT_FALSE(runWindowStep([&] {
        during = overrideCursor();
        raiseOverflow(QStringLiteral("row count"));
    }));
    EXPECT_EQ(during, Qt::WaitCursor);
    ASSERT_EQ(messages.cursors.size(), 1);
    EXPECT_EQ(messages.cursors[0], std::nullopt) << "the error is reported with the normal cursor";
    EXPECT_EQ(overrideCursor(), std::nullopt);

    // Nested guards: the inner one's end leaves the outer one's busy cursor.
    {
        const BusyCursor outer;
        { const BusyCursor inner; }
        EXPECT_EQ(overrideCursor(), Qt::WaitCursor);
    }
    EXPECT_EQ(overrideCursor(), std::nullopt);
}

TEST(BusyCursor, ADialogThatWaitsForTheUserGetsTheArrow) {
    std::optional<Qt::CursorShape> whileDialog, afterDialog;
    EXPECT_TRUE(runWindowStep([&] {
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [&] {
            whileDialog = overrideCursor();
            dialog.accept();
        });
        dialog.exec();
        afterDialog = overrideCursor();
    }));
    EXPECT_EQ(whileDialog, Qt::ArrowCursor);
    EXPECT_EQ(afterDialog, Qt::WaitCursor) << "busy again for the rest of the step";
    EXPECT_EQ(overrideCursor(), std::nullopt);
}

// The window over the demo database: invoice 1001 in vsf1, outbound document 5001 in vsf2.
class WindowDesktop : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        loadWindow("1001", "5001");
        HookForm& f = form();
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    }
    void TearDown() override {
        if (QMenu* menu = form().lastContextMenu()) menu->close();
        DemoDatabaseFixture::TearDown();
    }
    // The menu that the context-menu key opens on `grid`: the request that the windowing system
    // turns the key into (the offscreen platform has no such key, so it is sent here).
    QMenu* pressContextMenuKey(FlexGrid* grid) {
        grid->setFocus();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(0, 0),
                                  grid->mapToGlobal(QPoint(0, 0)));
        QCoreApplication::sendEvent(grid, &request);
        return form().lastContextMenu();
    }
};

TEST_F(WindowDesktop, AReconciliationRunsUnderTheBusyCursor) {
    CursorAtMessage cursors;
    const ScopedMessageSink sink(&cursors);
    form().MenuBillHook1->trigger();
    ASSERT_EQ(cursors.cursors.size(), 1) << cursors.texts.join('|').toStdString();
    EXPECT_EQ(cursors.texts[0], QStringLiteral("钩稽成功!"));
    EXPECT_EQ(cursors.cursors[0], Qt::WaitCursor) << "busy while the command was running";
    EXPECT_EQ(overrideCursor(), std::nullopt);

    // A load that fails to open its connection passes out of find1 with the cursor restored.
    shared().DBConnectionString = "Provider=SQLite;Data Source=" + dir.file("absent/none.db");
    EXPECT_THROW(window.find1(), ComponentError);
    EXPECT_EQ(overrideCursor(), std::nullopt);
}

TEST_F(WindowDesktop, TheContextMenuKeyOpensTheGridsMenuAtTheCurrentCell) {
    HookForm& f = form();
    f.vsf1->setCurrentRow(2);
    QCoreApplication::processEvents();
    QMenu* menu = pressContextMenuKey(f.vsf1);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions(), QList<QAction*>({f.MenuSaleBillRemove}));
    EXPECT_EQ(menu->activeAction(), f.MenuSaleBillRemove) << "ready for Enter";
    const QRect cell = f.vsf1->visualRect(f.vsf1->currentIndex());
    ASSERT_TRUE(cell.isValid());
    const QPoint expected = f.vsf1->viewport()->mapToGlobal(QPoint(cell.left(), cell.bottom()));
    EXPECT_LE((menu->pos() - expected).manhattanLength(), 2)
        << "menu at " << menu->pos().x() << "," << menu->pos().y() << ", cell at " << expected.x()
        << "," << expected.y();
    menu->close();

    menu = pressContextMenuKey(f.vsf2);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions(), QList<QAction*>({f.MenuXOutFind, f.MenuSaleBillOutRemove}));
    EXPECT_EQ(f.activeControlName(), QStringLiteral("vsf2"));
    menu->close();

    // A mouse's context-menu request is not a second way in: the right button has its own.
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5));
    QCoreApplication::sendEvent(f.vsf1, &mouse);
    EXPECT_EQ(f.lastContextMenu(), nullptr);
}

TEST_F(WindowDesktop, EveryCommandIsReachableFromTheKeyboard) {
    HookForm& f = form();
    // Each menu of the bar has an access key of its own.
    QSet<QString> accessKeys;
    for (QMenu* menu : {f.MenuFile, f.MenuBillHook, f.MenuXOut, f.MenuSale}) {
        const QKeySequence key = QKeySequence::mnemonic(menu->title());
        EXPECT_FALSE(key.isEmpty()) << menu->objectName().toStdString() << " has no access key";
        accessKeys.insert(key.toString());
    }
    EXPECT_EQ(accessKeys.size(), 4) << "two menus share an access key";

    // Alt and the access key open the menu; the arrow keys reach each item; Enter runs it.
    f.vsf2->setFocus();
    for (QMenu* menu : {f.MenuFile, f.MenuBillHook, f.MenuXOut, f.MenuSale}) {
        const QList<QAction*> items = menu->actions();
        for (int position = 0; position < items.size(); ++position) {
            QTest::keyClick(&f, QKeySequence::mnemonic(menu->title())[0].key(), Qt::AltModifier);
            ASSERT_EQ(QApplication::activePopupWidget(), menu) << menu->objectName().toStdString();
            for (int step = 0; step < position; ++step) QTest::keyClick(menu, Qt::Key_Down);
            EXPECT_EQ(menu->activeAction(), items[position])
                << items[position]->objectName().toStdString();
            QTest::keyClick(menu, Qt::Key_Escape);
            if (QApplication::activePopupWidget()) QTest::keyClick(f.menuBar(), Qt::Key_Escape);
        }
    }
    QTest::keyClick(&f, Qt::Key_X, Qt::AltModifier);
    QSignalSpy removal(f.MenuSaleBillOutRemove, &QAction::triggered);
    QTest::keyClick(f.MenuXOut, Qt::Key_Down);
    QTest::keyClick(f.MenuXOut, Qt::Key_Return);
    EXPECT_EQ(removal.count(), 1) << "Enter runs the chosen item";
}

TEST_F(WindowDesktop, TheGridsTakeTheArrowKeysAndTabMovesOn) {
    HookForm& f = form();
    f.vsf1->setFocus();
    f.vsf1->setCurrentRow(1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.vsf1->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(f.vsf1, Qt::Key_Down);
    EXPECT_EQ(f.vsf1->CurrentRow(), 2);
    QTest::keyClick(f.vsf1, Qt::Key_Up);
    EXPECT_EQ(f.vsf1->CurrentRow(), 1);
    QTest::keyClick(f.vsf1, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(f.vsf1->CurrentRow(), f.vsf1->RowCount() - 1);

    QTest::keyClick(f.vsf1, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), f.vsf1) << "Tab leaves the grid";
    EXPECT_EQ(f.vsf1->CurrentRow(), f.vsf1->RowCount() - 1) << "and does not move its row";
}

TEST(ToolbarIconsAtTwoTimes, EveryIconHasAPixmapDrawnForEachPixelRatio) {
    for (const QString& key : ToolbarIcons::keys()) {
        const QIcon icon = ToolbarIcons::icon(key);
        for (int ratio : {1, 2}) {
            const QPixmap pixmap = icon.pixmap(QSize(16, 16), ratio);
            EXPECT_EQ(pixmap.size(), QSize(16 * ratio, 16 * ratio)) << key.toStdString();
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio) << key.toStdString();
            EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32),
                      ToolbarIcons::image(key, 16 * ratio))
                << key.toStdString() << " at " << ratio << "x is not the image drawn for it";
        }
    }
}

TEST_F(WindowDesktop, TheToolbarShowsTheTwoTimesImagesOnATwoTimesScreen) {
    const QAction* check = form().toolbarButton(QStringLiteral("Check"));
    ASSERT_NE(check, nullptr);
    const QPixmap sharp = check->icon().pixmap(form().Toolbar1->iconSize(), 2.0);
    EXPECT_EQ(sharp.toImage().convertToFormat(QImage::Format_ARGB32),
              ToolbarIcons::image(QStringLiteral("Check"), 32));
}

}  // namespace
