// The connection pool of the PostgreSQL and the ODBC providers, on a server of the test's own,
// reached directly and through the latency proxy, through each provider: each operation still opens
// and closes its connection, but a pooled one keeps the server session for the next; a session that
// the server or the network has ended meanwhile costs the next operation nothing but a fresh
// connection; a server that stops during an operation still fails it with its own message;
// Pooling=false opens a session per operation.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "bench/proxy/LatencyProxy.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ConnectionPool.h"
#include "data/DbError.h"
#include "data/GridLayoutStore.h"
#include "host/lib/DemoDatabase.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/OwnServer.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "window/FlexGrid.h"

using namespace xhook;
using namespace xhook::test;

namespace {

using std::chrono::milliseconds;

const QString kSessionStarted = QStringLiteral("connection authorized");

// The server directly or through the latency proxy, each through the PostgreSQL provider or
// through ODBC (psqlODBC).
enum class Route { Direct, Proxy, DirectThroughOdbc, ProxyThroughOdbc };

bool throughProxy(Route route) {
    return route == Route::Proxy || route == Route::ProxyThroughOdbc;
}

bool routeThroughOdbc(Route route) {
    return route == Route::DirectThroughOdbc || route == Route::ProxyThroughOdbc;
}

std::string routeName(const ::testing::TestParamInfo<Route>& info) {
    return std::string(throughProxy(info.param) ? "Proxy" : "Direct") +
           (routeThroughOdbc(info.param) ? "ThroughODBC" : "");
}

class PoolingTest : public ReconcileWindowFixture, public ::testing::WithParamInterface<Route> {
  protected:
    // One server for the suite: starting one takes seconds.
    static void SetUpTestSuite() {
        server_ = new OwnServer;
        if (!server_->started()) return;
        runOnServer("alter system set log_connections = on");
        runOnServer("select pg_reload_conf()");
    }
    static void TearDownTestSuite() {
        data::ConnectionPool::ofThisThread().clear();
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ReconcileWindowFixture::SetUp();
        ASSERT_TRUE(server.started()) << "scripts/pg-test-server could not start a server";
        data::ConnectionPool::ofThisThread().clear();
        host::createDemoDatabase(unpooled(), {}, true);
        if (throughProxy(GetParam())) {
            proxy = std::make_unique<bench::LatencyProxy>(
                bench::LatencyProxy::unixSocketOf(server.connectionString()), milliseconds(2));
            base = bench::LatencyProxy::throughProxy(server.connectionString(), proxy->port());
        } else {
            base = server.connectionString();
        }
        if (routeThroughOdbc(GetParam())) base = odbcConnectionString(base);
        shared().DBConnectionString = base;
    }

    void TearDown() override {
        data::ConnectionPool::ofThisThread().clear();
        ReconcileWindowFixture::TearDown();
    }

    // A statement on a connection of its own, outside the pool.
    static void runOnServer(const QString& sql) {
        data::Connection connection;
        connection.setConnectionString(unpooled());
        connection.open();
        connection.execute(sql);
    }

    static QString unpooled() { return server_->connectionString() + ";Pooling=false"; }

    // The layout's rows as stored, read outside the pool.
    static qsizetype storedRows(const QString& name, int type) {
        return storedLayout(unpooled(), name, type).size();
    }

    // One database operation of the window: the invoice grid's layout load (none is stored, so
    // it writes the type-0 record). It succeeds without a message and leaves no connection.
    void expectLayoutLoadSucceeds() {
        messages.messages.clear();
        FlexGrid grid("vsf1");
        grid.setColCount(5);
        EXPECT_FALSE(LoadGridLayout("XSGJA", grid, 1));
        EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.value(0).text.toStdString();
        EXPECT_EQ(shared().gConnection, nullptr);
    }

    int sessionsStarted() const { return server.logCount(kSessionStarted); }

