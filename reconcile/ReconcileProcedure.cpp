#include "reconcile/ReconcileProcedure.h"

#include <QAction>

#include "data/Connection.h"
#include "data/DatabaseOperation.h"
#include "data/DbError.h"
#include "foundation/Conversions.h"
#include "foundation/Errors.h"
#include "foundation/IdList.h"
#include "foundation/Messages.h"
#include "reconcile/IdListLimits.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/ReconcileParameters.h"
#include "window/HookForm.h"
#include "window/WindowSession.h"

namespace xhook {

namespace {

using data::Command;

constexpr qint16 kReconcileType = 2;   // intType of both reconciliation commands
constexpr int kCheckToolbarEntry = 9;  // "钩稽", counted from 1 with the separators

struct ProcedureAnswer {
    qint16 value;
    QString text;
};

// The declared parameters with the values of this call, in their order.
void prepareCommand(Command& command, data::Connection& connection, const QString& outboundIds,
                    const QString& invoiceIds) {
    command.setActiveConnection(&connection);
    command.setCommandText(kReconcileProcedureName);
    command.setCommandType(Command::adCmdStoredProc);
    const QVariantList values = {enclosedIdList(outboundIds),
                                 enclosedIdList(invoiceIds),
                                 QVariant::fromValue(kReconcileType),
                                 QVariant::fromValue(kAnswerRefused),
                                 QString(""),
                                 windowSession().gLoginUserId};
    const QList<data::DeclaredParameter> declared = reconcileProcedureParameters();
    for (qsizetype i = 0; i < declared.size(); ++i)
        command.appendParameter(Command::createParameter(declared[i].name, declared[i].type,
                                                         declared[i].direction, declared[i].size,
                                                         values[i]));
}

// Both outputs are read, and converted, before either is acted on.
ProcedureAnswer readAnswer(Command& command) {
    const QVariant value = command.parameter(QStringLiteral("intReturnValue")).value;
    if (value.isNull()) raiseInvalidUseOfNull(QStringLiteral("intReturnValue"));
    const qint16 answer = textToInt16(valueText(value), QStringLiteral("intReturnValue"));
    const QVariant text = command.parameter(QStringLiteral("strReturnValue")).value;
    if (text.isNull()) raiseInvalidUseOfNull(QStringLiteral("strReturnValue"));
    return {answer, valueText(text)};
}

void disable(QAction* action, const QString& name) {
    if (!action)
        throw RuntimeError(RuntimeErrorNumber::ObjectRequired, QStringLiteral("要求对象: ") + name);
    action->setEnabled(false);
}

// Once reconciled, the commands stay disabled until the window is next loaded.
void disableReconcileCommands(HookForm& form) {
    disable(form.toolbarEntry(kCheckToolbarEntry), QStringLiteral("Toolbar1 第 9 项"));
    disable(form.MenuBillHook1, QStringLiteral("MenuBillHook1"));
    disable(form.MenuAutoHook, QStringLiteral("MenuAutoHook"));
}

void actOnAnswer(HookForm& form, const ProcedureAnswer& answer) {
    if (answer.value == kAnswerRefused) {
        showReconcileMessage(answer.text, MessageExclamation);
    } else if (answer.value == kAnswerReconciled) {
        disableReconcileCommands(form);
        showReconcileMessage(kReconcileSuccessText, MessageInformation);
    }
}

// Like a refusal by the procedure, the refusal of an over-long list ends the normal path: the
// connection is closed before the message.
void refuseBeforeCall(DatabaseOperation& operation, const QString& text) {
    operation.finish();
    showReconcileMessage(text, MessageExclamation);
}

}  // namespace

void ReconcileObjects::release() {
    results.reset();
    command.reset();
}

void showReconcileMessage(const QString& text, int style) {
    showMessage(text, style, windowSession().msgTitle);
}

// The server's error behind an unknown outcome stays in the diagnostic log (xhook.sql), where
// the database layer wrote it.
void runReconcileWork(const ReconcileWork& work) {
    ReconcileObjects objects;
    DatabaseOperation reconciliation(
        [](const QString& description) {
            recordReconcileFailure(description);
            showReconcileMessage(description, MessageExclamation);
        },
        [&] { objects.release(); });
    reconciliation.run([&](DatabaseOperation& operation) {
        try {
            work(operation, objects);
        } catch (const data::DbError& error) {
            if (error.number() != data::DbErrorNumber::CommitOutcomeUnknown) throw;
            throw ComponentError(error.number(), kReconcileOutcomeUnknownText);
        }
    });
}

// The connection is closed before the answer is acted on.
std::optional<qint16> CallReconcileProcedure(HookForm& form, DatabaseOperation& operation,
                                             ReconcileObjects& objects, const QString& outboundIds,
                                             const QString& invoiceIds) {
    if (const std::optional<QString> refusal = idListsRefusal(outboundIds, invoiceIds)) {
        refuseBeforeCall(operation, *refusal);
        return std::nullopt;
    }
    if (!objects.command) objects.command = std::make_unique<Command>();
    prepareCommand(*objects.command, operation.connection(), outboundIds, invoiceIds);
    objects.command->execute();
    const ProcedureAnswer answer = readAnswer(*objects.command);
    recordReconcileAnswer(answer.value);
    operation.finish();
    actOnAnswer(form, answer);
    return answer.value;
}

}  // namespace xhook
