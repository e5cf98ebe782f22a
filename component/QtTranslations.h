#pragma once

namespace xhook {

// Qt's own texts (the buttons of message boxes and standard dialogs) in the user's language,
// from Qt's translations for the user's locale (QLocale()), once per process. A host that loaded
// translations of Qt's texts itself keeps them: nothing is installed then, since a translator
// installed later would take precedence over the host's. Nothing is installed for English
// either, the language of Qt's own texts. Returns whether the component's translator is
// installed.
bool installQtTranslationsUnlessHostDid();

}  // namespace xhook
