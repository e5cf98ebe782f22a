#pragma once

#include <QString>

namespace xhook::data {

// The calls of the database layer, each a point where a test can make it fail.
enum class DbCall { Open, Execute, OpenResultSet, ReadValue, MoveNext, Begin, Commit, Rollback,
                    RunProcedure, Close, AddRow };

// A test seam: when armed, the n-th call of the layer (counted over every kind, from 1, on the
// calling thread) fails with a DbError of number DbErrorNumber::InjectedFault. Disarmed, which is
// the only state production code ever sees, it costs one test of a thread-local flag.
class FaultInjection {
public:
    static void failCall(int n);  // arm: the n-th call from now fails, once
    static void clear();          // disarm and reset the counter
    static int callsSeen();       // calls counted since the last failCall/clear
    static bool triggered();      // whether the armed fault has fired
    // Called by the layer at the start of each call.
    static void check(DbCall call);
};

QString dbCallName(DbCall call);

}  // namespace xhook::data