    static inline OwnServer* server_ = nullptr;
    OwnServer& server = *server_;
    std::unique_ptr<bench::LatencyProxy> proxy;
    QString base;  // the connection string of the test's route
};

TEST_P(PoolingTest, OperationsShareOneSessionAndPoolingFalseOpensOneEach) {
    struct Case {
        const char* setting;
        int sessionsForThreeOperations;
    };
    for (const Case& c : {Case{"", 1}, Case{";Pooling=false", 3}, Case{";pooling=False", 3},
                          Case{";Pooling=true;Connection Idle Lifetime=60", 1}}) {
        SCOPED_TRACE(c.setting);
        data::ConnectionPool::ofThisThread().clear();
        shared().DBConnectionString = base + c.setting;
        const int before = sessionsStarted();
        for (int operation = 0; operation < 3; ++operation) expectLayoutLoadSucceeds();
        // The server writes its log line as the session starts; give it a moment to land.
        std::this_thread::sleep_for(milliseconds(200));
        EXPECT_EQ(sessionsStarted() - before, c.sessionsForThreeOperations);
    }
}

// However the pooled session ended between two operations, the next operation succeeds.
TEST_P(PoolingTest, APooledSessionThatEndedCostsTheNextOperationNothing) {
    struct Case {
        const char* how;
        std::function<void()> end;
    };
    QList<Case> cases = {
        {"the server restarted",
         [&] {
             server.stop();
             ASSERT_TRUE(server.resume());
         }},
        {"the server crashed and came back",
         [&] {
             server.crash();
             ASSERT_TRUE(server.resume());
         }},
        {"the server ended the idle session",
         [&] {
             runOnServer(
                 "select pg_terminate_backend(pid) from pg_stat_activity "
                 "where datname = current_database() and pid <> pg_backend_pid()");
             std::this_thread::sleep_for(milliseconds(100));
         }},
    };
    if (proxy) cases.append({"the network cut the connection", [&] { proxy->cutConnections(); }});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        expectLayoutLoadSucceeds();
        ASSERT_EQ(data::ConnectionPool::ofThisThread().idleCount(), 1);
        c.end();
        expectLayoutLoadSucceeds();
        EXPECT_EQ(storedRows("XSGJA", 0), 5);
    }
}

// Kept sessions unused longer than the idle lifetime are closed instead of taken.
TEST_P(PoolingTest, AnIdleSessionIsKeptNoLongerThanItsIdleLifetime) {
    shared().DBConnectionString = base + ";Connection Idle Lifetime=1";
    expectLayoutLoadSucceeds();
    const int before = sessionsStarted();
    std::this_thread::sleep_for(milliseconds(1100));
    expectLayoutLoadSucceeds();
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(sessionsStarted() - before, 1);
}

// Refused before any server is reached.
TEST(PoolingOptions, ABadPoolingValueIsRefusedNamingItsKey) {
    for (const char* setting :
         {";Pooling=maybe", ";Connection Lifetime=-1", ";Connection Idle Lifetime=soon"}) {
        data::Connection connection;
        connection.setConnectionString(
            QStringLiteral("Provider=PostgreSQL;Server=/nowhere;Database=none") + setting);
        const data::DbError error = raisedBy<data::DbError>([&] { connection.open(); });
        const QString key = QString(setting).mid(1).section('=', 0, 0);
        EXPECT_TRUE(error.description().contains(key)) << error.what();
        EXPECT_EQ(error.number(), data::DbErrorNumber::InvalidConnectionString);
        EXPECT_FALSE(connection.isOpen());
    }
}

// A transaction left open by a connection is rolled back before its session is kept: the next
// connection's work is not part of it.
TEST_P(PoolingTest, AKeptSessionComesBackWithoutTheTransactionLeftOpen) {
    {
        data::Connection first;
        first.setConnectionString(shared().DBConnectionString);
        first.open();
        first.beginTrans();
        first.execute("delete from t_GS_tableinfo");
        first.execute(
            "insert into t_GS_tableinfo(ftablename,fwidth,fsequence,ftype) "
            "values('LEFT',1,0,0)");
    }
    ASSERT_EQ(data::ConnectionPool::ofThisThread().idleCount(), 1);
    data::Connection second;
    second.setConnectionString(shared().DBConnectionString);
    second.open();
    EXPECT_EQ(data::ConnectionPool::ofThisThread().idleCount(), 0) << "the kept session is taken";
    second.execute(
        "insert into t_GS_tableinfo(ftablename,fwidth,fsequence,ftype) "
        "values('NEXT',1,0,0)");
    second.close();
    EXPECT_EQ(storedRows("LEFT", 0), 0);
    EXPECT_EQ(storedRows("NEXT", 0), 1);
}

// The server stops while the layout save waits for a lock on a pooled session: the save shows
// its own message, leaves no connection, and the next save succeeds once the server is back.
TEST_P(PoolingTest, AServerStoppingDuringAnOperationFailsItWithItsOwnMessage) {
    FlexGrid grid("vsf1");
    grid.setColCount(4);
    ASSERT_TRUE(SaveGridLayout("XSGJA", grid, 1));
    data::Connection other;
    other.setConnectionString(unpooled());
    other.open();
    other.beginTrans();
    other.execute("delete from t_GS_tableinfo where ftablename='XSGJA'");
    std::jthread crash([this] {
        std::this_thread::sleep_for(milliseconds(800));
        server.crash();
    });
    EXPECT_FALSE(SaveGridLayout("XSGJA", grid, 1));
    crash.join();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].text.contains("server", Qt::CaseInsensitive))
        << messages.messages[0].text.toStdString();
    EXPECT_EQ(shared().gConnection, nullptr);
    other.close();

    ASSERT_TRUE(server.resume());
    messages.messages.clear();
    EXPECT_TRUE(SaveGridLayout("XSGJA", grid, 1));
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Route, PoolingTest,
                         ::testing::Values(Route::Direct, Route::Proxy, Route::DirectThroughOdbc,
                                           Route::ProxyThroughOdbc),
                         routeName);

}  // namespace
