// The shared connection's life cycle: OpenConnection and CloseConnection on gConnection.
#include <gtest/gtest.h>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/ResultSet.h"
#include "data/SharedConnection.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"

using namespace xhook;
using data::DbError;
using data::FaultInjection;
namespace DbErrorNumber = data::DbErrorNumber;
using test::raisedBy;

namespace {

class SharedConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FaultInjection::clear();
        path = dir.file("host.db");
        data::Connection setup;
        setup.setConnectionString("Provider=SQLite;Data Source=" + path + ";Mode=ReadWriteCreate");
        setup.open();
        setup.execute("create table t(a integer)");
        shared().DBConnectionString = "Provider=SQLite;Data Source=" + path;
    }
    void TearDown() override {
        FaultInjection::clear();
        shared().gConnection.reset();
        shared().DBConnectionString.clear();
    }

    test::TempDir dir;
    QString path;
};

}  // namespace

TEST_F(SharedConnectionTest, OpenConfiguresAndOpensOnceAndCloseReleases) {
    EXPECT_TRUE(OpenConnection());
    ASSERT_NE(shared().gConnection, nullptr);
    data::Connection* connection = shared().gConnection.get();
    EXPECT_TRUE(connection->isOpen());
    EXPECT_EQ(connection->connectionString(), shared().DBConnectionString);

    FaultInjection::failCall(1000);  // only counts: a second open would be seen
    EXPECT_TRUE(OpenConnection());
    EXPECT_EQ(shared().gConnection.get(), connection);
    EXPECT_EQ(FaultInjection::callsSeen(), 0);

    CloseConnection();
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(FaultInjection::callsSeen(), 1);
    EXPECT_NO_THROW(CloseConnection());
    EXPECT_EQ(FaultInjection::callsSeen(), 1);
}

TEST_F(SharedConnectionTest, AFailedOpenLeavesNoneAndTheNextOneTriesAgain) {
    shared().DBConnectionString.clear();
    const DbError empty = raisedBy<DbError>([] { OpenConnection(); });
    EXPECT_EQ(empty.number(), DbErrorNumber::ProviderNotFound);
    EXPECT_EQ(shared().gConnection, nullptr);

    shared().DBConnectionString = "Provider=SQLite;Data Source=" + dir.file("absent.db");
    EXPECT_THROW(OpenConnection(), DbError);
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_NO_THROW(CloseConnection());

    shared().DBConnectionString = "Provider=SQLite;Data Source=" + path;
    EXPECT_TRUE(OpenConnection());
    EXPECT_TRUE(shared().gConnection->isOpen());
    shared().gConnection->execute("insert into t values(1)");
    CloseConnection();
}

TEST_F(SharedConnectionTest, CloseReleasesEvenAConnectionThatIsNotOpenOrFailsToClose) {
    shared().gConnection = std::make_unique<data::Connection>();
    EXPECT_NO_THROW(CloseConnection());
    EXPECT_EQ(shared().gConnection, nullptr);

    ASSERT_TRUE(OpenConnection());
    shared().gConnection->beginTrans();
    shared().gConnection->execute("insert into t values(7)");
    FaultInjection::failCall(1);
    EXPECT_EQ(raisedBy<DbError>([] { CloseConnection(); }).number(), DbErrorNumber::InjectedFault);
    EXPECT_EQ(shared().gConnection, nullptr);
    FaultInjection::clear();

    // The released connection gave up its lock and its transaction.
    ASSERT_TRUE(OpenConnection());
    shared().gConnection->beginTrans();
    auto rows = shared().gConnection->openResultSet("select count(*) from t");
    EXPECT_EQ(rows->value(0).toInt(), 0);
    rows.reset();
    shared().gConnection->commitTrans();
    CloseConnection();
}
