#pragma once

#include <QList>

#include "data/Parameter.h"

namespace xhook {

// The parameters of sp_GS_billGJ as the reconciliation commands pass them, in their order: the
// outbound and the invoice id lists (varchar 1000, input), the type (bigint, input), the answer
// (bigint, output), its text (varchar 100, output) and the user (bigint, input). A host that
// registers the procedure natively declares these; `xouthook check` holds a server's catalog to
// them.
QList<data::DeclaredParameter> reconcileProcedureParameters();

}  // namespace xhook
