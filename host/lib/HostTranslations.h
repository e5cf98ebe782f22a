#pragma once

class QCoreApplication;

namespace xhook::host {

// What a host does once at start for Qt's own texts (the buttons of message boxes and standard
// dialogs): installs Qt's translations for the user's locale (QLocale()), when there are any.
// Returns whether a translation was found.
bool installQtTranslations(QCoreApplication& application);

}  // namespace xhook::host
