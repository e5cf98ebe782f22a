#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "data/Command.h"
#include "data/ResultSet.h"

namespace xhook {

class DatabaseOperation;
class HookForm;

inline const QString kReconcileProcedureName = QStringLiteral("sp_GS_billGJ");
inline const QString kReconcileSuccessText = QStringLiteral("钩稽成功!");

// The procedure's answers that the commands act on; any other answer changes nothing.
constexpr qint16 kAnswerReconciled = 1;
constexpr qint16 kAnswerRefused = -1;

// The database objects of one reconciliation command. They are released before the connection
// is closed, on the normal path and on the failure path.
struct ReconcileObjects {
    std::unique_ptr<data::Command> command;
    std::unique_ptr<data::ResultSet> results;
    void release();
};

// Runs a reconciliation command's database work as one DatabaseOperation: opens the shared
// connection (a failure to open passes out) and runs `work`. An error raised by `work` is the
// command's failure: its description is shown (exclamation, msgTitle) while the connection is
// still open, then the objects are released and the connection is closed. An error while doing
// that passes out.
using ReconcileWork = std::function<void(DatabaseOperation&, ReconcileObjects&)>;
void runReconcileWork(const ReconcileWork& work);

// Runs sp_GS_billGJ on the operation's connection with the outbound ids in interids1 and the
// invoice ids in interids2 (both enclosed in separators), type 2 and the user's id, reads both
// answers, releases the objects, closes the connection and then acts on the answer: 1 disables
// the reconciliation commands of `form` and says so, -1 shows the procedure's text, anything else
// is silent. Returns the answer; none when a list was too long for its parameter, which is
// refused before anything is sent (with a message, after the connection has been closed).
// Errors are raised to the caller's failure handling (runReconcileWork).
std::optional<qint16> CallReconcileProcedure(HookForm& form, DatabaseOperation& operation,
                                             ReconcileObjects& objects, const QString& outboundIds,
                                             const QString& invoiceIds);

// A message box of the reconciliation commands: their title is msgTitle.
void showReconcileMessage(const QString& text, int style);

}  // namespace xhook
