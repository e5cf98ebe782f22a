#include "reconcile/ReconcileParameters.h"

#include "reconcile/IdListLimits.h"

namespace xhook {

QList<data::DeclaredParameter> reconcileProcedureParameters() {
    using namespace data;
    return {
        {QStringLiteral("interids1"), adParamInput, adVarChar, QStringLiteral("varchar"),
         kIdListParameterSize},
        {QStringLiteral("interids2"), adParamInput, adVarChar, QStringLiteral("varchar"),
         kIdListParameterSize},
        {QStringLiteral("intType"), adParamInput, adBigInt, QStringLiteral("bigint"), 10},
        {QStringLiteral("intReturnValue"), adParamOutput, adBigInt, QStringLiteral("bigint"), 10},
        {QStringLiteral("strReturnValue"), adParamOutput, adVarChar, QStringLiteral("varchar"),
         100},
        {QStringLiteral("loginUserId"), adParamInput, adBigInt, QStringLiteral("bigint"), 10},
    };
}

}  // namespace xhook
