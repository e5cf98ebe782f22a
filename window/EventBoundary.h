#pragma once

#include <functional>

namespace xhook {

// Runs one step of the window (a command, the activate or unload work) and reports an error
// that passes out of it in a message box, so that no exception crosses the event loop and the
// window and the host stay usable. Returns false when an error was reported. The busy cursor is
// shown while the step runs (BusyCursor), and no longer when the error is reported.
bool runWindowStep(const std::function<void()>& step);

}  // namespace xhook
