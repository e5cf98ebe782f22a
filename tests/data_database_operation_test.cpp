// The scoped transaction and the database operation that every operation on the shared connection
// runs as, on both backends: what each way of ending leaves of the connection, the transaction,
// the operation's objects and its message.
#include <gtest/gtest.h>

#include <QList>
#include <exception>
#include <functional>
#include <new>
#include <stdexcept>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/DatabaseOperation.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/ResultSet.h"
#include "data/Transaction.h"
#include "foundation/Errors.h"
#include "foundation/Messages.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/ErrorCapture.h"

using namespace xhook;
using data::DbError;
using data::FaultInjection;
using data::Transaction;

namespace {

// What a message box saw of the shared connection.
class WatchingMessages : public MessageSink {
  public:
    struct Seen {
        QString text;
        bool connectionOpen;
        bool inTransaction;
    };
    WatchingMessages() : scope_(this) {}
    void show(const QString& text, int, const std::optional<QString>&) override {
        const auto& connection = shared().gConnection;
        seen.append({text, connection != nullptr, connection && connection->inTransaction()});
    }
    QList<Seen> seen;

  private:
    ScopedMessageSink scope_;
};

class TransactionTest : public test::ScratchDatabaseTest {
  protected:
    void SetUp() override {
        ScratchDatabaseTest::SetUp();
        if (IsSkipped()) return;
        FaultInjection::clear();
        connection_ = open();
        connection_->execute("create table t(a integer)");
        shared().DBConnectionString = connectionString();
        shared().gConnection.reset();
    }
    void TearDown() override {
        FaultInjection::clear();
        shared().gConnection.reset();
        shared().DBConnectionString.clear();
    }

    std::unique_ptr<data::Connection> open() {
        auto connection = std::make_unique<data::Connection>();
        connection->setConnectionString(connectionString());
        connection->open();
        return connection;
    }
    // Rows of t, read on a connection of the test's own.
    int rows() {
        auto rows = open()->openResultSet("select count(*) as n from t");
        return rows->value("n").toInt();
    }

