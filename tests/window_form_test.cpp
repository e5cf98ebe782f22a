#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <stdexcept>

#include "component/HookWindow.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "foundation/Errors.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/EventBoundary.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"
#include "window/ToolbarIcons.h"

using namespace xhook;
using xhook::test::RecordingMessages;

namespace {

const QString kTitle = QStringLiteral("测试进销存");

void discardClosedForms() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void sendWindowEvent(QWidget* form, QEvent::Type type) {
    QEvent event(type);
    QCoreApplication::sendEvent(form, &event);
}

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << action->text();
    return texts;
}

// The window over a host database that cannot be opened: every database step fails at once.
class WindowForm : public ::testing::Test {
  protected:
    void SetUp() override {
        shared().gConnection.reset();
        shared().msgTitle = kTitle;
        shared().gInvoiceIds.clear();
        shared().gOutboundIds.clear();
        shared().DBConnectionString = "Provider=SQLite;Data Source=" + dir.file("absent/host.db");
    }
    void TearDown() override {
        window.close();
        discardClosedForms();
        shared().DBConnectionString.clear();
        shared().msgTitle.clear();
    }

    HookForm& form() { return window.form(); }

    xhook::test::TempDir dir;
    RecordingMessages messages;
    FrmHookResult window{reconciliationCommands()};
};

TEST(ToolbarIcons, ThirtyKeyedImagesDrawnSharpOnATransparentGround) {
    const QStringList& keys = ToolbarIcons::keys();
    ASSERT_EQ(keys.size(), 30);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), 30);
    for (const char* key :
         {"New", "Find", "Update", "Delete", "Refresh", "Check", "Preview", "Print", "Exit"})
        EXPECT_TRUE(ToolbarIcons::contains(QLatin1String(key))) << key;

    QSet<QByteArray> distinctImages;
    for (const QString& key : keys) {
        for (int pixels : {16, 32}) {
            const QImage image = ToolbarIcons::image(key, pixels);
            ASSERT_EQ(image.size(), QSize(pixels, pixels)) << key.toStdString();
            int shown = 0;
            for (int y = 0; y < pixels; ++y)
                for (int x = 0; x < pixels; ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (qAlpha(pixel) >= 128) ++shown;
                    if (qAlpha(pixel) > 0) {
                        EXPECT_NE(pixel & RGB_MASK, ToolbarIcons::kTransparentColor & RGB_MASK)
                            << key.toStdString() << " shows the transparent colour";
                    }
                }
            EXPECT_GT(shown, pixels * pixels / 16) << key.toStdString() << " is nearly empty";
            EXPECT_EQ(qAlpha(image.pixel(0, pixels - 1)) + qAlpha(image.pixel(pixels - 1, 0)), 0)
                << key.toStdString() << " has no transparent ground";
        }
        const QImage small = ToolbarIcons::image(key, 16);
        distinctImages.insert(
            QByteArray(reinterpret_cast<const char*>(small.constBits()), small.sizeInBytes()));
        const QIcon icon = ToolbarIcons::icon(key);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    }
    EXPECT_EQ(distinctImages.size(), 30) << "two keys share one picture";
    EXPECT_TRUE(ToolbarIcons::image(QStringLiteral("find"), 16).isNull());
    EXPECT_TRUE(ToolbarIcons::icon(QStringLiteral("Nothing")).isNull());
    EXPECT_FALSE(ToolbarIcons::windowIcon().isNull());
}

