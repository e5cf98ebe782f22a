#include "window/EventBoundary.h"

#include <exception>
#include <optional>

#include "foundation/DiagnosticLog.h"
#include "foundation/Errors.h"
#include "foundation/Messages.h"
#include "window/BusyCursor.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

// The box that reports an error which a step did not handle: the error's description, the
// exclamation style, and the host's message title when one is configured.
void reportStepError(const QString& description) {
    try {
        const QString& title = windowSession().msgTitle;
        showMessage(description, MessageExclamation,
                    title.isEmpty() ? std::nullopt : std::optional<QString>(title));
    } catch (...) {
        // Nothing is left to report with; the window carries on.
    }
}

}  // namespace

bool runWindowStep(const std::function<void()>& step) {
    try {
        const BusyCursor busy;
        step();
        return true;
    } catch (const ComponentError& error) {
        qCDebug(lcWindow).noquote().nospace()
            << "error " << error.number()
            << " passed out of a window step: " << error.description();
        reportStepError(error.description());
    } catch (const std::exception& error) {
        reportStepError(QString::fromUtf8(error.what()));
    } catch (...) {
        reportStepError(QStringLiteral("未知错误"));
    }
    return false;
}

}  // namespace xhook
