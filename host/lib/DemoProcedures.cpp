#include "host/lib/DemoProcedures.h"

#include "data/NativeProcedures.h"
#include "host/lib/BillReconciliation.h"
#include "reconcile/ReconcileParameters.h"

namespace xhook::host {

void registerDemoProcedures() {
    data::registerNativeProcedure(QStringLiteral("sp_GS_billGJ"), &runBillReconciliation,
                                  reconcileProcedureParameters());
}

}  // namespace xhook::host