TEST(RunWindowStep, ReportsWhatEscapesAStepAndNeverLetsItOut) {
    RecordingMessages messages;
    shared().msgTitle = kTitle;
    EXPECT_TRUE(runWindowStep([] {}));
    EXPECT_FALSE(runWindowStep([] { raiseOverflow(QStringLiteral("行号")); }));
    EXPECT_FALSE(runWindowStep([] { throw std::runtime_error("disk full"); }));
    EXPECT_FALSE(runWindowStep([] { throw 42; }));
    ASSERT_EQ(messages.messages.size(), 3);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("溢出: 行号"));
    EXPECT_EQ(messages.messages[1].text, QStringLiteral("disk full"));
    EXPECT_EQ(messages.messages[2].text, QStringLiteral("未知错误"));
    for (const auto& message : messages.messages) {
        EXPECT_EQ(message.style, MessageExclamation);
        EXPECT_EQ(message.title, std::optional<QString>(kTitle));
    }
    shared().msgTitle.clear();
    EXPECT_FALSE(runWindowStep([] { raiseTypeMismatch(); }));
    EXPECT_EQ(messages.messages.last().title, std::nullopt);

    // A box that cannot be shown does not turn the reported error into a new one.
    struct FailingMessages : MessageSink {
        void show(const QString&, int, const std::optional<QString>&) override {
            throw std::runtime_error("no display");
        }
    } failing;
    ScopedMessageSink scope(&failing);
    EXPECT_FALSE(runWindowStep([] { raiseOverflow(); }));
}

TEST_F(WindowForm, ControlsAndMenusAsDesigned) {
    HookForm& f = form();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("销售发票与销售出库单钩稽"));
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_EQ(f.findChild<QToolBar*>("Toolbar1"), f.Toolbar1);
    EXPECT_EQ(f.findChild<QSplitter*>("RXSplitter1"), f.RXSplitter1);
    EXPECT_EQ(f.findChild<QTabWidget*>("SSTab1"), f.SSTab1);
    EXPECT_EQ(f.findChild<QTabWidget*>("SSTab2"), f.SSTab2);
    EXPECT_EQ(f.findChild<FlexGrid*>("vsf1"), f.vsf1);
    EXPECT_EQ(f.findChild<FlexGrid*>("vsf2"), f.vsf2);
    EXPECT_EQ(f.vsf1->Name(), QStringLiteral("vsf1"));
    EXPECT_EQ(f.vsf2->Name(), QStringLiteral("vsf2"));

    const QList<QAction*> bar = f.menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    const QList<QMenu*> menus = {f.MenuFile, f.MenuBillHook, f.MenuXOut, f.MenuSale};
    const QStringList menuNames = {"MenuFile", "MenuBillHook", "MenuXOut", "MenuSale"};
    const QStringList menuCaptions = {"文件(&F)", "单据钩稽(&H)", "销售出库单(&X)", "销售发票(&S)"};
    const QList<Qt::Key> accessKeys = {Qt::Key_F, Qt::Key_H, Qt::Key_X, Qt::Key_S};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bar[i], menus[i]->menuAction());
        EXPECT_EQ(menus[i]->objectName(), menuNames[i]);
        EXPECT_EQ(menus[i]->title(), menuCaptions[i]);
        EXPECT_EQ(QKeySequence::mnemonic(menus[i]->title()), QKeySequence(Qt::ALT | accessKeys[i]));
    }

    struct Item {
        QAction* action;
        QMenu* menu;
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const QList<Item> items = {
        {f.MenuFileExit, f.MenuFile, "MenuFileExit", "关闭", QKeySequence("Ctrl+X")},
        {f.MenuBillHook1, f.MenuBillHook, "MenuBillHook1", "钩稽", QKeySequence("Ctrl+G")},
        {f.MenuAutoHook, f.MenuBillHook, "MenuAutoHook", "自动钩稽", QKeySequence()},
        {f.MenuXOutFind, f.MenuXOut, "MenuXOutFind", "销售出库单查询", QKeySequence("Ctrl+F")},
        {f.MenuSaleBillOutRemove, f.MenuXOut, "MenuSaleBillOutRemove", "销售出库单移除",
         QKeySequence()},
        {f.MenuSaleBillRemove, f.MenuSale, "MenuSaleBillRemove", "销售发票移除",
         QKeySequence("Ctrl+R")},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        EXPECT_TRUE(item.menu->actions().contains(item.action));
        EXPECT_EQ(item.action->objectName(), QLatin1String(item.name));
        EXPECT_EQ(item.action->text(), QString::fromUtf8(item.caption));
        EXPECT_EQ(item.action->shortcut(), item.shortcut);
        EXPECT_EQ(item.action->shortcutContext(), Qt::WindowShortcut);
        EXPECT_TRUE(item.action->isEnabled());
        EXPECT_TRUE(item.action->isVisible());
    }
    EXPECT_EQ(f.MenuBillHook->actions().size(), 2);
    EXPECT_EQ(f.MenuXOut->actions().size(), 2);
}

