#pragma once

#include <QList>
#include <QString>
#include <atomic>
#include <exception>
#include <functional>
#include <optional>

namespace xhook::data {

// The calls of the database layer, each a point where a test can make it fail.
enum class DbCall {
    Open,
    Execute,
    OpenResultSet,
    ReadValue,
    MoveNext,
    Begin,
    Commit,
    Rollback,
    RunProcedure,
    Close,
    AddRow
};

// A test seam: when armed, the n-th call of the layer (counted over every kind, from 1, on the
// calling thread) fails with a DbError of number DbErrorNumber::InjectedFault. While no thread is
// armed, which is the only state production code ever sees, a call costs one test of a shared
// counter. A Commit is counted for a connection's transaction and for the transaction of its own
// in which a procedure runs.
class FaultInjection {
  public:
    static void failCall(int n);  // arm: the n-th call from now fails, once
    // Arm several: each listed call from now fails, once (a fault inside a failure's handling).
    static void failCalls(const QList<int>& calls);
    // Arm: the n-th call from now throws `error` instead, once: an exception of another kind than
    // the layer's own (std::bad_alloc, say).
    static void failCallWith(int n, std::exception_ptr error);
    // Arm: at the n-th call from now `action` runs first, once, and the call then goes on: a
    // fault from outside the layer at that moment (the network cut as the commit is sent).
    static void actAtCall(int n, std::function<void()> action);
    static void clear();      // disarm and reset the counter
    static int callsSeen();   // calls counted since the last failCall/clear
    static bool triggered();  // whether the (first) armed fault has fired
    // The kind of each call counted since the last failCall, in order.
    static const QList<DbCall>& callKinds();
    // The kind of the call that the first armed fault made fail, once it has fired.
    static std::optional<DbCall> failedCall();
    // Called by the layer at the start of each call.
    static void check(DbCall call) {
        if (armedThreads_.load(std::memory_order_relaxed) != 0) checkOnThisThread(call);
    }

  private:
    static void checkOnThisThread(DbCall call);

    // The threads armed and not cleared since. A thread that ends armed leaves it raised, which
    // only sends every thread's calls to the thread-local test.
    static std::atomic<int> armedThreads_;
};

QString dbCallName(DbCall call);

}  // namespace xhook::data
