#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include "data/Parameter.h"

namespace xhook::host {

// The host's reconciliation procedure sp_GS_billGJ, for a database that runs it natively inside
// one transaction. Parameters by name: interids1 (outbound document ids ",a,b,"), interids2
// (sales invoice ids, the same form), intType, loginUserId, and the outputs intReturnValue and
// strReturnValue. Answers 1 when it has recorded the reconciliation (t_GS_billGJ with its
// entries) and set fhookinterid on every document; answers -1 with a reason of at most 100
// characters, having written nothing, when it refuses: an item of a list that is no id, an empty
// list, an id that names no document, documents of more than one customer, a document already
// reconciled, or an item whose invoiced quantity differs from its delivered quantity. A database
// failure raises DbError, and the transaction is rolled back.
void runBillReconciliation(QSqlDatabase& db, QList<data::Parameter>& parameters);

// Longest reason that the procedure answers.
constexpr int kReasonLimit = 100;

// `text` cut to at most `limit` characters, ending with "…" when cut, never inside a
// surrogate pair.
QString limitReason(const QString& text, int limit = kReasonLimit);

}  // namespace xhook::host