TEST_F(WindowForm, ToolbarEntriesInOrderWithKeysImagesAndSeparators) {
    HookForm& f = form();
    struct Entry {
        const char* caption;
        const char* key;
        const char* imageKey;
    };
    const QList<Entry> expected = {
        {"新增", "New", "Find"},
        {"修改", "Update", "Update"},
        {"修订", "UpdateSeOutStock", "Update"},
        {"删除", "Delete", "Delete"},
        {nullptr, nullptr, nullptr},
        {"刷新", "Refresh", "Refresh"},
        {"过滤", "Filter", "Find"},
        {nullptr, nullptr, nullptr},
        {"钩稽", "Check", "Check"},
        {nullptr, nullptr, nullptr},
        {"预览", "Preview", "Preview"},
        {"打印", "Print", "Print"},
        {nullptr, nullptr, nullptr},
        {"关闭", "Exit", "Exit"},
    };
    EXPECT_EQ(f.Toolbar1->actions().size(), 14);
    EXPECT_EQ(f.toolbarEntry(0), nullptr);
    EXPECT_EQ(f.toolbarEntry(15), nullptr);
    for (int position = 1; position <= 14; ++position) {
        SCOPED_TRACE(position);
        const Entry& entry = expected[position - 1];
        QAction* action = f.toolbarEntry(position);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action, f.Toolbar1->actions()[position - 1]);
        if (!entry.caption) {
            EXPECT_TRUE(action->isSeparator());
            continue;
        }
        EXPECT_FALSE(action->isSeparator());
        EXPECT_EQ(action->text(), QString::fromUtf8(entry.caption));
        EXPECT_EQ(HookForm::buttonKey(action), QLatin1String(entry.key));
        EXPECT_EQ(HookForm::buttonImageKey(action), QLatin1String(entry.imageKey));
        EXPECT_TRUE(ToolbarIcons::contains(HookForm::buttonImageKey(action)));
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_EQ(f.toolbarButton(QLatin1String(entry.key)), action);
        EXPECT_TRUE(action->isEnabled());
        EXPECT_TRUE(action->isVisible());
    }
    EXPECT_EQ(HookForm::buttonKey(f.toolbarEntry(9)), QStringLiteral("Check"));
    EXPECT_EQ(f.toolbarButton(QStringLiteral("check")), nullptr);
    EXPECT_EQ(f.Toolbar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(f.Toolbar1->iconSize(), QSize(16, 16));
}

