#include "window/HookForm.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <array>

#include "data/GridLayoutStore.h"
#include "foundation/DiagnosticLog.h"
#include "foundation/Errors.h"
#include "window/Commands.h"
#include "window/EventBoundary.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/ToolbarIcons.h"

namespace xhook {

namespace {

constexpr int kDesignClientWidthTwips = 8670;
constexpr int kDesignClientHeightTwips = 8400;
constexpr int kUpperPanelTwips = 4200;
constexpr int kMinimumPanelTwips = 3000;
constexpr int kHeaderRowTwips = 350;
constexpr QRgb kGridAccentColor = qRgb(174, 198, 230);
constexpr int kDocumentNumberColumn = 2;  // fbillno, a hidden key column of a loaded grid
constexpr qint16 kStoredLayoutType = 1;
const QString kInvoiceLayout = QStringLiteral("XSGJA");
const QString kOutboundLayout = QStringLiteral("XSGJB");
const char* const kImageKeyProperty = "imageKey";

// `description` is what a screen reader says of the button after its caption.
struct ToolbarButtonDesign {
    const char* caption;
    const char* key;
    const char* imageKey;
    bool separatorAfter;
    const char* description;
};

const char* const kNoCommand = "此窗口中无操作";
const std::array<ToolbarButtonDesign, 10> kToolbarDesign = {{
    {"新增", "New", "Find", false, kNoCommand},
    {"修改", "Update", "Update", false, kNoCommand},
    {"修订", "UpdateSeOutStock", "Update", false, kNoCommand},
    {"删除", "Delete", "Delete", true, kNoCommand},
    {"刷新", "Refresh", "Refresh", false, kNoCommand},
    {"过滤", "Filter", "Find", true, kNoCommand},
    {"钩稽", "Check", "Check", true, "将所列销售发票与所列销售出库单钩稽"},
    {"预览", "Preview", "Preview", false, kNoCommand},
    {"打印", "Print", "Print", true, kNoCommand},
    {"关闭", "Exit", "Exit", false, "关闭窗口, 保存两个表格的列宽"},
}};

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

// The shortcut works anywhere in the window, a grid with the focus included.
QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WindowShortcut);
    return item;
}

// Tab leaves the grid for the next control instead of walking its cells; the arrow keys, Home,
// End and the page keys move the current row.
// A screen reader announces the grid by its tab's caption, and each row by the number of the
// document it belongs to.
FlexGrid* addGridTab(QTabWidget* tabs, const char* gridName, const QString& caption,
                     const QString& description) {
    auto* grid = new FlexGrid(QLatin1String(gridName), tabs);
    grid->setObjectName(QLatin1String(gridName));
    grid->setAccessibleName(caption);
    grid->setAccessibleDescription(description);
    grid->setRowHeaderColumn(kDocumentNumberColumn);
    grid->setTabKeyNavigation(false);
    tabs->addTab(grid, caption);
    tabs->setMinimumHeight(FlexGrid::twipsToPixelsY(kMinimumPanelTwips));
    return grid;
}

}  // namespace

