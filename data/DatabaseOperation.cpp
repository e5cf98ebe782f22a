#include "data/DatabaseOperation.h"

#include "data/Connection.h"
#include "data/ConnectionSlot.h"
#include "data/SharedConnection.h"
#include "foundation/Errors.h"

namespace xhook {

DatabaseOperation::DatabaseOperation(ShowFailure showFailure, Release release)
    : showFailure_(std::move(showFailure)), release_(std::move(release)) {}

bool DatabaseOperation::run(const Work& work) {
    if (!OpenConnection()) return false;
    try {
        try {
            work(*this);
        } catch (const ComponentError& error) {
            handleFailure(error.description());
            return false;
        }
    } catch (...) {
        abandon();
        throw;
    }
    finish();
    return true;
}

data::Connection& DatabaseOperation::connection() {
    return *data::connectionSlot().gConnection;
}

void DatabaseOperation::beginTransaction() {
    transaction_.emplace(connection());
}

void DatabaseOperation::commitTransaction() {
    transaction_->commit();
}

// A transaction still open here is rolled back quietly: closing the connection would end it
// anyway.
void DatabaseOperation::finish() {
    transaction_.reset();
    release_();
    CloseConnection();
}

// The message comes first, so the transaction stays open until the user has dismissed it.
void DatabaseOperation::handleFailure(const QString& description) {
    showFailure_(description);
    if (transaction_) transaction_->rollback();
    finish();
}

// Leaves nothing behind and raises nothing: the error that brought the operation here is the one
// its caller gets.
void DatabaseOperation::abandon() noexcept {
    transaction_.reset();
    release_();
    try {
        CloseConnection();
    } catch (...) {
        // gConnection is none all the same.
    }
}

}  // namespace xhook
