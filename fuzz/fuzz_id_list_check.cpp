// The id-list check that guards every id list before it goes into SQL: what it accepts is
// decimal ASCII ids separated by single commas, nothing else ever passes, and no valid list is
// refused.
#include <QStringList>

#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "fuzz/FuzzCheck.h"

using namespace xhook;

namespace {

bool isDecimalId(const QString& item) {
    if (item.isEmpty()) return false;
    for (QChar c : item)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

bool allIds(const QStringList& items) {
    for (const QString& item : items)
        if (!isDecimalId(item)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::inputText(data, size);
    const QStringList items = text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
    const QStringList nonEmpty = text.split(QLatin1Char(','), Qt::SkipEmptyParts);

    const IdListCheck strict = checkIdList(text, false);
    fuzz::check(strict.ok == allIds(items), "strict: accepted exactly when an id list");
    if (strict.ok) fuzz::check(strict.normalized == text, "strict: the list unchanged");

    const IdListCheck lenient = checkIdList(text, true);
    fuzz::check(lenient.ok == allIds(nonEmpty), "lenient: empty items skipped, others ids");
    if (lenient.ok) fuzz::check(lenient.normalized == nonEmpty.join(','), "lenient: the ids");

    try {
        fuzz::check(requireIdList(text, QStringLiteral("fuzz")) == text, "required: unchanged");
        fuzz::check(strict.ok, "required: only an id list passes");
    } catch (const RuntimeError&) {
        fuzz::check(!strict.ok, "required: a valid list is never refused");
    }
    return 0;
}
