#include "window/IdListCheck.h"

#include <QStringList>

#include "foundation/Errors.h"

namespace xhook {

namespace {

bool isDecimalId(const QString& item) {
    if (item.isEmpty()) return false;
    for (const QChar c : item)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

IdListCheck checkIdList(const QString& text, bool skipEmptyItems) {
    if (text.isEmpty()) return {true, {}, {}};
    QStringList ids;
    for (const QString& item : text.split(QLatin1Char(','))) {
        if (item.isEmpty() && skipEmptyItems) continue;
        if (!isDecimalId(item)) return {false, {}, item};
        ids.append(item);
    }
    return {true, ids.join(QLatin1Char(',')), {}};
}

QString requireIdList(const QString& text, const QString& what) {
    const IdListCheck check = checkIdList(text, false);
    if (!check.ok)
        raiseInvalidProcedureCall(
            QStringLiteral("%1 \"%2\" 不是以逗号分隔的十进制编号列表 (不合格的项: \"%3\")")
                .arg(what, text, check.offending));
    return check.normalized;
}

}  // namespace xhook
