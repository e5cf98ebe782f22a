#pragma once

#include <QString>
#include <optional>

namespace xhook {

// The id-list parameters of the reconciliation procedure are declared this long, the enclosing
// separators included.
constexpr int kIdListParameterSize = 1000;

// The text that refuses a reconciliation whose lists do not fit their parameters, one line per
// list that is too long; none when both fit. Lists are never cut to size: a reconciliation of
// only some of the chosen documents would be a different one from what the user asked for.
std::optional<QString> idListsRefusal(const QString& outboundIds, const QString& invoiceIds);

}  // namespace xhook
