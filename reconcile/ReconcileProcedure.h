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
// When the connection ended while the procedure's work was being committed, nobody can tell
// whether the reconciliation took effect: the user is told so, and how to find out.
inline const QString kReconcileOutcomeUnknownText = QStringLiteral(
    "钩稽结果未知: 提交钩稽时与数据库的连接中断, 无法确定这次钩稽是否已经生效。\n"
    "请关闭本窗口, 重新打开这些销售发票, 查看它们是否已经钩稽。再次钩稽也可以: "
    "若这次钩稽已经生效, 存储过程会拒绝并说明单据已经钩稽。");

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
// that passes out. A commit whose outcome is unknown (DbErrorNumber::CommitOutcomeUnknown) is
// shown as kReconcileOutcomeUnknownText instead of the server's error, which would read as a
// failure; the commands stay enabled, since the procedure refuses a second reconciliation of
// documents that the first one reconciled.
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
