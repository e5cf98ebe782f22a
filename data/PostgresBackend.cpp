#include "data/PostgresBackend.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/PostgresEncryption.h"
#include "data/PostgresOptions.h"
#include "data/PostgresProcedureCatalog.h"
#include "data/PostgresSession.h"
#include "data/SqlStatement.h"
#include "data/Transaction.h"

namespace xhook::data {

namespace {

std::optional<DbError> openError(QSqlDatabase& db, const PostgresOptions& options) {
    if (!db.isValid())
        return DbError(DbErrorNumber::ProviderNotFound,
                       QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not available"));
    options.applyTo(db);
    db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!db.open()) return DbError::fromSqlError(db.lastError(), options.describe());
    return unencryptedSessionRefusal(db, options);
}

bool isOutput(const Parameter& p) {
    return p.direction == adParamOutput || p.direction == adParamInputOutput;
}

QString sqlTypeOf(const Parameter& p) {
    return p.type == adBigInt ? QStringLiteral("bigint") : QStringLiteral("varchar");
}

// What the call passes for a parameter: its checked input value, or NULL for an output only.
QVariant callValue(const Parameter& p) {
    Parameter passed = p;
    if (p.direction == adParamOutput) passed.value = QVariant();
    return boundInputValue(passed);
}

// The server does not prepare CALL, so the values go into the text as literals, each cast to its
// declared type so that overloads resolve: a text escaped by the client library for the session,
// a number or NULL as the driver writes it.
QString literalOf(QSqlDatabase& db, const Parameter& p) {
    const QVariant value = callValue(p);
    if (value.typeId() == QMetaType::QString && !value.isNull())
        return postgresTextLiteral(db, value.toString()) + "::" + sqlTypeOf(p);
    QSqlField field(p.name, value.metaType());
    field.setValue(value);
    return db.driver()->formatValue(field) + "::" + sqlTypeOf(p);
}

// Unquoted names fold to lower case on the server; the name is folded the same way and quoted,
// so that nothing but a name reaches the statement.
QString callStatement(QSqlDatabase& db, const QString& name, const QList<Parameter>& parameters) {
    const QSqlDriver& driver = *db.driver();
    QStringList arguments;
    for (const Parameter& p : parameters) arguments << literalOf(db, p);
    return QStringLiteral("CALL %1(%2)")
        .arg(driver.escapeIdentifier(name.toLower(), QSqlDriver::TableName),
             arguments.join(QStringLiteral(", ")));
}

// The answer of an output: the column of its name in the CALL's row, else the one at its
// position among the outputs. Held to the declared type and size as an input is.
QVariant answerOf(const QSqlRecord& row, const Parameter& p, int outputPosition) {
    int column = row.indexOf(p.name);
    if (column < 0) column = outputPosition;
    if (column >= row.count())
        throw DbError(
            DbErrorNumber::Generic,
            QStringLiteral("the procedure returned no value for the output '%1'").arg(p.name));
    Parameter answer = p;
    answer.value = row.value(column);
    return boundInputValue(answer);
}

// The parameters change only once every answer has been read and checked.
void readAnswers(QSqlQuery& query, const QString& name, QList<Parameter>& parameters) {
    const bool hasOutputs = std::any_of(parameters.cbegin(), parameters.cend(), isOutput);
    if (!hasOutputs) return;
    if (!query.next())
        throw DbError(DbErrorNumber::Generic,
                      QStringLiteral("the procedure '%1' returned no output values").arg(name));
    const QSqlRecord row = query.record();
    QList<QVariant> answers;
    int outputPosition = 0;
    for (const Parameter& p : parameters)
        if (isOutput(p)) answers << answerOf(row, p, outputPosition++);
    outputPosition = 0;
    for (Parameter& p : parameters)
        if (isOutput(p)) p.value = answers[outputPosition++];
}

// Runs the CALL and reads its answers.
void callProcedure(QSqlDatabase& db, const QString& name, QList<Parameter>& parameters) {
    QSqlQuery query = runStatement(db, callStatement(db, name, parameters));
    readAnswers(query, name, parameters);
}

// A commit that the server refuses leaves the session alive and the transaction rolled back. One
// that fails because the connection ended may have taken effect on the server or not: nobody can
// tell from here, and it is raised as such, never as the server's error alone.
void commitProcedure(Transaction& transaction, const QSqlDatabase& db, const QString& name) {
    FaultInjection::check(DbCall::Commit);
    try {
        transaction.commit();
    } catch (const DbError& error) {
        if (postgresTransactionState(db) != PostgresTransaction::Unknown) throw;
        throw DbError(DbErrorNumber::CommitOutcomeUnknown,
                      QStringLiteral("the connection ended during the commit of the procedure "
                                     "'%1': whether its work took effect is unknown (%2)")
                          .arg(name, error.description()),
                      error.nativeCode());
    }
}

}  // namespace

// The connection string is checked before a database is added, so that a refused key or value
// is reported as such even where the driver is missing; the session, once open, is checked for
// the encryption that its SSL mode asks for. A refused session is closed again and never kept.
QSqlDatabase PostgresBackend::openDatabase(const ConnectionString& cs,
                                           const QString& qtConnectionName) {
    const PostgresOptions options(cs);
    return addAndOpen(QStringLiteral("QPSQL"), qtConnectionName,
                      [&](QSqlDatabase& db) { return openError(db, options); });
}

// Without an open transaction the call gets one of its own, so that answers refused here (an
// output longer than its size) leave nothing of the procedure's work behind. That transaction is
// read committed: the procedure serializes its work with others by the locks it takes itself,
// and sees what another call committed while it waited for them.
void PostgresBackend::runProcedure(QSqlDatabase& db, const QString& name,
                                   QList<Parameter>& parameters, bool inTransaction) {
    if (inTransaction) {
        callProcedure(db, name, parameters);
        return;
    }
    StatementTransactions transactions(db, QStringLiteral("BEGIN ISOLATION LEVEL READ COMMITTED"));
    Transaction transaction(transactions);
    callProcedure(db, name, parameters);
    commitProcedure(transaction, db, name);
}

QString PostgresBackend::textLiteral(QSqlDatabase& db, const QString& text) {
    return postgresTextLiteral(db, text);
}

QString PostgresBackend::poolKey(const QString& connectionString) const {
    return connectionString + '\n' + postgresClientEnvironment();
}

std::optional<QList<DeclaredParameter>> PostgresBackend::procedureParameters(QSqlDatabase& db,
                                                                             const QString& name) {
    return postgresProcedureParameters(db, name);
}

bool PostgresBackend::stillConnected(QSqlDatabase& db) {
    return postgresSessionAlive(db);
}

// Only a transaction is left behind by the component's work: it runs no SET, LISTEN or PREPARE
// that outlives its statement.
bool PostgresBackend::resetSession(QSqlDatabase& db) {
    if (postgresTransactionState(db) == PostgresTransaction::Open)
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return postgresTransactionState(db) == PostgresTransaction::None;
}

}  // namespace xhook::data
