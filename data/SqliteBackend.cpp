#include "data/SqliteBackend.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QStringList>
#include <optional>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/NativeProcedures.h"
#include "data/SqlStatement.h"
#include "data/Transaction.h"
#include "foundation/VisibleText.h"

namespace xhook::data {

namespace {

constexpr int kBusyTimeoutMs = 5000;

const QStringList kKnownKeys = {QStringLiteral("Data Source"), QStringLiteral("Mode")};

enum class OpenMode { ReadWrite, Read, ReadWriteCreate };

OpenMode openModeOf(const ConnectionString& cs) {
    const QString mode = cs.value(QStringLiteral("Mode"), QStringLiteral("ReadWrite"));
    if (mode.compare(u"ReadWrite", Qt::CaseInsensitive) == 0) return OpenMode::ReadWrite;
    if (mode.compare(u"Read", Qt::CaseInsensitive) == 0) return OpenMode::Read;
    if (mode.compare(u"ReadWriteCreate", Qt::CaseInsensitive) == 0)
        return OpenMode::ReadWriteCreate;
    throw DbError(DbErrorNumber::InvalidConnectionString,
                  QStringLiteral("unknown Mode '%1' (expected ReadWrite, Read or ReadWriteCreate)")
                      .arg(visibleText(mode)));
}

QString connectOptions(OpenMode mode) {
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (mode == OpenMode::Read) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    return options;
}

// Opens the added database; reading the schema makes a file that is no database fail here.
std::optional<DbError> openError(QSqlDatabase& db, const QString& path, OpenMode mode) {
    if (!db.isValid())
        return DbError(DbErrorNumber::ProviderNotFound,
                       QStringLiteral("Qt's SQLite driver (QSQLITE) is not available"));
    db.setDatabaseName(path);
    db.setConnectOptions(connectOptions(mode));
    const QString context = QStringLiteral("opening database '%1'").arg(visibleText(path));
    if (!db.open()) return DbError::fromSqlError(db.lastError(), context);
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
        return DbError::fromSqlError(probe.lastError(), context);
    return std::nullopt;
}

// Copies that the procedure works on: inputs bound to their types, outputs without a value.
QList<Parameter> callParameters(const QList<Parameter>& parameters) {
    QList<Parameter> call = parameters;
    for (Parameter& p : call)
        p.value = p.direction == adParamOutput ? QVariant() : boundInputValue(p);
    return call;
}

bool isOutput(const Parameter& p) {
    return p.direction == adParamOutput || p.direction == adParamInputOutput;
}

// The procedure's answers, held to the declared types and sizes as inputs are.
void checkAnswers(QList<Parameter>& call) {
    for (Parameter& p : call)
        if (isOutput(p)) p.value = boundInputValue(p);
}

void copyAnswers(const QList<Parameter>& call, QList<Parameter>& parameters) {
    for (qsizetype i = 0; i < parameters.size(); ++i)
        if (isOutput(parameters[i])) parameters[i].value = call[i].value;
}

// An error of the procedure's own code keeps its number and description as a DbError.
void runNative(const NativeProcedure& procedure, QSqlDatabase& db, QList<Parameter>& call) {
    try {
        procedure(db, call);
    } catch (const DbError&) {
        throw;
    } catch (const ComponentError& error) {
        throw DbError(error.number(), error.description());
    }
    checkAnswers(call);
}

}  // namespace

QSqlDatabase SqliteBackend::openDatabase(const ConnectionString& cs,
                                         const QString& qtConnectionName) {
    cs.refuseUnknownKeys(kKnownKeys, name());
    const QString path = cs.required(QStringLiteral("Data Source"));
    const OpenMode mode = openModeOf(cs);
    if (mode != OpenMode::ReadWriteCreate && !QFileInfo::exists(path))
        throw DbError(DbErrorNumber::Generic,
                      QStringLiteral("database file '%1' does not exist").arg(visibleText(path)));
    return addAndOpen(QStringLiteral("QSQLITE"), qtConnectionName,
                      [&](QSqlDatabase& db) { return openError(db, path, mode); });
}

QString SqliteBackend::textLiteral(QSqlDatabase& db, const QString& text) {
    QSqlField field(QString(), QMetaType(QMetaType::QString));
    field.setValue(text);
    return db.driver()->formatValue(field);
}

void SqliteBackend::runProcedure(QSqlDatabase& db, const QString& name,
                                 QList<Parameter>& parameters, bool inTransaction) {
    const NativeProcedure procedure = findNativeProcedure(name);
    if (!procedure)
        throw DbError(DbErrorNumber::Generic,
                      QStringLiteral("could not find stored procedure '%1'").arg(name));
    QList<Parameter> call = callParameters(parameters);
    if (inTransaction) {
        runNative(procedure, db, call);
    } else {
        StatementTransactions transactions(db, beginStatement());
        Transaction transaction(transactions);
        runNative(procedure, db, call);
        FaultInjection::check(DbCall::Commit);
        transaction.commit();
    }
    copyAnswers(call, parameters);
}

// The procedures that the host registered, with the parameters it declared for them.
std::optional<QList<DeclaredParameter>> SqliteBackend::procedureParameters(QSqlDatabase&,
                                                                           const QString& name) {
    return nativeProcedureParameters(name);
}

}  // namespace xhook::data