HookForm::HookForm(FrmHookResult* window, QWidget* parent) : QMainWindow(parent), window_(window) {
    setObjectName(QStringLiteral("frmHookResult"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("销售发票与销售出库单钩稽"));
    setWindowIcon(ToolbarIcons::windowIcon());
    buildMenus();
    buildToolbar();
    buildPanels();
    connectCommands();
    applyLoadStep();
}

HookForm::~HookForm() = default;

void HookForm::buildMenus() {
    QMenuBar* bar = menuBar();
    MenuFile = addMenu(bar, "MenuFile", QStringLiteral("文件(&F)"));
    MenuFileExit = addMenuItem(MenuFile, "MenuFileExit", QStringLiteral("关闭"),
                               QKeySequence(Qt::CTRL | Qt::Key_X));
    MenuBillHook = addMenu(bar, "MenuBillHook", QStringLiteral("单据钩稽(&H)"));
    MenuBillHook1 = addMenuItem(MenuBillHook, "MenuBillHook1", QStringLiteral("钩稽"),
                                QKeySequence(Qt::CTRL | Qt::Key_G));
    MenuAutoHook = addMenuItem(MenuBillHook, "MenuAutoHook", QStringLiteral("自动钩稽"));
    MenuXOut = addMenu(bar, "MenuXOut", QStringLiteral("销售出库单(&X)"));
    MenuXOutFind = addMenuItem(MenuXOut, "MenuXOutFind", QStringLiteral("销售出库单查询"),
                               QKeySequence(Qt::CTRL | Qt::Key_F));
    MenuSaleBillOutRemove =
        addMenuItem(MenuXOut, "MenuSaleBillOutRemove", QStringLiteral("销售出库单移除"));
    MenuSale = addMenu(bar, "MenuSale", QStringLiteral("销售发票(&S)"));
    MenuSaleBillRemove = addMenuItem(MenuSale, "MenuSaleBillRemove", QStringLiteral("销售发票移除"),
                                     QKeySequence(Qt::CTRL | Qt::Key_R));
}

void HookForm::buildToolbar() {
    Toolbar1 = addToolBar(QString());
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(QStringLiteral("工具栏"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setContextMenuPolicy(Qt::PreventContextMenu);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setIconSize(QSize(ToolbarIcons::kImageSize, ToolbarIcons::kImageSize));
    for (const ToolbarButtonDesign& design : kToolbarDesign) {
        const QString imageKey = QLatin1String(design.imageKey);
        QAction* button =
            Toolbar1->addAction(ToolbarIcons::icon(imageKey), QString::fromUtf8(design.caption));
        button->setData(QLatin1String(design.key));
        button->setProperty(kImageKeyProperty, imageKey);
        if (QWidget* widget = Toolbar1->widgetForAction(button)) {
            widget->setAccessibleName(button->text());
            widget->setAccessibleDescription(QString::fromUtf8(design.description));
        }
        toolbarEntries_.append(button);
        if (design.separatorAfter) toolbarEntries_.append(Toolbar1->addSeparator());
    }
}

void HookForm::buildPanels() {
    RXSplitter1 = new QSplitter(Qt::Vertical, this);
    RXSplitter1->setObjectName(QStringLiteral("RXSplitter1"));
    RXSplitter1->setChildrenCollapsible(false);
    SSTab1 = new QTabWidget(RXSplitter1);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    vsf1 = addGridTab(SSTab1, "vsf1", QStringLiteral("销售发票"),
                      QStringLiteral("所选销售发票的明细, 每行一条, 末行为合计"));
    SSTab2 = new QTabWidget(RXSplitter1);
    SSTab2->setObjectName(QStringLiteral("SSTab2"));
    vsf2 = addGridTab(SSTab2, "vsf2", QStringLiteral("销售出库单"),
                      QStringLiteral("查询到的销售出库单的明细, 每行一条, 末行为合计"));
    vsf1->installEventFilter(this);
    vsf2->installEventFilter(this);
    RXSplitter1->addWidget(SSTab1);
    RXSplitter1->addWidget(SSTab2);
    setCentralWidget(RXSplitter1);

    const int clientHeight = FlexGrid::twipsToPixelsY(kDesignClientHeightTwips);
    const int upperHeight = FlexGrid::twipsToPixelsY(kUpperPanelTwips);
    const int splitterHeight = clientHeight - Toolbar1->sizeHint().height();
    RXSplitter1->setSizes({upperHeight, splitterHeight - upperHeight - RXSplitter1->handleWidth()});
    resize(FlexGrid::twipsToPixelsX(kDesignClientWidthTwips),
           clientHeight + menuBar()->sizeHint().height());
}

void HookForm::connectCommands() {
    const auto route = [this](QAction* item, std::function<void()> command) {
        connect(item, &QAction::triggered, this, [this, item, command] {
            qCDebug(lcWindow).noquote() << "command" << item->objectName() << item->text();
            runStep(command);
        });
    };
    route(MenuFileExit, [this] { close(); });
    route(MenuBillHook1, [this] { runReconciliation(&ReconciliationCommands::reconcile); });
    route(MenuAutoHook,
          [this] { runReconciliation(&ReconciliationCommands::reconcileAutomatically); });
    route(MenuXOutFind, [this] { routeOutboundLookup(); });
    route(MenuSaleBillOutRemove, [this] { MenuSaleBillOutRemove_Click(*this); });
    route(MenuSaleBillRemove, [this] { MenuSaleBillRemove_Click(*this); });
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* button) { toolbarButtonClicked(buttonKey(button)); });
    for (FlexGrid* grid : {vsf1, vsf2}) {
        connect(
            grid, &FlexGrid::mouseButtonDown, this, [this, grid](int button, int, int x, int y) {
                gridMouseButtonDown(
                    grid, button, QPoint(FlexGrid::twipsToPixelsX(x), FlexGrid::twipsToPixelsY(y)));
            });
    }
}

namespace {

[[noreturn]] void raiseObjectRequired() {
    throw RuntimeError(RuntimeErrorNumber::ObjectRequired, QStringLiteral("要求对象"));
}

}  // namespace

void HookForm::routeOutboundLookup() {
    if (!window_) raiseObjectRequired();
    MenuXOutFind_Click(*window_);
}

void HookForm::runReconciliation(std::function<void(HookForm&)> ReconciliationCommands::*command) {
    if (!window_) raiseObjectRequired();
    const std::function<void(HookForm&)>& reconciliation = window_->reconciliations().*command;
    if (!reconciliation) raiseObjectRequired();
    reconciliation(*this);
}

void HookForm::applyLoadStep() {
    vsf1->setRowHeight(0, kHeaderRowTwips);
    vsf2->setRowHeight(0, kHeaderRowTwips);
    vsf1->setAccentColor(kGridAccentColor);
    vsf2->setAccentColor(kGridAccentColor);
}

void HookForm::applyActivateStep() {
    const auto load = [](const QString& name, FlexGrid& grid) {
        const bool applied = LoadGridLayout(name, grid, kStoredLayoutType);
        qCDebug(lcWindow).noquote()
            << "activated: layout" << name << (applied ? "applied" : "not applied");
    };
    runStep([this, &load] {
        load(kInvoiceLayout, *vsf1);
        load(kOutboundLayout, *vsf2);
    });
}

// Each save is a step of its own, so that the second grid is saved when the first one fails.
void HookForm::applyUnloadStep() {
    const auto save = [](const QString& name, FlexGrid& grid) {
        const bool saved = SaveGridLayout(name, grid, kStoredLayoutType);
        qCDebug(lcWindow).noquote() << "closing: layout" << name << (saved ? "saved" : "not saved");
    };
    runStep([this, &save] { save(kInvoiceLayout, *vsf1); });
    runStep([this, &save] { save(kOutboundLayout, *vsf2); });
}

void HookForm::runStep(const std::function<void()>& step) {
    ++stepsRunning_;
    runWindowStep(step);
    --stepsRunning_;
}

QAction* HookForm::toolbarEntry(int position) const {
    return position >= 1 && position <= toolbarEntries_.size() ? toolbarEntries_[position - 1]
                                                               : nullptr;
}

QAction* HookForm::toolbarButton(const QString& key) const {
    for (QAction* entry : toolbarEntries_)
        if (!entry->isSeparator() && buttonKey(entry) == key) return entry;
    return nullptr;
}

QString HookForm::buttonKey(const QAction* button) {
    return button ? button->data().toString() : QString();
}

QString HookForm::buttonImageKey(const QAction* button) {
    return button ? button->property(kImageKeyProperty).toString() : QString();
}

QString HookForm::activeControlName() const {
    QWidget* focus = focusWidget();
    for (QWidget* widget = focus; widget && widget != this; widget = widget->parentWidget())
        if (auto* grid = qobject_cast<FlexGrid*>(widget)) return grid->Name();
    return focus ? focus->objectName() : QString();
}

void HookForm::toolbarButtonClicked(const QString& key) {
    qCDebug(lcWindow).noquote() << "toolbar button" << key;
    if (key == QLatin1String("Exit"))
        runStep([this] { close(); });
    else if (key == QLatin1String("Check"))
        runStep([this] { runReconciliation(&ReconciliationCommands::reconcile); });
}

void HookForm::gridMouseButtonDown(FlexGrid* grid, int button, const QPoint& position) {
    constexpr int kRightButtonAlone = 2;
    if (button == kRightButtonAlone) openGridMenu(grid, position, Qt::MouseFocusReason);
}

// Below the current cell's left edge, or at the top of the cell area when no cell is current.
QPoint HookForm::menuPositionAtCurrentCell(const FlexGrid& grid) {
    const QRect cell = grid.visualRect(grid.currentIndex());
    if (!cell.isValid() || !grid.viewport()->rect().intersects(cell)) return {0, 0};
    return {qMax(0, cell.left()), cell.bottom()};
}

// The menu of a grid offers the commands that act on that grid; the grid takes the focus first,
// so that the removal acts on the grid whose menu it is.
void HookForm::openGridMenu(FlexGrid* grid, const QPoint& position, Qt::FocusReason reason) {
    if (grid != vsf1 && grid != vsf2) return;
    grid->setFocus(reason);
    if (contextMenu_) contextMenu_->close();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (grid == vsf1) {
        menu->addAction(MenuSaleBillRemove);
    } else {
        menu->addAction(MenuXOutFind);
        menu->addAction(MenuSaleBillOutRemove);
    }
    contextMenu_ = menu;
    menu->popup(grid->viewport()->mapToGlobal(position));
    // From the keyboard, the first item is ready for Enter and the arrow keys.
    if (reason != Qt::MouseFocusReason) menu->setActiveAction(menu->actions().value(0));
}

// The context-menu key (or Shift+F10) on a grid opens the same menu as the right button, at the
// current cell; the right button itself arrives as the grid's mouse-button event.
bool HookForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu && (watched == vsf1 || watched == vsf2)) {
        auto* request = static_cast<QContextMenuEvent*>(event);
        if (request->reason() == QContextMenuEvent::Keyboard) {
            auto* grid = static_cast<FlexGrid*>(watched);
            openGridMenu(grid, menuPositionAtCurrentCell(*grid), Qt::OtherFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool HookForm::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowDeactivate && stepsRunning_ > 0) {
        activationLentToStep_ = true;
    } else if (event->type() == QEvent::WindowActivate) {
        if (activationLentToStep_) {
            activationLentToStep_ = false;
        } else if (stepsRunning_ == 0 && !unloaded_) {
            Q_EMIT activated();
            applyActivateStep();
        }
    }
    return handled;
}

void HookForm::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        if (contextMenu_) contextMenu_->close();
        applyUnloadStep();
        Q_EMIT unloading();
    }
    event->accept();
}

}  // namespace xhook
