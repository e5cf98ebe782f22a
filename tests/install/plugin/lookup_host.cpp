// lookup_host IDS: calls hookBill with the invoice ids and, once the window is up, runs its
// outbound lookup (the menu item MenuXOutFind), which creates the document finder that the
// component registry names. The window closes itself (XHOOK_CLOSE_WINDOW_AFTER_MS).

#include <DeZuvarEDodOziv8/clsXoutBillHook.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

// Triggers the outbound lookup once, as soon as a window offers it.
void lookUpWhenTheWindowShows(QTimer& timer) {
    QObject::connect(&timer, &QTimer::timeout, [&timer] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* lookup = window->findChild<QAction*>(QStringLiteral("MenuXOutFind"))) {
                timer.stop();
                lookup->trigger();
                return;
            }
        }
    });
    timer.start(20);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    QTimer timer;
    lookUpWhenTheWindowShows(timer);
    try {
        DeZuvarEDodOziv8::clsXoutBillHook hook;
        QString ids = QString::fromLocal8Bit(argv[1]);
        hook.hookBill(ids);
    } catch (const DeZuvarEDodOziv8::Error& error) {
        std::fprintf(stderr, "hookBill failed: error %ld: %s\n", error.number(), error.what());
        return 1;
    }
    std::puts("hookBill returned");
    return 0;
}
