#pragma once

#include <QString>
#include <optional>

namespace xhook {

// The id-list parameters of the reconciliation procedure are declared this long, the enclosing
// separators included.
constexpr int kIdListParameterSize = 1000;

// An id list as the procedure receives it: enclosed in separators, ",1001,1002,".
QString enclosedIdList(const QString& idList);

// How many ids of a list fit into an id-list parameter: the largest number of ids from the front
// whose enclosed list is at most `parameterSize` characters long.
struct IdListFit {
    int idCount = 0;
    int fittingCount = 0;
    bool fits() const { return fittingCount == idCount; }
    int excess() const { return idCount - fittingCount; }
};
IdListFit fitIdList(const QString& idList, int parameterSize = kIdListParameterSize);

// The text that refuses a reconciliation whose lists do not fit their parameters, one line per
// list that is too long; none when both fit. Lists are never cut to size: a reconciliation of
// only some of the chosen documents would be a different one from what the user asked for.
std::optional<QString> idListsRefusal(const QString& outboundIds, const QString& invoiceIds);

}  // namespace xhook
