#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <optional>

#include "foundation/Messages.h"

namespace xhook::test {

// Records the messages that would have been shown, and whether the shared connection was still
// open at that moment.
class RecordingMessages : public MessageSink {
  public:
    struct Message {
        QString text;
        int style = 0;
        std::optional<QString> title;
        bool connectionOpen = false;
    };

    RecordingMessages() : scope_(this) {}
    void show(const QString& text, int style, const std::optional<QString>& title) override;

    QList<Message> messages;

  private:
    ScopedMessageSink scope_;
};

// Writes settings into the user's store, as a host does.
void writeSetting(const QString& section, const QString& key, const QString& value);
void clearSettings();

// A fresh folder removed at the end of the test.
class TempDir {
  public:
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

}  // namespace xhook::test