TEST_F(WindowForm, LoadStepSetsHeaderHeightAndAccentColourOfBothGrids) {
    HookForm& f = form();
    for (FlexGrid* grid : {f.vsf1, f.vsf2}) {
        SCOPED_TRACE(grid->Name().toStdString());
        EXPECT_EQ(grid->RowHeight(0), 350);
        EXPECT_EQ(grid->AccentColor(), qRgb(174, 198, 230));
    }
    EXPECT_EQ(&window.vsf1(), f.vsf1);
    EXPECT_EQ(&window.vsf2(), f.vsf2);
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(WindowForm, SplitterPanelsHoldTheGridsKeepTheirMinimumAndFollowTheWindow) {
    HookForm& f = form();
    QSplitter* splitter = f.RXSplitter1;
    EXPECT_EQ(splitter->orientation(), Qt::Vertical);
    EXPECT_EQ(f.centralWidget(), splitter);
    ASSERT_EQ(splitter->count(), 2);
    EXPECT_EQ(splitter->widget(0), f.SSTab1);
    EXPECT_EQ(splitter->widget(1), f.SSTab2);
    EXPECT_FALSE(splitter->childrenCollapsible());
    ASSERT_EQ(f.SSTab1->count(), 1);
    ASSERT_EQ(f.SSTab2->count(), 1);
    EXPECT_EQ(f.SSTab1->tabText(0), QStringLiteral("销售发票"));
    EXPECT_EQ(f.SSTab2->tabText(0), QStringLiteral("销售出库单"));
    EXPECT_EQ(f.SSTab1->widget(0), f.vsf1);
    EXPECT_EQ(f.SSTab2->widget(0), f.vsf2);

    f.show();
    QApplication::processEvents();
    const int minimum = FlexGrid::twipsToPixelsY(3000);
    EXPECT_EQ(f.width(), FlexGrid::twipsToPixelsX(8670));
    EXPECT_EQ(f.height() - f.menuBar()->height(), FlexGrid::twipsToPixelsY(8400));
    EXPECT_NEAR(splitter->sizes()[0], FlexGrid::twipsToPixelsY(4200), 3);
    EXPECT_GE(splitter->sizes()[1], minimum);

    const int total = splitter->sizes()[0] + splitter->sizes()[1];
    splitter->setSizes({0, total});
    EXPECT_EQ(splitter->sizes()[0], minimum);
    splitter->setSizes({total, 0});
    EXPECT_EQ(splitter->sizes()[1], minimum);
    EXPECT_GE(f.minimumSizeHint().height(), 2 * minimum);

    const QSize gridBefore = f.vsf1->size();
    const QSize splitterBefore = splitter->size();
    f.resize(f.width() + 200, f.height() + 300);
    QApplication::processEvents();
    EXPECT_EQ(splitter->width(), splitterBefore.width() + 200);
    EXPECT_EQ(splitter->height(), splitterBefore.height() + 300);
    EXPECT_EQ(f.vsf1->width(), gridBefore.width() + 200);
    EXPECT_GT(f.vsf1->height() + f.vsf2->height(), 300 + gridBefore.height());
}

TEST_F(WindowForm, CloseUnloadsTheControlsAndTheNextTouchRebuildsThemEnabled) {
    HookForm* first = &form();
    QPointer<HookForm> watch(first);
    QSignalSpy unloading(first, &HookForm::unloading);
    first->MenuBillHook1->setEnabled(false);
    first->MenuAutoHook->setEnabled(false);
    first->toolbarEntry(9)->setEnabled(false);
    first->vsf1->setColCount(7);

    window.close();
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(window.isLoaded());
    EXPECT_FALSE(window.isVisible());
    discardClosedForms();
    EXPECT_TRUE(watch.isNull()) << "the closed controls were not discarded";

    HookForm& second = form();
    EXPECT_TRUE(window.isLoaded());
    EXPECT_TRUE(second.MenuBillHook1->isEnabled());
    EXPECT_TRUE(second.MenuAutoHook->isEnabled());
    EXPECT_TRUE(second.toolbarEntry(9)->isEnabled());
    EXPECT_EQ(second.vsf1->ColCount(), FlexGrid(QStringLiteral("fresh")).ColCount());
    EXPECT_EQ(second.vsf1->RowHeight(0), 350);
}

TEST_F(WindowForm, ATouchRightAfterTheCloseBuildsNewControls) {
    HookForm* first = &form();
    first->close();  // the close box: the old controls are discarded later
    EXPECT_TRUE(first->isUnloaded());
    EXPECT_NE(&form(), first);
    EXPECT_TRUE(window.isLoaded());
}

TEST_F(WindowForm, ToolbarKeysAreRoutedExactlyAndCaseSensitively) {
    HookForm& f = form();
    xhook::test::fillDocumentGrid(*f.vsf1, {"1001"});
    xhook::test::fillDocumentGrid(*f.vsf2, {"5001"});
    for (const char* ignored : {"New", "Update", "UpdateSeOutStock", "Delete", "Refresh", "Filter",
                                "Preview", "Print", "exit", "EXIT", "Exit ", "check", "CHECK", ""})
        f.toolbarButtonClicked(QLatin1String(ignored));
    for (int position : {1, 2, 3, 4, 6, 7, 11, 12}) f.toolbarEntry(position)->trigger();
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_TRUE(window.isLoaded());
    EXPECT_EQ(f.vsf1->RowCount(), 3);

    // "Check" runs the manual reconciliation, which here fails to reach the database: the
    // window's event handling reports it, exactly as for the menu item.
    f.toolbarEntry(9)->trigger();
    ASSERT_FALSE(messages.messages.isEmpty());
    const auto fromToolbar = messages.messages;
    messages.messages.clear();
    f.MenuBillHook1->trigger();
    ASSERT_EQ(messages.messages.size(), fromToolbar.size());
    for (int i = 0; i < fromToolbar.size(); ++i)
        EXPECT_EQ(messages.messages[i].text, fromToolbar[i].text);
    EXPECT_TRUE(window.isLoaded());

    QSignalSpy unloading(&f, &HookForm::unloading);
    f.toolbarEntry(14)->trigger();
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(window.isLoaded());
}

TEST_F(WindowForm, TheFramesCloseBoxAndTheMenuCloseAlike) {
    QSignalSpy byMenu(&form(), &HookForm::unloading);
    form().MenuFileExit->trigger();
    EXPECT_EQ(byMenu.count(), 1);
    EXPECT_FALSE(window.isLoaded());

    HookForm& second = form();
    second.show();
    QSignalSpy byFrame(&second, &HookForm::unloading);
    QCloseEvent closeBox;
    QApplication::sendEvent(second.windowHandle(), &closeBox);
    EXPECT_TRUE(closeBox.isAccepted());
    EXPECT_EQ(byFrame.count(), 1);
    EXPECT_FALSE(window.isLoaded());
}

TEST_F(WindowForm, TheOutboundLookupIsRoutedToTheWindowObject) {
    struct CountingFinder : DocumentFinder {
        explicit CountingFinder(int& finds) : finds(finds) {}
        QString Find(QString&, QString&) override { return (++finds, QString()); }
        QString SelectedIds() override { return {}; }
        int& finds;
    };
    int finds = 0;
    registerDocumentFinderFactory(kDocumentFinderClsid,
                                  [&finds] { return std::make_unique<CountingFinder>(finds); });
    // The customer number goes into the finder's filter as a literal of the host database, so
    // the lookup opens it first: on a database that cannot be opened it reports that, as the
    // window reports a failed open, without asking the finder.
    form().MenuXOutFind->trigger();
    EXPECT_EQ(finds, 0);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].text.contains("does not exist"))
        << messages.messages[0].text.toStdString();
    messages.messages.clear();

    shared().DBConnectionString = "Provider=SQLite;Data Source=" + dir.file("host.db");
    {
        data::Connection create;
        create.setConnectionString(shared().DBConnectionString + ";Mode=ReadWriteCreate");
        create.open();
    }
    form().MenuXOutFind->trigger();
    EXPECT_EQ(finds, 1);
    EXPECT_TRUE(messages.messages.isEmpty());

    HookForm orphan;  // controls without a window object cannot look up
    orphan.MenuXOutFind->trigger();
    EXPECT_EQ(finds, 1);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("要求对象"));
    registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
}

