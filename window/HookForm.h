#pragma once

#include <QAction>
#include <QList>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <functional>

class QSplitter;
class QTabWidget;
class QToolBar;

namespace xhook {

class FlexGrid;
class FrmHookResult;
struct ReconciliationCommands;

// The controls of the reconciliation window, built from its design: menu bar, toolbar, the
// splitter with the two tabs and their grids. Building the form runs the load step; closing it
// unloads it (it deletes itself). `window` is the window object whose controls these are: the
// outbound lookup is routed to it, and the reconciliations it was given run from here (without
// one, those commands report "object required").
class HookForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit HookForm(FrmHookResult* window = nullptr, QWidget* parent = nullptr);
    ~HookForm() override;

    FlexGrid* vsf1 = nullptr;
    FlexGrid* vsf2 = nullptr;

    QAction* MenuFileExit = nullptr;
    QAction* MenuBillHook1 = nullptr;
    QAction* MenuAutoHook = nullptr;
    QAction* MenuXOutFind = nullptr;
    QAction* MenuSaleBillOutRemove = nullptr;
    QAction* MenuSaleBillRemove = nullptr;
    QMenu* MenuFile = nullptr;
    QMenu* MenuBillHook = nullptr;
    QMenu* MenuXOut = nullptr;
    QMenu* MenuSale = nullptr;

    QToolBar* Toolbar1 = nullptr;
    QSplitter* RXSplitter1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QTabWidget* SSTab2 = nullptr;

    // Toolbar entry by its 1-based position, separators counted; nullptr when out of range.
    QAction* toolbarEntry(int position) const;
    // Toolbar button by its key ("Check", "Exit", ...); nullptr when none has it.
    QAction* toolbarButton(const QString& key) const;
    // A toolbar button's key and the key of its image in the image list (ToolbarIcons).
    static QString buttonKey(const QAction* button);
    static QString buttonImageKey(const QAction* button);
    // The name of the control that has the keyboard focus in this window, empty when none.
    QString activeControlName() const;

    // Routes a toolbar click by the button's key (exactly, case-sensitively).
    void toolbarButtonClicked(const QString& key);
    // Opens the grid's right-click menu when the button code is exactly 2, at `position` in the
    // grid's cell area (its viewport), where the grid reports its mouse events.
    void gridMouseButtonDown(FlexGrid* grid, int button, const QPoint& position);
    // Where the context-menu key opens a grid's menu, in the grid's cell area: at its current
    // cell when that is in view.
    static QPoint menuPositionAtCurrentCell(const FlexGrid& grid);
    // The right-click menu opened last, while it is open; nullptr otherwise.
    QMenu* lastContextMenu() const {
        return contextMenu_ && contextMenu_->isVisible() ? contextMenu_.data() : nullptr;
    }

    // True from the start of the unload on: the form is about to be discarded.
    bool isUnloaded() const { return unloaded_; }

  Q_SIGNALS:
    void activated();  // the window became the active window
    void unloading();  // the window is closing; emitted before the controls are discarded

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void buildPanels();
    void connectCommands();
    void applyLoadStep();
    void applyActivateStep();
    void applyUnloadStep();
    void runStep(const std::function<void()>& step);
    void routeOutboundLookup();
    void runReconciliation(std::function<void(HookForm&)> ReconciliationCommands::*command);
    void openGridMenu(FlexGrid* grid, const QPoint& position, Qt::FocusReason reason);

    FrmHookResult* window_;
    QList<QAction*> toolbarEntries_;
    QPointer<QMenu> contextMenu_;
    bool unloaded_ = false;
    int stepsRunning_ = 0;
    // Set when a box or dialog of one of this form's own steps took the activation; the
    // activation that returns from it is not a new activation of the window.
    bool activationLentToStep_ = false;
};

}  // namespace xhook
