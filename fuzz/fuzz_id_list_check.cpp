// The id-list rule that guards every id list before it goes into SQL (hookBill's argument, the
// finder's SelectedIds, the loader's list): a text is accepted exactly when each of its items
// between commas is empty or decimal ASCII digits, its ids are the non-empty items in order,
// nothing else ever passes, and no valid list is refused.
#include <QStringList>

#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "fuzz/FuzzCheck.h"

using namespace xhook;

namespace {

bool isEmptyOrDecimal(const QString& item) {
    for (QChar c : item)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

bool valid(const QStringList& items) {
    for (const QString& item : items)
        if (!isEmptyOrDecimal(item)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::inputText(data, size);
    const QStringList items = text.split(QLatin1Char(','));
    const QString ids = text.split(QLatin1Char(','), Qt::SkipEmptyParts).join(',');

    const IdListCheck check = checkIdList(text);
    fuzz::check(check.ok == valid(items), "accepted exactly when every item is empty or an id");
    if (check.ok) fuzz::check(check.ids == ids, "the ids are the non-empty items");
    if (!check.ok) fuzz::check(!isEmptyOrDecimal(check.offending), "the offending item is no id");

    try {
        fuzz::check(requireIdList(text, QStringLiteral("fuzz")) == ids, "required: its ids");
        fuzz::check(check.ok, "required: only a valid list passes");
    } catch (const RuntimeError& error) {
        fuzz::check(!check.ok, "required: a valid list is never refused");
        fuzz::check(!error.description().contains(QChar(0)), "required: the message keeps no NUL");
    }

    try {
        fuzz::check(queryableIdList(text) == ids, "queryable: its ids");
        fuzz::check(check.ok && !ids.isEmpty(), "queryable: only a valid list with ids passes");
    } catch (const RuntimeError&) {
        fuzz::check(!check.ok || ids.isEmpty(), "queryable: refused only when invalid or empty");
    }
    return 0;
}
