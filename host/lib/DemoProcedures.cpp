#include "host/lib/DemoProcedures.h"

#include "data/NativeProcedures.h"
#include "host/lib/BillReconciliation.h"

namespace xhook::host {

void registerDemoProcedures() {
    data::registerNativeProcedure(QStringLiteral("sp_GS_billGJ"), &runBillReconciliation);
}

}  // namespace xhook::host
