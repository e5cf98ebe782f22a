#include "tests/support/TestSupport.h"

#include <QSettings>

#include "data/ConnectionSlot.h"

namespace xhook::test {

void RecordingMessages::show(const QString& text, int style, const std::optional<QString>& title) {
    messages.append({text, style, title, data::connectionSlot().gConnection != nullptr});
}

void writeSetting(const QString& section, const QString& key, const QString& value) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DuVariz2007"));
    store.setValue(section + '/' + key, value);
    store.sync();
}

void clearSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DuVariz2007"));
    store.clear();
    store.sync();
}

}  // namespace xhook::test
