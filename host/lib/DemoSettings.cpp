#include "host/lib/DemoSettings.h"

#include <QList>
#include <QSettings>
#include <utility>

#include "foundation/Errors.h"

namespace xhook::host {

namespace {

constexpr long kPathFileAccessError = 75;

// What the host writes at a user's login when nothing is stored yet.
const QList<std::pair<QString, QString>>& loginDefaults() {
    static const QList<std::pair<QString, QString>> defaults = {
        {"SystemSetup/msgTitle", "泰启进销存"},
        {"SystemLogin/gLoginUserId", "1"},
        {"SystemLogin/gLoginUserName", "演示用户"},
        {"SystemLogin/IsAdmin", "1"},
        {"SystemSetup/gCurrentYear", "2024"},
        {"SystemSetup/gCurrentPeriod", "3"},
        {"SystemSetup/gBillLength", "6"},
        {"SystemSetup/fTax1", "13"},
        {"SystemSetup/fTax2", "13"},
    };
    return defaults;
}

}  // namespace

QStringList pointSettingsAtDatabase(const QString& connectionString) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DuVariz2007"));
    const QString connectionKey = QStringLiteral("DBOperation/DBConnectionString");
    store.setValue(connectionKey, connectionString);
    QStringList written{connectionKey};
    for (const auto& [key, value] : loginDefaults()) {
        if (store.contains(key)) continue;
        store.setValue(key, value);
        written.append(key);
    }
    store.sync();
    if (store.status() != QSettings::NoError)
        throw RuntimeError(
            kPathFileAccessError,
            QStringLiteral("cannot write the settings file %1").arg(store.fileName()));
    return written;
}

}  // namespace xhook::host
