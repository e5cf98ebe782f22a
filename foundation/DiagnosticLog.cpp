#include "foundation/DiagnosticLog.h"

namespace xhook {

// Info and above stay on by default, so that debug, the level the component writes, is off.
Q_LOGGING_CATEGORY(lcSql, "xhook.sql", QtInfoMsg)
Q_LOGGING_CATEGORY(lcConnection, "xhook.connection", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWindow, "xhook.window", QtInfoMsg)

}  // namespace xhook
