#pragma once

#include <QString>
#include <optional>

namespace xhook {

// How the last reconciliation command of the calling thread ended, for hosts that run the
// commands without a user to read the message boxes (the command-line tool). Each command resets
// it when it starts. An error that passes out of a command (a failure to open the connection)
// leaves it as it stood at that moment: the caller sees that error itself.
struct ReconcileOutcome {
    enum class Result {
        NotRun,            // no reconciliation command has run on this thread
        EndedWithoutCall,  // nothing to pass, or a list too long: the procedure was not called
        Answered,          // the procedure ran and its answer was read
        Failed,            // an error was shown by the command's failure handling
    };
    Result result = Result::NotRun;
    std::optional<qint16>
        answer;       // the procedure's answer, once read (also when a later step failed)
    QString failure;  // the description shown, when Failed

    bool reconciled() const { return result == Result::Answered && answer == 1; }
};

ReconcileOutcome lastReconcileOutcome();

// Recorded by the reconciliation commands.
void startReconcileOutcome();
void recordReconcileAnswer(qint16 answer);
void recordReconcileFailure(const QString& description);

}  // namespace xhook
