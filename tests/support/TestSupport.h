#pragma once

#include <QByteArray>
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

// Sets an environment variable for the test's duration.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), saved_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (had_)
            qputenv(name_, saved_);
        else
            qunsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    QByteArray saved_;
    bool had_;
};

// A fresh folder removed at the end of the test.
class TempDir {
  public:
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

}  // namespace xhook::test
