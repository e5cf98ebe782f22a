#include "foundation/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>

#include "foundation/DiagnosticLog.h"

namespace xhook {

namespace {

class MessageBoxSink : public MessageSink {
  public:
    void show(const QString& text, int style, const std::optional<QString>& title) override {
        QMessageBox box;
        box.setText(text);
        box.setStandardButtons(QMessageBox::Ok);
        box.setIcon(style == MessageExclamation   ? QMessageBox::Warning
                    : style == MessageInformation ? QMessageBox::Information
                                                  : QMessageBox::NoIcon);
        box.setWindowTitle(title ? *title : QGuiApplication::applicationDisplayName());
        box.exec();
    }
};

thread_local MessageSink* currentSink = nullptr;

MessageSink& defaultSink() {
    thread_local MessageBoxSink boxes;
    thread_local StderrMessageSink console;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        QApplication::instance()->thread() == QThread::currentThread())
        return boxes;
    return console;
}

}  // namespace

void StderrMessageSink::show(const QString& text, int, const std::optional<QString>& title) {
    const QString line = (title && !title->isEmpty() ? *title + ": " : QString()) + text + '\n';
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

void showMessage(const QString& text, int style, const std::optional<QString>& title) {
    qCDebug(lcWindow).noquote().nospace()
        << "message (style " << style << (title ? ", title " + *title : QString()) << "): " << text;
    (currentSink ? *currentSink : defaultSink()).show(text, style, title);
}

MessageSink* setMessageSink(MessageSink* sink) {
    MessageSink* previous = currentSink;
    currentSink = sink;
    return previous;
}

}  // namespace xhook
