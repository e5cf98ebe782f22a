#include "reconcile/ReconcileOutcome.h"

namespace xhook {

namespace {

ReconcileOutcome& current() {
    thread_local ReconcileOutcome outcome;
    return outcome;
}

}  // namespace

ReconcileOutcome lastReconcileOutcome() {
    return current();
}

void startReconcileOutcome() {
    current() = ReconcileOutcome{};
    current().result = ReconcileOutcome::Result::EndedWithoutCall;
}

void recordReconcileAnswer(qint16 answer) {
    current().result = ReconcileOutcome::Result::Answered;
    current().answer = answer;
}

void recordReconcileFailure(const QString& description) {
    current().result = ReconcileOutcome::Result::Failed;
    current().failure = description;
}

}  // namespace xhook