// The window runs the reconciliations it was given, and only those: the menu items and the
// toolbar button reach the one given for each, and a window given none reports "object required".
TEST_F(WindowForm, TheReconciliationsAreTheOnesTheWindowWasGiven) {
    QStringList ran;
    FrmHookResult given{
        {[&ran](HookForm&) { ran << "reconcile"; }, [&ran](HookForm&) { ran << "automatically"; }}};
    given.form().MenuBillHook1->trigger();
    given.form().MenuAutoHook->trigger();
    given.form().toolbarButtonClicked(QStringLiteral("Check"));
    EXPECT_EQ(ran, QStringList({"reconcile", "automatically", "reconcile"}));
    EXPECT_TRUE(messages.messages.isEmpty());

    FrmHookResult bare;
    bare.form().MenuBillHook1->trigger();
    bare.form().MenuAutoHook->trigger();
    ASSERT_EQ(messages.messages.size(), 2);
    for (const auto& message : messages.messages)
        EXPECT_EQ(message.text, QStringLiteral("要求对象"));
}

TEST_F(WindowForm, OnlyTheRightButtonAloneOpensAGridsMenuWithThatGridsCommands) {
    HookForm& f = form();
    f.show();
    for (int button : {0, 1, 3, 4, 6}) {
        Q_EMIT f.vsf1->mouseButtonDown(button, 0, 300, 300);
        Q_EMIT f.vsf2->mouseButtonDown(button, 0, 300, 300);
        EXPECT_EQ(f.lastContextMenu(), nullptr) << "button code " << button;
    }

    f.SSTab1->tabBar()->setFocus();
    Q_EMIT f.vsf2->mouseButtonDown(2, 0, 300, 300);
    ASSERT_NE(f.lastContextMenu(), nullptr);
    EXPECT_EQ(f.lastContextMenu()->actions(),
              QList<QAction*>({f.MenuXOutFind, f.MenuSaleBillOutRemove}));
    EXPECT_EQ(actionTexts(f.lastContextMenu()), QStringList({"销售出库单查询", "销售出库单移除"}));
    EXPECT_EQ(f.activeControlName(), QStringLiteral("vsf2"));
    f.lastContextMenu()->close();
    discardClosedForms();
    EXPECT_EQ(f.lastContextMenu(), nullptr);

    Q_EMIT f.vsf1->mouseButtonDown(2, 1, 300, 300);
    ASSERT_NE(f.lastContextMenu(), nullptr);
    EXPECT_EQ(f.lastContextMenu()->actions(), QList<QAction*>({f.MenuSaleBillRemove}));
    EXPECT_EQ(actionTexts(f.lastContextMenu()), QStringList({"销售发票移除"}));
    EXPECT_EQ(f.activeControlName(), QStringLiteral("vsf1"));
    f.lastContextMenu()->close();

    // A real press of the right button on the grid.
    f.vsf1->setFocus();
    QTest::mousePress(f.vsf2->viewport(), Qt::RightButton, {}, QPoint(40, 10));
    ASSERT_NE(f.lastContextMenu(), nullptr);
    EXPECT_EQ(f.lastContextMenu()->actions().size(), 2);
    EXPECT_EQ(f.activeControlName(), QStringLiteral("vsf2"));
    f.lastContextMenu()->close();
    QTest::mouseRelease(f.vsf2->viewport(), Qt::RightButton, {}, QPoint(40, 10));
    discardClosedForms();
    QTest::mouseClick(f.vsf1->viewport(), Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_EQ(f.lastContextMenu(), nullptr);
}

TEST_F(WindowForm, ActiveControlNameNamesTheGridAlsoForItsInnerWidgets) {
    HookForm& f = form();
    f.vsf2->setFocus();
    EXPECT_EQ(f.activeControlName(), QStringLiteral("vsf2"));
    auto* editor = new QLineEdit(f.vsf1->viewport());
    editor->setObjectName(QStringLiteral("cellEditor"));
    editor->setFocus();
    EXPECT_EQ(f.activeControlName(), QStringLiteral("vsf1"));
    f.SSTab2->tabBar()->setObjectName(QStringLiteral("tabs"));
    f.SSTab2->tabBar()->setFocus();
    EXPECT_EQ(f.activeControlName(), QStringLiteral("tabs"));
}

TEST_F(WindowForm, ShortcutsReachTheirItemsWhileAGridHasTheFocus) {
    HookForm& f = form();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QSignalSpy hook(f.MenuBillHook1, &QAction::triggered);
    QSignalSpy find(f.MenuXOutFind, &QAction::triggered);
    QSignalSpy removeInvoice(f.MenuSaleBillRemove, &QAction::triggered);
    QSignalSpy exit(f.MenuFileExit, &QAction::triggered);

    f.vsf1->setFocus();
    QTest::keyClick(f.vsf1, Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(f.vsf1, Qt::Key_G, Qt::ControlModifier);
    f.vsf2->setFocus();
    QTest::keyClick(f.vsf2, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(removeInvoice.count(), 1);
    EXPECT_EQ(hook.count(), 1);
    EXPECT_EQ(find.count(), 1);
    EXPECT_TRUE(window.isLoaded());

    QSignalSpy unloading(&f, &HookForm::unloading);
    QTest::keyClick(f.vsf2, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(exit.count(), 1);
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(window.isLoaded());
}

// A box of a step takes the activation from the window while it is open and gives it back when
// it closes, as a modal box does.
class ActivationLendingMessages : public MessageSink {
  public:
    explicit ActivationLendingMessages(QWidget* form, bool giveBackInside)
        : form_(form), giveBackInside_(giveBackInside), scope_(this) {}
    void show(const QString& text, int, const std::optional<QString>&) override {
        texts.append(text);
        if (++depth_ > 3) return;  // a window that loops would recurse without end
        sendWindowEvent(form_, QEvent::WindowDeactivate);
        if (giveBackInside_) sendWindowEvent(form_, QEvent::WindowActivate);
        --depth_;
    }
    QStringList texts;

  private:
    QWidget* form_;
    bool giveBackInside_;
    int depth_ = 0;
    ScopedMessageSink scope_;
};

TEST_F(WindowForm, ReturningFromAStepsOwnBoxIsNoNewActivation) {
    HookForm& f = form();
    xhook::test::fillDocumentGrid(*f.vsf1, {"1001"});
    xhook::test::fillDocumentGrid(*f.vsf2, {"5001"});
    QSignalSpy activations(&f, &HookForm::activated);

    for (bool giveBackInside : {true, false}) {
        SCOPED_TRACE(giveBackInside);
        ActivationLendingMessages boxes(&f, giveBackInside);
        f.MenuBillHook1->trigger();  // fails to reach the database and shows that
        ASSERT_EQ(boxes.texts.size(), 1);
        if (!giveBackInside) sendWindowEvent(&f, QEvent::WindowActivate);
        EXPECT_EQ(activations.count(), 0);
    }

    // Coming back from another window is an activation.
    sendWindowEvent(&f, QEvent::WindowDeactivate);
    sendWindowEvent(&f, QEvent::WindowActivate);
    EXPECT_EQ(activations.count(), 1);
}

// The window over a host database that holds the layout table; every insert into it is logged,
// so that the order of the two grids' writes shows.
class WindowLayouts : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile database(dir_.file("host.db"));
        ASSERT_TRUE(database.open(QIODevice::WriteOnly));  // an empty file is an empty database
        database.close();
        connectionString_ = "Provider=SQLite;Data Source=" + database.fileName();
        shared().DBConnectionString = connectionString_;
        shared().gConnection.reset();
        shared().msgTitle = kTitle;
        run("create table t_GS_tableinfo(ftablename varchar(50) not null, fwidth int, "
            "fsequence smallint, ftype smallint)");
        run("create table written(id integer primary key autoincrement, ftablename text, "
            "fsequence int, fwidth int, ftype int)");
        run("create trigger log_written after insert on t_GS_tableinfo begin insert into "
            "written(ftablename, fsequence, fwidth, ftype) values(new.ftablename, new.fsequence, "
            "new.fwidth, new.ftype); end");
        HookForm& f = window.form();
        f.vsf1->setColCount(3);
        f.vsf2->setColCount(2);
        for (int col = 0; col < 3; ++col) f.vsf1->setColWidth(col, 600 + 300 * col);
        for (int col = 0; col < 2; ++col) f.vsf2->setColWidth(col, 1500 + 150 * col);
    }
    void TearDown() override {
        window.close();
        discardClosedForms();
        shared().DBConnectionString.clear();
        shared().msgTitle.clear();
    }

    void run(const QString& sql) {
        data::Connection connection;
        connection.setConnectionString(connectionString_);
        connection.open();
        connection.execute(sql);
    }

    // Each written row as "name type sequence width", in the order of writing.
    QStringList written() {
        data::Connection connection;
        connection.setConnectionString(connectionString_);
        connection.open();
        auto rows = connection.openResultSet(
            "select ftablename, ftype, fsequence, fwidth from written order by id");
        QStringList result;
        for (; !rows->eof(); rows->moveNext())
            result << QStringLiteral("%1 %2 %3 %4")
                          .arg(rows->value("ftablename").toString())
                          .arg(rows->value("ftype").toInt())
                          .arg(rows->value("fsequence").toInt())
                          .arg(rows->value("fwidth").toInt());
        run("delete from written");
        return result;
    }

    xhook::test::TempDir dir_;
    QString connectionString_;
    RecordingMessages messages;
    FrmHookResult window{reconciliationCommands()};
};

TEST_F(WindowLayouts, EveryActivationRestoresTheInvoiceGridThenTheOutboundGrid) {
    HookForm& f = window.form();
    sendWindowEvent(&f, QEvent::WindowActivate);
    EXPECT_EQ(written(), QStringList({"XSGJA 0 0 600", "XSGJA 0 1 900", "XSGJA 0 2 1200",
                                      "XSGJB 0 0 1500", "XSGJB 0 1 1650"}));
    EXPECT_EQ(f.vsf1->ColWidth(2), 1200);

    run("insert into t_GS_tableinfo values('XSGJA', 2400, 2, 1)");
    run("insert into t_GS_tableinfo values('XSGJB', 3000, 0, 1)");
    sendWindowEvent(&f, QEvent::WindowDeactivate);
    sendWindowEvent(&f, QEvent::WindowActivate);
    EXPECT_EQ(f.vsf1->ColWidth(2), 2400);
    EXPECT_EQ(f.vsf2->ColWidth(0), 3000);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_FALSE(shared().gConnection);
}

TEST_F(WindowLayouts, TheCloseSavesTheInvoiceGridThenTheOutboundGrid) {
    window.close();
    EXPECT_EQ(written(), QStringList({"XSGJA 1 0 600", "XSGJA 1 1 900", "XSGJA 1 2 1200",
                                      "XSGJB 1 0 1500", "XSGJB 1 1 1650"}));
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_FALSE(window.isLoaded());

    // The next window restores what the last one saved.
    HookForm& next = window.form();
    next.vsf1->setColCount(3);
    sendWindowEvent(&next, QEvent::WindowActivate);
    EXPECT_EQ(next.vsf1->ColWidth(1), 900);
}

TEST_F(WindowLayouts, AFailingSaveIsReportedAndTheWindowStillCloses) {
    shared().DBConnectionString = "Provider=SQLite;Data Source=" + dir_.file("absent/host.db");
    QSignalSpy unloading(&window.form(), &HookForm::unloading);
    window.close();
    EXPECT_EQ(messages.messages.size(), 2) << "each grid's save is reported";
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(window.isLoaded());
}

TEST_F(WindowLayouts, AnActivationWhoseRestoreFailsReportsItOnceAndDoesNotLoop) {
    shared().DBConnectionString = "Provider=SQLite;Data Source=" + dir_.file("absent/host.db");
    HookForm& f = window.form();
    QSignalSpy activations(&f, &HookForm::activated);
    {
        ActivationLendingMessages boxes(&f, true);
        sendWindowEvent(&f, QEvent::WindowActivate);
        EXPECT_EQ(boxes.texts.size(), 1);
    }
    {
        ActivationLendingMessages boxes(&f, false);
        sendWindowEvent(&f, QEvent::WindowDeactivate);
        sendWindowEvent(&f, QEvent::WindowActivate);
        sendWindowEvent(&f, QEvent::WindowActivate);  // back from the box
        EXPECT_EQ(boxes.texts.size(), 1);
    }
    EXPECT_EQ(activations.count(), 2);
}

TEST_F(WindowForm, ShowModalRunsUntilTheWindowClosesAndReturnsAtOnceWhenVisible) {
    bool nestedCallReturned = false;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer user;
    user.setSingleShot(true);
    QObject::connect(&user, &QTimer::timeout, [&] {
        modality = form().windowModality();
        window.showModal();  // already visible: returns at once
        nestedCallReturned = window.isVisible();
        window.close();
    });
    QTimer guard;  // keeps a loop that does not end from hanging the run
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] { window.close(); });
    user.start(0);
    guard.start(10000);
    window.showModal();
    EXPECT_TRUE(nestedCallReturned);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    EXPECT_FALSE(window.isLoaded());
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
