#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "data/Transaction.h"

namespace xhook {

namespace data {
class Connection;
}

// One database operation of the component on the shared connection (find1, find2, the two
// reconciliations, SaveGridLayout, LoadGridLayout), run the way every one of them runs: open the
// connection, arm the failure handling, work, release the operation's database objects, close.
// When the work raises a component error, the failure handling shows the operation's message
// while the connection is still open, rolls back the operation's transaction when one is still
// open, releases the objects and closes the connection. Any other exception passes on to the
// caller, after the transaction has been rolled back, the objects released and the connection
// closed: no operation leaves the connection behind.
class DatabaseOperation {
  public:
    // Shows the operation's message for a failure of its work.
    using ShowFailure = std::function<void(const QString& description)>;
    // Releases the operation's database objects (result sets, tables, commands); never raises.
    using Release = std::function<void()>;
    using Work = std::function<void(DatabaseOperation&)>;

    DatabaseOperation(ShowFailure showFailure, Release release);
    DatabaseOperation(const DatabaseOperation&) = delete;
    DatabaseOperation& operator=(const DatabaseOperation&) = delete;

    // Opens the shared connection, then runs `work` under the failure handling. A failure to open
    // reaches the caller, before the handling is armed, and so does an error of the handling
    // itself (a rollback or a close that fails). True when the work ended normally, false when
    // its failure was shown.
    bool run(const Work& work);

    data::Connection& connection();
    // Begins the operation's transaction; the work commits it.
    void beginTransaction();
    void commitTransaction();

    // Ends the normal path from inside the work: releases the objects and closes the connection
    // now, so that a failure to close is the work's own and is shown. Without it, run() does the
    // same once the work has returned, and a failure to close reaches the caller.
    void finish();

  private:
    void handleFailure(const QString& description);
    void abandon() noexcept;

    ShowFailure showFailure_;
    Release release_;
    std::optional<data::Transaction> transaction_;
};

}  // namespace xhook
