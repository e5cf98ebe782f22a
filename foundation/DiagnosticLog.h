#pragma once

#include <QLoggingCategory>

namespace xhook {

// The component's diagnostic log, for a support engineer at a site. Every category is off for its
// debug messages, the only ones the component writes, until a rule turns it on:
//   QT_LOGGING_RULES="xhook.*=true"   or the [Rules] section of a qtlogging.ini.
// Lines go wherever the host's Qt messages go (standard error unless the host installed a
// handler). A category that is off costs one test of a flag where a line would be written.
//
//   xhook.sql         each statement sent to the database after the Transact-SQL rewrite, with
//                     its duration and its row count; each stored procedure call with its answer;
//                     each database error with its number
//   xhook.connection  each connection opened and closed: provider, server and database (never a
//                     password or any other part of the connection string)
//   xhook.window      the grids' loads, the layout store's results, the reconciliations, and
//                     every error the window reports, with its number
Q_DECLARE_LOGGING_CATEGORY(lcSql)
Q_DECLARE_LOGGING_CATEGORY(lcConnection)
Q_DECLARE_LOGGING_CATEGORY(lcWindow)

}  // namespace xhook
