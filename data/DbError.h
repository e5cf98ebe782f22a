#pragma once

#include "foundation/Errors.h"

class QSqlError;

namespace xhook::data {

// An error of the database provider or of the database layer itself: the provider's number, its
// description, and its own code where it has one (SQLite's result code, PostgreSQL's SQLSTATE).
class DbError : public ComponentError {
  public:
    DbError(long number, QString description, QString nativeCode = {});

    const QString& nativeCode() const noexcept { return nativeCode_; }

    // From a Qt SQL error; `context` (the statement, the step) is added to the description.
    static DbError fromSqlError(const QSqlError& error, const QString& context = {});

  private:
    QString nativeCode_;
};

// Numbers of the errors that the database layer raises itself, in the host's ADO numbering.
namespace DbErrorNumber {
constexpr long Generic = -2147467259;           // unspecified provider failure
constexpr long ProviderNotFound = 3706;         // unknown or missing provider
constexpr long InvalidConnectionString = 3001;  // arguments of the wrong type or out of range
constexpr long ObjectClosed = 3704;             // operation not allowed when the object is closed
constexpr long ObjectOpen = 3705;               // operation not allowed when the object is open
constexpr long WrongType = 3421;                // value of the wrong type for the operation
constexpr long ValueTooLong = 3708;             // parameter object improperly defined (too long)
constexpr long ItemNotFound = 3265;             // item cannot be found in the collection
constexpr long NoCurrentRecord = 3021;          // BOF or EOF
constexpr long InjectedFault = -2147217900;     // a fault made on purpose by a test
// The connection ended during a commit: whether the transaction took effect is unknown (the
// in-doubt transaction's code).
constexpr long CommitOutcomeUnknown = -2147168234;
}  // namespace DbErrorNumber

}  // namespace xhook::data
