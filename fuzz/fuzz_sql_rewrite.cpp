// The Transact-SQL rewrite: any text is rewritten without a crash, and a text without the two
// constructs it rewrites ("top", "isnull") comes back exactly as it was.
#include "data/SqlDialect.h"
#include "fuzz/FuzzCheck.h"

using namespace xhook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql = fuzz::inputText(data, size);
    const QString rewritten = data::rewriteTransactSql(sql);
    if (!sql.contains(QLatin1String("top"), Qt::CaseInsensitive) &&
        !sql.contains(QLatin1String("isnull"), Qt::CaseInsensitive))
        fuzz::check(rewritten == sql, "text without top or isnull stays as written");
    if (!rewritten.contains(QLatin1String("top"), Qt::CaseInsensitive) &&
        !rewritten.contains(QLatin1String("isnull"), Qt::CaseInsensitive))
        fuzz::check(data::rewriteTransactSql(rewritten) == rewritten, "rewritten text is final");
    return 0;
}
