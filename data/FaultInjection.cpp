#include "data/FaultInjection.h"

#include "data/DbError.h"

namespace xhook::data {

namespace {

struct FaultState {
    bool counting = false;  // armed since the last failCall
    bool triggered = false;
    QList<int> targets;
    int seen = 0;
    QList<DbCall> kinds;
    std::optional<DbCall> failed;
    std::exception_ptr error;      // thrown instead of the DbError, when set
    std::function<void()> action;  // run instead of a failure, when set
};

thread_local FaultState state;

}  // namespace

void FaultInjection::failCall(int n) {
    failCalls({n});
}

std::atomic<int> FaultInjection::armedThreads_{0};

void FaultInjection::failCalls(const QList<int>& calls) {
    if (!state.counting) armedThreads_.fetch_add(1, std::memory_order_relaxed);
    state = {};
    state.counting = true;
    state.targets = calls;
}

void FaultInjection::failCallWith(int n, std::exception_ptr error) {
    failCalls({n});
    state.error = std::move(error);
}

void FaultInjection::actAtCall(int n, std::function<void()> action) {
    failCalls({n});
    state.action = std::move(action);
}

void FaultInjection::clear() {
    if (state.counting) armedThreads_.fetch_sub(1, std::memory_order_relaxed);
    state = {};
}

int FaultInjection::callsSeen() {
    return state.seen;
}

bool FaultInjection::triggered() {
    return state.triggered;
}

const QList<DbCall>& FaultInjection::callKinds() {
    return state.kinds;
}

std::optional<DbCall> FaultInjection::failedCall() {
    return state.failed;
}

void FaultInjection::checkOnThisThread(DbCall call) {
    if (!state.counting) return;
    state.kinds.append(call);
    if (!state.targets.contains(++state.seen)) return;
    if (!state.triggered) state.failed = call;
    state.triggered = true;
    if (state.action) {
        state.action();
        return;
    }
    if (state.error) std::rethrow_exception(state.error);
    throw DbError(DbErrorNumber::InjectedFault,
                  QStringLiteral("injected fault at database call %1 (%2)")
                      .arg(state.seen)
                      .arg(dbCallName(call)));
}

QString dbCallName(DbCall call) {
    switch (call) {
        case DbCall::Open:
            return QStringLiteral("Open");
        case DbCall::Execute:
            return QStringLiteral("Execute");
        case DbCall::OpenResultSet:
            return QStringLiteral("OpenResultSet");
        case DbCall::ReadValue:
            return QStringLiteral("ReadValue");
        case DbCall::MoveNext:
            return QStringLiteral("MoveNext");
        case DbCall::Begin:
            return QStringLiteral("Begin");
        case DbCall::Commit:
            return QStringLiteral("Commit");
        case DbCall::Rollback:
            return QStringLiteral("Rollback");
        case DbCall::RunProcedure:
            return QStringLiteral("RunProcedure");
        case DbCall::Close:
            return QStringLiteral("Close");
        case DbCall::AddRow:
            return QStringLiteral("AddRow");
    }
    return QStringLiteral("unknown");
}

}  // namespace xhook::data
