#include "tests/support/BackendDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <atomic>

#include "data/Connection.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/OdbcConnectionString.h"

namespace xhook::test {

namespace {

constexpr const char* kServerVariable = "XHOOK_PG_CONNECTION";

// A database name of the test's own: process id and a counter keep parallel runs apart.
QString freshDatabaseName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("xhook_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

// Runs one statement on the server's own database, outside any transaction.
void runOnServer(const QString& sql) {
    data::Connection server;
    server.setConnectionString(postgresServerConnection());
    server.open();
    server.execute(sql);
}

}  // namespace

std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    switch (info.param) {
        case Backend::SQLite:
            return "SQLite";
        case Backend::PostgreSQL:
            return "PostgreSQL";
        case Backend::PostgreSQLThroughOdbc:
            return "PostgreSQLThroughODBC";
        case Backend::SQLiteThroughOdbc:
            return "SQLiteThroughODBC";
    }
    return "unknown";
}

void PrintTo(Backend backend, std::ostream* out) {
    *out << backendName(::testing::TestParamInfo<Backend>(backend, 0));
}

QString postgresServerConnection() {
    return qEnvironmentVariable(kServerVariable);
}

QString postgresSkipReason() {
    if (!postgresServerConnection().isEmpty()) return {};
    return QStringLiteral("%1 is not set; scripts/test starts a PostgreSQL test server and sets it")
        .arg(kServerVariable);
}

QString withDatabase(const QString& connectionString, const QString& database) {
    static const QRegularExpression item(QStringLiteral("(^|;)\\s*Database\\s*=[^;]*"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString text = connectionString;
    if (text.contains(item))
        text.replace(item, QStringLiteral("\\1Database=") + database);
    else
        text += QStringLiteral(";Database=") + database;
    return text;
}

ScratchDatabase::ScratchDatabase(Backend backend, const QString& folder) : backend_(backend) {
    if (!onServer(backend)) {
        const QString path = folder + QStringLiteral("/host.db");
        QFile::remove(path);
        providerConnectionString_ = host::sqliteConnectionString(path);
        data::Connection create;
        create.setConnectionString(providerConnectionString_ +
                                   QStringLiteral(";Mode=ReadWriteCreate"));
        create.open();
    } else {
        serverDatabase_ = freshDatabaseName();
        runOnServer(QStringLiteral("create database %1").arg(serverDatabase_));
        providerConnectionString_ = withDatabase(postgresServerConnection(), serverDatabase_);
    }
    connectionString_ = throughOdbc(backend) ? host::odbcConnectionString(providerConnectionString_)
                                             : providerConnectionString_;
}

QString missingDatabaseConnectionString(Backend backend, const QString& folder) {
    const QString provider =
        onServer(backend)
            ? withDatabase(postgresServerConnection(), QStringLiteral("xhook_no_such_database"))
            : host::sqliteConnectionString(folder + QStringLiteral("/missing.db"));
    return throughOdbc(backend) ? host::odbcConnectionString(provider) : provider;
}

void ScratchDatabaseTest::SetUp() {
    XHOOK_SKIP_WITHOUT_SERVER(GetParam());
    scratch = std::make_unique<ScratchDatabase>(GetParam(), folder.path());
}

// A session that a test left open does not keep the database alive.
ScratchDatabase::~ScratchDatabase() {
    if (serverDatabase_.isEmpty()) return;
    try {
        runOnServer(QStringLiteral("drop database if exists %1 with (force)").arg(serverDatabase_));
    } catch (const std::exception& error) {
        ADD_FAILURE() << "could not drop " << serverDatabase_.toStdString() << ": " << error.what();
    }
}

}  // namespace xhook::test
