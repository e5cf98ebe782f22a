#pragma once

#include <QAction>
#include <QList>
#include <QMainWindow>
#include <QString>

class QMenu;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace xhook {

class FlexGrid;

// The controls of the reconciliation window, built from its design: menu bar, toolbar, the
// splitter with the two tabs and their grids. Closing the form unloads it (it deletes itself).
class HookForm : public QMainWindow {
    Q_OBJECT

public:
    explicit HookForm(QWidget* parent = nullptr);
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
    // The name of the control that has the keyboard focus in this window, empty when none.
    QString activeControlName() const;

    // Routes a toolbar click by the button's key (exactly, case-sensitively).
    void toolbarButtonClicked(const QString& key);
    // Opens the grid's right-click menu at a point of the grid when the button code is exactly 2.
    void gridMouseButtonDown(FlexGrid* grid, int button, const QPoint& position);

Q_SIGNALS:
    void activated();  // the window became the active window
    void unloading();  // the window is closing; emitted before the controls are discarded

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPanels();
    void applyLoadStep();

    QList<QAction*> toolbarEntries_;
    bool unloaded_ = false;
};

}  // namespace xhook