    std::unique_ptr<data::Connection> connection_;
};

// How a transaction's scope ends, and whether its row stays.
TEST_P(TransactionTest, RollsBackUnlessCommitted) {
    struct Case {
        const char* name;
        std::function<void(data::Connection&)> scope;  // begins a transaction and inserts a row
        int rowsAfter;
    };
    const auto inserting = [](data::Connection& c, const std::function<void(Transaction&)>& end) {
        Transaction transaction(c);
        EXPECT_TRUE(transaction.isOpen());
        EXPECT_TRUE(c.inTransaction());
        c.execute("insert into t values(1)");
        end(transaction);
    };
    const QList<Case> cases = {
        {"committed",
         [&](data::Connection& c) { inserting(c, [](Transaction& t) { t.commit(); }); }, 1},
        {"left without commit", [&](data::Connection& c) { inserting(c, [](Transaction&) {}); }, 0},
        {"rolled back",
         [&](data::Connection& c) {
             inserting(c, [](Transaction& t) {
                 t.rollback();
                 EXPECT_FALSE(t.isOpen());
                 t.rollback();  // nothing is sent once it has ended
             });
         },
         0},
        {"left by an exception of any kind",
         [&](data::Connection& c) {
             EXPECT_THROW(inserting(c, [](Transaction&) { throw std::bad_alloc(); }),
                          std::bad_alloc);
         },
         0},
        {"whose commit is refused",
         [&](data::Connection& c) {
             inserting(c, [](Transaction& t) {
                 FaultInjection::failCall(1);
                 EXPECT_THROW(t.commit(), DbError);
                 FaultInjection::clear();
                 EXPECT_TRUE(t.isOpen()) << "still to be rolled back";
             });
         },
         0},
        {"whose quiet rollback is refused while an error unwinds it",
         [&](data::Connection& c) {
             try {
                 inserting(c, [](Transaction&) {
                     FaultInjection::failCall(1);
                     throw std::runtime_error("the work failed");
                 });
                 ADD_FAILURE() << "the work's error must pass";
             } catch (const std::runtime_error& error) {
                 EXPECT_STREQ(error.what(), "the work failed") << "the work's own error passes";
             }
             EXPECT_TRUE(FaultInjection::triggered());
             FaultInjection::clear();
             c.close();  // closing ends what the refused rollback left
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection_ = open();
        connection_->execute("delete from t");
        c.scope(*connection_);
        EXPECT_FALSE(connection_->inTransaction());
        EXPECT_EQ(rows(), c.rowsAfter);
    }
}

TEST_P(TransactionTest, AnExplicitRollbackThatIsRefusedRaisesAndEndsTheTransaction) {
    Transaction transaction(*connection_);
    connection_->execute("insert into t values(1)");
    FaultInjection::failCall(1);
    EXPECT_THROW(transaction.rollback(), DbError);
    FaultInjection::clear();
    EXPECT_FALSE(transaction.isOpen()) << "the destructor sends nothing more";
    connection_->close();
    EXPECT_EQ(rows(), 0) << "closing the connection ended the transaction";
}

TEST_P(TransactionTest, ABeginThatIsRefusedLeavesNoTransaction) {
    FaultInjection::failCall(1);
    EXPECT_THROW(Transaction transaction(*connection_), DbError);
    FaultInjection::clear();
    EXPECT_FALSE(connection_->inTransaction());
    Transaction next(*connection_);
    EXPECT_TRUE(next.isOpen());
}

XHOOK_ON_EVERY_PROVIDER(TransactionTest);

// The operation's work begins a transaction, inserts a row and then ends as the case says.
class DatabaseOperationTest : public TransactionTest {
  protected:
    struct Run {
        bool result = false;
        int released = 0;
    };
    Run runOperation(const std::function<void(DatabaseOperation&)>& end) {
        Run run;
        DatabaseOperation operation(
            [](const QString& description) { showMessage(description, MessageNoIcon); },
            [&] { ++run.released; });
        run.result = operation.run([&](DatabaseOperation& op) {
            op.beginTransaction();
            op.connection().execute("insert into t values(1)");
            end(op);
        });
        return run;
    }
};

TEST_P(DatabaseOperationTest, EveryEndClosesTheConnection) {
    enum class Outcome { Completed, Shown, PassedOut };
    struct Case {
        const char* name;
        std::function<void(DatabaseOperation&)> end;
        Outcome outcome;
        int rowsAfter;
    };
    const QList<Case> cases = {
        {"committed", [](DatabaseOperation& op) { op.commitTransaction(); }, Outcome::Completed, 1},
        {"committed and finished by the work",
         [](DatabaseOperation& op) {
             op.commitTransaction();
             op.finish();
             EXPECT_EQ(shared().gConnection, nullptr);
         },
         Outcome::Completed, 1},
        {"ended without commit", [](DatabaseOperation&) {}, Outcome::Completed, 0},
        {"a component error",
         [](DatabaseOperation&) { raiseTypeMismatch(QStringLiteral("the work")); }, Outcome::Shown,
         0},
        {"a database error",
         [](DatabaseOperation& op) { op.connection().execute("select * from missing_table"); },
         Outcome::Shown, 0},
        {"std::bad_alloc", [](DatabaseOperation&) { throw std::bad_alloc(); }, Outcome::PassedOut,
         0},
        {"std::runtime_error", [](DatabaseOperation&) { throw std::runtime_error("foreign"); },
         Outcome::PassedOut, 0},
        {"an exception of no standard type", [](DatabaseOperation&) { throw 42; },
         Outcome::PassedOut, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection_->execute("delete from t");
        WatchingMessages messages;
        Run run;
        bool passedOut = false;
        try {
            run = runOperation(c.end);
        } catch (...) {
            passedOut = true;
        }
        EXPECT_EQ(shared().gConnection, nullptr) << "no connection is left behind";
        EXPECT_EQ(rows(), c.rowsAfter);
        EXPECT_EQ(passedOut, c.outcome == Outcome::PassedOut);
        EXPECT_EQ(run.result, c.outcome == Outcome::Completed);
        if (!passedOut) {
            EXPECT_GE(run.released, 1) << "the objects are released";
        }
        if (c.outcome == Outcome::Shown) {
            ASSERT_EQ(messages.seen.size(), 1);
            EXPECT_TRUE(messages.seen[0].connectionOpen) << "shown before the close";
            EXPECT_TRUE(messages.seen[0].inTransaction) << "and before the rollback";
        } else {
            EXPECT_TRUE(messages.seen.isEmpty());
        }
    }
}

// A failure to open reaches the caller before the failure handling is armed.
TEST_P(DatabaseOperationTest, AFailedOpenReachesTheCaller) {
    shared().DBConnectionString = test::missingDatabaseConnectionString(backend(), folder.path());
    WatchingMessages messages;
    bool worked = false;
    DatabaseOperation operation([](const QString& d) { showMessage(d, MessageNoIcon); }, [] {});
    EXPECT_THROW(operation.run([&](DatabaseOperation&) { worked = true; }), DbError);
    EXPECT_FALSE(worked);
    EXPECT_TRUE(messages.seen.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

// The close of the normal path is the work's own when the work finishes, else the caller's.
TEST_P(DatabaseOperationTest, AFailedCloseIsShownOnlyWhenTheWorkFinishes) {
    for (const bool finishedByWork : {true, false}) {
        SCOPED_TRACE(finishedByWork ? "finished by the work" : "finished by the operation");
        connection_->execute("delete from t");
        WatchingMessages messages;
        bool passedOut = false;
        Run run;
        try {
            run = runOperation([&](DatabaseOperation& op) {
                op.commitTransaction();
                FaultInjection::failCall(1);  // the close
                if (finishedByWork) op.finish();
            });
        } catch (const DbError& error) {
            passedOut = error.number() == data::DbErrorNumber::InjectedFault;
        }
        FaultInjection::clear();
        EXPECT_EQ(shared().gConnection, nullptr);
        EXPECT_EQ(passedOut, !finishedByWork);
        EXPECT_FALSE(run.result);
        ASSERT_EQ(messages.seen.size(), finishedByWork ? 1 : 0);
        if (finishedByWork) {
            EXPECT_FALSE(messages.seen[0].connectionOpen);
        }
        EXPECT_EQ(rows(), 1) << "committed before the close";
    }
}

// A rollback that fails in the failure handling passes out after the message, and the connection
// is closed all the same.
TEST_P(DatabaseOperationTest, AFailedRollbackPassesOutAfterTheMessage) {
    WatchingMessages messages;
    const DbError error = test::raisedBy<DbError>([&] {
        runOperation([](DatabaseOperation&) {
            FaultInjection::failCalls({1, 2});  // the statement, then the rollback
            shared().gConnection->execute("insert into t values(2)");
        });
    });
    FaultInjection::clear();
    EXPECT_EQ(error.number(), data::DbErrorNumber::InjectedFault);
    EXPECT_TRUE(error.description().contains("Rollback")) << error.description().toStdString();
    ASSERT_EQ(messages.seen.size(), 1);
    EXPECT_TRUE(messages.seen[0].inTransaction);
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(rows(), 0) << "closing the connection ended the transaction";
}

XHOOK_ON_EVERY_PROVIDER(DatabaseOperationTest);

}  // namespace
