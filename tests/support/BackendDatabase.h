#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace xhook::test {

// The two kinds of host database that a test can run against: a SQLite file, and a database on
// the PostgreSQL server that XHOOK_PG_CONNECTION names (scripts/test starts one and sets it).
enum class Backend { SQLite, PostgreSQL };

// Both backends, for value-parameterised tests; the instances end in "/SQLite" and
// "/PostgreSQL", so that "--gtest_filter=*/PostgreSQL" picks the server's. The tests' CMake file
// gives a program that instantiates a suite with XHOOK_ON_BOTH_BACKENDS the label "postgres"
// for its PostgreSQL instances.
inline auto bothBackends() {
    return ::testing::Values(Backend::SQLite, Backend::PostgreSQL);
}
std::string backendName(const ::testing::TestParamInfo<Backend>& info);
#define XHOOK_ON_BOTH_BACKENDS(suite)                                       \
    INSTANTIATE_TEST_SUITE_P(Backend, suite, ::xhook::test::bothBackends(), \
                             ::xhook::test::backendName)
void PrintTo(Backend backend, std::ostream* out);

// The server's connection string from XHOOK_PG_CONNECTION; empty when it is not set.
QString postgresServerConnection();
// Why a PostgreSQL test cannot run, for GTEST_SKIP; empty when it can.
QString postgresSkipReason();
// `connectionString` naming another database on the same server.
QString withDatabase(const QString& connectionString, const QString& database);

// A fresh, empty database for one test: a new SQLite file in `folder`, or a new database of its
// own on the PostgreSQL server (dropped again at the end), so that tests run side by side.
class ScratchDatabase {
  public:
    ScratchDatabase(Backend backend, const QString& folder);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    Backend backend() const { return backend_; }
    const QString& connectionString() const { return connectionString_; }

  private:
    Backend backend_;
    QString connectionString_;
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

    QTemporaryDir folder;
    std::unique_ptr<ScratchDatabase> scratch;
};

// Skips the running test when it is to run on PostgreSQL and no server is named.
#define XHOOK_SKIP_WITHOUT_SERVER(backend)                                     \
    do {                                                                       \
        if ((backend) == ::xhook::test::Backend::PostgreSQL &&                 \
            !::xhook::test::postgresSkipReason().isEmpty())                    \
            GTEST_SKIP() << ::xhook::test::postgresSkipReason().toStdString(); \
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
