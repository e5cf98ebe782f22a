#include "component/UserSettings.h"

#include <QSettings>
#include <QStringList>

#include "component/SharedState.h"
#include "foundation/Conversions.h"
#include "foundation/Errors.h"

namespace xhook {

namespace {

const QString kApplication = QStringLiteral("DuVariz2007");

// One setting as the store holds it: the text, or the default when the key is absent. The store
// reads some forms ("@Rect(...)", "@Variant(...)") as values of other kinds; such a value is no
// text and fails as a type mismatch instead of reading as an empty or made-up text.
QString readText(QSettings& store, const QString& section, const QString& key,
                 const QString& fallback) {
    const QString path = section + '/' + key;
    if (!store.contains(path)) return fallback;
    const QVariant value = store.value(path);
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString();
        case QMetaType::QStringList:  // an unquoted value with commas: one text to the host
            return value.toStringList().join(',');
        case QMetaType::QByteArray:
            return QString::fromUtf8(value.toByteArray());
        default:
            raiseTypeMismatch(QStringLiteral("%1 不是文本 (%2)").arg(path, value.typeName()));
    }
}

}  // namespace

QString userSettingsPath() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, kApplication).fileName();
}

void readUserSettings(SharedState& state) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, kApplication);
    store.childGroups();  // reads the file, so that its status is known
    if (store.status() != QSettings::NoError)
        throw RuntimeError(
            RuntimeErrorNumber::InvalidProcedureCall,
            QStringLiteral("无法读取用户设置 (%1): %2")
                .arg(store.status() == QSettings::FormatError ? QStringLiteral("格式错误")
                                                              : QStringLiteral("无法访问"),
                     store.fileName()));
    auto text = [&](const char* section, const char* key, const QString& fallback) {
        return readText(store, section, key, fallback);
    };
    auto int16 = [&](const char* section, const char* key, qint16& field, const char* fallback) {
        field = textToInt16(text(section, key, fallback), QString("%1/%2").arg(section, key));
    };
    auto real = [&](const char* section, const char* key, double& field) {
        field = textToDouble(text(section, key, "0"), QString("%1/%2").arg(section, key));
    };

    state.msgTitle = text("SystemSetup", "msgTitle", QStringLiteral("泰启进销存"));
    state.DBConnectionString = text("DBOperation", "DBConnectionString", {});
    state.gLoginUserId = text("SystemLogin", "gLoginUserId", QStringLiteral("0"));
    state.gLoginUserName = text("SystemLogin", "gLoginUserName", {});
    int16("SystemSetup", "gIsUpdateInPrice", state.gIsUpdateInPrice, "0");
    int16("SystemSetup", "gCurrentYear", state.gCurrentYear, "0");
    int16("SystemSetup", "gCurrentPeriod", state.gCurrentPeriod, "0");
    int16("SystemSetup", "gBillLength", state.gBillLength, "6");
    int16("SystemSetup", "gIsCloseStock", state.gIsCloseStock, "0");
    int16("SystemSetup", "gIsUpdateBillNo", state.gIsUpdateBillNo, "0");
    real("SystemSetup", "fTax1", state.fTax1);
    real("SystemSetup", "fTax2", state.fTax2);
    int16("SystemLogin", "IsAdmin", state.IsAdmin, "0");
}

}  // namespace xhook
