#pragma once

#include <QString>

namespace xhook::data {

// Rewrites the two Transact-SQL constructs that SQLite and PostgreSQL lack, token by token and
// never inside string literals, quoted identifiers or comments:
//   select top N ...    ->  select ... limit N   (the limit closes the select's own level)
//   isnull(a, b)        ->  coalesce(a, b)
// Everything else, blanks included, stays exactly as written.
QString rewriteTransactSql(const QString& sql);

}  // namespace xhook::data
