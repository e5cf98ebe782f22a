#include "window/BusyCursor.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace xhook {

namespace {

bool aDialogIsShown() {
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && qobject_cast<const QDialog*>(window)) return true;
    return false;
}

// While guards are alive, watches dialogs open and close, and gives the cursor that fits.
class DialogWatcher : public QObject {
  public:
    static void guardAdded() {
        if (guards()++ == 0) {
            watcher() = new DialogWatcher;
            qApp->installEventFilter(watcher());
        }
        applyCursor();
    }
    // After the guard's cursor was taken off: the guards left get the cursor that fits now.
    static void guardRemoved() {
        if (--guards() == 0)
            delete watcher().data();
        else
            applyCursor();
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
            qobject_cast<QDialog*>(object) && static_cast<QWidget*>(object)->isWindow())
            applyCursor();
        return false;
    }

  private:
    static void applyCursor() {
        QApplication::changeOverrideCursor(aDialogIsShown() ? Qt::ArrowCursor : Qt::WaitCursor);
    }
    static int& guards() {
        static int count = 0;
        return count;
    }
    static QPointer<DialogWatcher>& watcher() {
        static QPointer<DialogWatcher> instance;
        return instance;
    }
};

}  // namespace

BusyCursor::BusyCursor() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DialogWatcher::guardAdded();
    active_ = true;
}

BusyCursor::~BusyCursor() {
    if (!active_ || !QCoreApplication::instance()) return;
    QApplication::restoreOverrideCursor();
    DialogWatcher::guardRemoved();
}

}  // namespace xhook
