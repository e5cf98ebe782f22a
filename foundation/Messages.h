#pragma once

#include <QString>
#include <optional>

namespace xhook {

// Modal message boxes. The style is the one the host's message boxes know: 0 no icon,
// 48 exclamation, 64 information; every box has an OK button only.
enum MessageStyle : int { MessageNoIcon = 0, MessageExclamation = 48, MessageInformation = 64 };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // `title` is empty when the box has no title of its own.
    virtual void show(const QString& text, int style, const std::optional<QString>& title) = 0;
};

// Shows a message through the calling thread's sink and returns when it has been dismissed.
void showMessage(const QString& text, int style, const std::optional<QString>& title = {});

// Replaces the calling thread's sink; nullptr restores the default (message boxes when a
// QApplication runs, standard error otherwise). Returns the previous one.
MessageSink* setMessageSink(MessageSink* sink);

// Installs a sink for a scope.
class ScopedMessageSink {
  public:
    explicit ScopedMessageSink(MessageSink* sink) : previous_(setMessageSink(sink)) {}
    ~ScopedMessageSink() { setMessageSink(previous_); }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

  private:
    MessageSink* previous_;
};

// Writes each message to standard error as "title: text" (or the text alone).
class StderrMessageSink : public MessageSink {
  public:
    void show(const QString& text, int style, const std::optional<QString>& title) override;
};

}  // namespace xhook
