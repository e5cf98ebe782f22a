#include "data/Connection.h"

#include <QScopeGuard>
#include <QStringList>
#include <atomic>
#include <optional>

#include "data/Backend.h"
#include "data/ConnectionPool.h"
#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/ResultSet.h"
#include "data/SqlStatement.h"
#include "data/StatementLog.h"
#include "data/TableAppender.h"
#include "foundation/DiagnosticLog.h"

namespace xhook::data {

namespace {

// Qt keeps its databases by name, process-wide; every connection gets a name of its own.
QString uniqueQtConnectionName() {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("xhook-connection-%1").arg(++counter);
}

void recordProcedureCall(const QString& name, const QList<Parameter>& parameters) {
    QVariantList inputs;
    for (const Parameter& p : parameters)
        if (p.direction != adParamOutput) inputs.append(p.value);
    StatementLog::recordProcedure(name, inputs);
}

// Where a connection goes, for the diagnostic log: the provider, server and database named by the
// connection string, and nothing else of it (no user, no password).
QString destinationForLog(const ConnectionString& cs) {
    QStringList parts{QStringLiteral("provider=") + cs.provider()};
    for (const char* key : {"DSN", "Driver", "Server", "Port", "Service", "Database", "Data Source",
                            "Initial Catalog"}) {
        const QString name = QLatin1String(key);
        if (!cs.value(name).isEmpty()) parts << name.toLower() + '=' + cs.value(name);
    }
    return parts.join(' ');
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection() {
    closeQuietly();
}

void Connection::open() {
    FaultInjection::check(DbCall::Open);
    if (isOpen())
        throw DbError(DbErrorNumber::ObjectOpen,
                      QStringLiteral("operation is not allowed when the object is open (Open)"));
    const ConnectionString cs = ConnectionString::parse(connectionString_);
    if (lcConnection().isDebugEnabled()) destination_ = destinationForLog(cs);
    qCDebug(lcConnection).noquote() << "opening" << destination_;
    bool opened = false;
    const auto noteFailure = qScopeGuard([&] {
        if (!opened) qCDebug(lcConnection).noquote() << "open failed:" << destination_;
    });
    std::unique_ptr<Backend> backend = Backend::forProvider(cs.provider());
    std::unique_ptr<PoolingOptions> pooling;
    if (backend->poolable()) pooling = std::make_unique<PoolingOptions>(PoolingOptions::of(cs));
    if (pooling && !pooling->enabled) pooling.reset();
    const QString poolKey = backend->poolKey(connectionString_);
    std::optional<OpenDatabase> kept;
    if (pooling) kept = ConnectionPool::ofThisThread().take(poolKey, *pooling);
    if (kept) {
        db_ = kept->db;
        qtConnectionName_ = kept->qtConnectionName;
        backend_ = std::move(kept->backend);
        opened_ = kept->opened;
    } else {
        openFresh(cs, std::move(backend));
    }
    opened = true;
    qCDebug(lcConnection).noquote()
        << (kept ? "opened (from the pool)" : "opened") << qtConnectionName_ << destination_;
    pooling_ = std::move(pooling);
    poolKey_ = poolKey;
    inTransaction_ = false;
}

void Connection::openFresh(const ConnectionString& cs, std::unique_ptr<Backend> backend) {
    const QString name = uniqueQtConnectionName();
    db_ = backend->openDatabase(cs, name);
    qtConnectionName_ = name;
    backend_ = std::move(backend);
    opened_ = std::chrono::steady_clock::now();
}

void Connection::close() {
    FaultInjection::check(DbCall::Close);
    closeQuietly();
}

// A transaction still open is rolled back. A pooled database whose session could be reset goes
// to the pool; any other is closed and removed from Qt once no copy of it is left.
void Connection::closeQuietly() noexcept {
    if (!backend_) return;
    if (inTransaction_) rollbackQuietly();
    OpenDatabase database{qtConnectionName_, db_, std::move(backend_), opened_};
    db_ = QSqlDatabase();
    qCDebug(lcConnection).noquote() << "closed" << qtConnectionName_ << destination_;
    qtConnectionName_.clear();
    inTransaction_ = false;
    const std::unique_ptr<PoolingOptions> pooling = std::move(pooling_);
    if (pooling && database.backend->resetSession(database.db))
        ConnectionPool::ofThisThread().give(poolKey_, std::move(database), *pooling);
    else
        closeDatabase(database);
}

void Connection::rollbackQuietly() noexcept {
    try {
        transactions()->rollbackTrans();
    } catch (...) {
        // The transaction ends with the session at the latest.
    }
}

bool Connection::isOpen() const {
    return backend_ != nullptr;
}

void Connection::execute(const QString& sql) {
    execute(sql, {});
}

void Connection::execute(const QString& sql, const QVariantList& boundValues) {
    FaultInjection::check(DbCall::Execute);
    requireOpen("Execute");
    const QString rewritten = backend_->dialectText(sql);
    StatementLog::recordSql(rewritten, boundValues);
    runStatement(db_, rewritten, boundValues);
}

std::unique_ptr<ResultSet> Connection::openResultSet(const QString& sql, RowReading reading) {
    FaultInjection::check(DbCall::OpenResultSet);
    requireOpen("Open result set");
    const QString rewritten = backend_->dialectText(sql);
    StatementLog::recordSql(rewritten);
    return std::make_unique<ResultSet>(runStatement(db_, rewritten, {}, reading), rewritten,
                                       reading);
}

std::unique_ptr<TableAppender> Connection::openTable(const QString& tableName) {
    FaultInjection::check(DbCall::OpenResultSet);
    requireOpen("Open table");
    return std::make_unique<TableAppender>(*this, tableName);
}

void Connection::beginTrans() {
    FaultInjection::check(DbCall::Begin);
    requireOpen("BeginTrans");
    if (inTransaction_)
        throw DbError(DbErrorNumber::Generic,
                      QStringLiteral("a transaction is already open on this connection"));
    transactions()->beginTrans();
    inTransaction_ = true;
}

void Connection::commitTrans() {
    FaultInjection::check(DbCall::Commit);
    requireTransaction("CommitTrans");
    transactions()->commitTrans();
    inTransaction_ = false;
}

// Whatever the rollback answers, the connection is no longer in a transaction afterwards.
void Connection::rollbackTrans() {
    FaultInjection::check(DbCall::Rollback);
    requireTransaction("RollbackTrans");
    inTransaction_ = false;
    transactions()->rollbackTrans();
}

void Connection::runProcedure(const QString& name, QList<Parameter>& parameters) {
    FaultInjection::check(DbCall::RunProcedure);
    requireOpen("Execute procedure");
    recordProcedureCall(name, parameters);
    const QElapsedTimer timer = StatementLog::startTimer();
    backend_->runProcedure(db_, name, parameters, inTransaction_);
    StatementLog::procedureAnswered(timer, name, parameters);
}

QString Connection::textLiteral(const QString& text) {
    requireOpen("text literal");
    return backend_->textLiteral(db_, text);
}

std::unique_ptr<TransactionInterface> Connection::transactions() const {
    return backend_->transactionsOf(db_);
}

std::optional<QList<DeclaredParameter>> Connection::procedureParameters(const QString& name) {
    requireOpen("procedure catalog");
    return backend_->procedureParameters(db_, name);
}

QString Connection::providerName() const {
    return backend_ ? backend_->name() : QString();
}

QSqlDatabase& Connection::database() {
    requireOpen("database");
    return db_;
}

void Connection::requireOpen(const char* operation) const {
    if (!isOpen()) raiseObjectClosed(QStringLiteral("connection: %1").arg(operation));
}

void Connection::requireTransaction(const char* operation) const {
    requireOpen(operation);
    if (!inTransaction_)
        throw DbError(
            DbErrorNumber::Generic,
            QStringLiteral("%1: no transaction is open on this connection").arg(operation));
}

}  // namespace xhook::data
