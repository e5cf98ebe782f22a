#pragma once

#include <QString>
#include <QStringList>

namespace xhook::host {

// Points the user's settings (application "DuVariz2007") at the host database, as the host's
// login does: DBOperation/DBConnectionString is always written; the message title, the logged-in
// user and the host's other settings only where absent. Returns the keys written,
// "Section/Key".
QStringList pointSettingsAtDatabase(const QString& connectionString);

}  // namespace xhook::host
