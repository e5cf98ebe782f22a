#include "foundation/IdList.h"

#include <QStringList>

#include "foundation/Errors.h"
#include "foundation/VisibleText.h"

namespace xhook {

namespace {

bool isDecimalId(const QString& item) {
    if (item.isEmpty()) return false;
    for (const QChar c : item)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// A text as a message quotes it: its start only, and every control character escaped.
QString elided(const QString& text) {
    constexpr int kShown = 80;
    return visibleText(text.size() <= kShown ? text : text.left(kShown) + QStringLiteral("…"));
}

}  // namespace

void appendIds(QString& list, const QString& ids) {
    if (list.isEmpty())
        list = ids;
    else
        list += kIdSeparator + ids;
}

IdListCheck checkIdList(const QString& text) {
    QStringList ids;
    for (const QString& item : text.split(kIdSeparator, Qt::SkipEmptyParts)) {
        if (!isDecimalId(item)) return {false, {}, item};
        ids.append(item);
    }
    return {true, ids.join(kIdSeparator), {}};
}

QString requireIdList(const QString& text, const QString& what) {
    const IdListCheck check = checkIdList(text);
    if (!check.ok)
        raiseInvalidProcedureCall(
            QStringLiteral("%1 \"%2\" 不是以逗号分隔的十进制编号列表 (不合格的项: \"%3\")")
                .arg(what, elided(text), elided(check.offending)));
    return check.ids;
}

QString queryableIdList(const QString& list) {
    const IdListCheck check = checkIdList(list);
    if (!check.ok)
        raiseInvalidProcedureCall(
            QStringLiteral("单据内码列表 \"%1\" 中的 \"%2\" 不是单据内码, 未查询数据库")
                .arg(elided(list), elided(check.offending)));
    if (check.ids.isEmpty())
        raiseInvalidProcedureCall(QStringLiteral("单据内码列表为空, 未查询数据库"));
    return check.ids;
}

void appendIdOnce(QString& workingList, const QString& id) {
    const QString separator = kWorkingIdListStart;
    if (!workingList.contains(separator + id + separator, Qt::CaseSensitive))
        workingList += id + separator;
}

bool finishIdList(QString& workingList) {
    if (workingList.size() <= kWorkingIdListStart.size()) {
        workingList.clear();
        return false;
    }
    workingList.chop(1);
    workingList.remove(0, 1);
    return true;
}

QString enclosedIdList(const QString& list) {
    return kIdSeparator + list + kIdSeparator;
}

IdListFit fitIdList(const QString& list, int size) {
    const QStringList ids = list.split(kIdSeparator);
    IdListFit fit;
    fit.idCount = static_cast<int>(ids.size());
    qsizetype length = 1;  // the leading separator
    for (const QString& id : ids) {
        length += id.size() + 1;  // the id and the separator after it
        if (length > size) break;
        ++fit.fittingCount;
    }
    return fit;
}

IdNumbers idNumbers(const QString& list) {
    IdNumbers numbers;
    for (const QString& item : list.split(kIdSeparator, Qt::SkipEmptyParts)) {
        bool converted = false;
        const qint64 id = isDecimalId(item) ? item.toLongLong(&converted) : 0;
        if (!converted) {
            numbers.valid = false;
            numbers.badItem = item;
            return numbers;
        }
        if (!numbers.ids.contains(id)) numbers.ids.append(id);
    }
    return numbers;
}

}  // namespace xhook
