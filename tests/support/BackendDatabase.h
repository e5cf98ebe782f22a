#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "host/lib/OdbcConnectionString.h"

namespace xhook::test {

// The kinds of host database that a test can run against: a SQLite file, and a database on the
// PostgreSQL server that XHOOK_PG_CONNECTION names (scripts/test starts one and sets it), each
// reached through its own provider or through the ODBC provider (Provider=MSDASQL, with the
// drivers that Debian's odbc-postgresql and libsqliteodbc register).
enum class Backend { SQLite, PostgreSQL, PostgreSQLThroughOdbc, SQLiteThroughOdbc };

// Whether the database is on the PostgreSQL server.
inline bool onServer(Backend backend) {
    return backend == Backend::PostgreSQL || backend == Backend::PostgreSQLThroughOdbc;
}
inline bool throughOdbc(Backend backend) {
    return backend == Backend::PostgreSQLThroughOdbc || backend == Backend::SQLiteThroughOdbc;
}

// The backends, for value-parameterised tests; the instances end in "/SQLite", "/PostgreSQL",
// "/PostgreSQLThroughODBC" and "/SQLiteThroughODBC", so that "--gtest_filter=*/PostgreSQL" picks
// the server's through its own provider. The tests' CMake file gives a program that instantiates
// a suite with one of these macros the label "postgres" for its instances on the server:
//   XHOOK_ON_BOTH_BACKENDS   SQLite and PostgreSQL, each through its own provider
//   XHOOK_ON_EACH_PROVIDER   and PostgreSQL through ODBC as well
//   XHOOK_ON_EVERY_PROVIDER  and SQLite through ODBC as well (SQLite's stored procedures are
//                            native, so only suites that call none run there)
inline auto bothBackends() {
    return ::testing::Values(Backend::SQLite, Backend::PostgreSQL);
}
inline auto eachProvider() {
    return ::testing::Values(Backend::SQLite, Backend::PostgreSQL, Backend::PostgreSQLThroughOdbc);
}
inline auto everyProvider() {
    return ::testing::Values(Backend::SQLite, Backend::PostgreSQL, Backend::PostgreSQLThroughOdbc,
                             Backend::SQLiteThroughOdbc);
}
std::string backendName(const ::testing::TestParamInfo<Backend>& info);
#define XHOOK_ON_BOTH_BACKENDS(suite)                                       \
    INSTANTIATE_TEST_SUITE_P(Backend, suite, ::xhook::test::bothBackends(), \
                             ::xhook::test::backendName)
#define XHOOK_ON_EACH_PROVIDER(suite)                                       \
    INSTANTIATE_TEST_SUITE_P(Backend, suite, ::xhook::test::eachProvider(), \
                             ::xhook::test::backendName)
#define XHOOK_ON_EVERY_PROVIDER(suite)                                       \
    INSTANTIATE_TEST_SUITE_P(Backend, suite, ::xhook::test::everyProvider(), \
                             ::xhook::test::backendName)
void PrintTo(Backend backend, std::ostream* out);

// The server's connection string from XHOOK_PG_CONNECTION; empty when it is not set.
QString postgresServerConnection();
// Why a PostgreSQL test cannot run, for GTEST_SKIP; empty when it can.
QString postgresSkipReason();
// `connectionString` naming another database on the same server.
QString withDatabase(const QString& connectionString, const QString& database);

// The ODBC provider's string for a provider's string (host/lib/OdbcConnectionString.h).
using host::odbcConnectionString;

// A fresh, empty database for one test: a new SQLite file in `folder`, or a new database of its
// own on the PostgreSQL server (dropped again at the end), so that tests run side by side.
class ScratchDatabase {
  public:
    ScratchDatabase(Backend backend, const QString& folder);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    Backend backend() const { return backend_; }
    // The string that the component under test is given: through ODBC where the backend says so.
    const QString& connectionString() const { return connectionString_; }
    // The same database through its own provider, for what a test prepares itself (the host's
    // schema and demo data are made through it).
    const QString& providerConnectionString() const { return providerConnectionString_; }

  private:
    Backend backend_;
    QString connectionString_;
    QString providerConnectionString_;
    QString serverDatabase_;  // the server's database, PostgreSQL only
};

// A connection string of the backend that names a database that does not exist.
QString missingDatabaseConnectionString(Backend backend, const QString& folder);

// A fresh, empty database for each test on the backend of the test's parameter, in `scratch`;
// a PostgreSQL instance without a server is skipped.
class ScratchDatabaseTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    Backend backend() const { return GetParam(); }
    const QString& connectionString() const { return scratch->connectionString(); }
    const QString& providerConnectionString() const { return scratch->providerConnectionString(); }

    QTemporaryDir folder;
    std::unique_ptr<ScratchDatabase> scratch;
};

// Skips the running test when it is to run on PostgreSQL and no server is named.
#define XHOOK_SKIP_WITHOUT_SERVER(backend)                                                      \
    do {                                                                                        \
        if (::xhook::test::onServer(backend) && !::xhook::test::postgresSkipReason().isEmpty()) \
            GTEST_SKIP() << ::xhook::test::postgresSkipReason().toStdString();                  \
    } while (false)

// A fixture that names its backend through a virtual backend(), run on the backend of the test's
// parameter; a PostgreSQL instance without a server is skipped before the fixture's SetUp.
template <typename Fixture>
class OnEachBackend : public Fixture, public ::testing::WithParamInterface<Backend> {
  protected:
    Backend backend() const override { return this->GetParam(); }
    void SetUp() override {
        XHOOK_SKIP_WITHOUT_SERVER(this->GetParam());
        Fixture::SetUp();
    }
};

}  // namespace xhook::test
