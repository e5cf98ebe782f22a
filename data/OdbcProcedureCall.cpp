#include "data/OdbcProcedureCall.h"

#include <sql.h>
#include <sqlext.h>

#include <QStringList>
#include <vector>

#include "data/DbError.h"
#include "data/SqlStatement.h"

namespace xhook::data {

namespace {

// One parameter's buffer and length indicator, which the driver reads and writes until the
// call's last result is consumed.
struct Binding {
    std::vector<char16_t> text;  // adVarChar: the declared size in UTF-16 units and a terminator
    qint64 number = 0;           // adBigInt
    SQLLEN indicator = SQL_NULL_DATA;
};

// The characters a text parameter's buffer holds: its declared size, or for a parameter declared
// without one, as many as a Transact-SQL varchar holds.
constexpr int kUndeclaredTextSize = 8000;

qsizetype textCapacity(const Parameter& p) {
    return p.size > 0 ? p.size : kUndeclaredTextSize;
}

bool isOutput(const Parameter& p) {
    return p.direction == adParamOutput || p.direction == adParamInputOutput;
}

// Only a name (optionally qualified) goes into the statement text.
void requirePlainName(const QString& name) {
    if (!isPlainName(name))
        throw DbError(DbErrorNumber::Generic,
                      QStringLiteral("'%1' is not a stored procedure's name").arg(name));
}

QString statementText(OdbcCallForm form, const QString& name, qsizetype count) {
    const QString markers = QStringList(count, QStringLiteral("?")).join(',');
    if (form == OdbcCallForm::PostgresCall) return QStringLiteral("CALL %1(%2)").arg(name, markers);
    return QStringLiteral("{call %1(%2)}").arg(name, markers);
}

SQLSMALLINT directionOf(const Parameter& p, OdbcCallForm form) {
    if (p.direction == adParamInputOutput) return SQL_PARAM_INPUT_OUTPUT;
    if (p.direction != adParamOutput) return SQL_PARAM_INPUT;
    return form == OdbcCallForm::PostgresCall ? SQL_PARAM_INPUT_OUTPUT : SQL_PARAM_OUTPUT;
}

// An output alone passes NULL where its direction makes it an input as well.
void fillInput(const Parameter& p, Binding& b) {
    Parameter passed = p;
    if (p.direction == adParamOutput) passed.value = QVariant();
    const QVariant value = boundInputValue(passed);
    if (p.type == adVarChar) {
        b.text.assign(textCapacity(p) + 1, u'\0');
        if (value.isNull()) return;
        const QString text = value.toString();
        std::copy(text.utf16(), text.utf16() + text.size(), b.text.begin());
        b.indicator = SQLLEN(text.size() * sizeof(char16_t));
    } else if (!value.isNull()) {
        b.number = value.toLongLong();
        b.indicator = 0;
    }
}

void bind(const OdbcStatement& statement, SQLUSMALLINT position, const Parameter& p,
          OdbcCallForm form, Binding& b) {
    const SQLSMALLINT direction = directionOf(p, form);
    SQLRETURN result;
    if (p.type == adVarChar)
        result = SQLBindParameter(statement.handle(), position, direction, SQL_C_WCHAR,
                                  SQL_WVARCHAR, SQLULEN(textCapacity(p)), 0, b.text.data(),
                                  SQLLEN(b.text.size() * sizeof(char16_t)), &b.indicator);
    else
        result = SQLBindParameter(statement.handle(), position, direction, SQL_C_SBIGINT,
                                  SQL_BIGINT, 0, 0, &b.number, 0, &b.indicator);
    statement.check(result, QStringLiteral("binding parameter '%1'").arg(p.name));
}

// Every row of every result is fetched and dropped, then the next result taken, until the
// driver has none left: only then are the outputs final.
void consumeResults(const OdbcStatement& statement, const QString& context) {
    SQLRETURN result = SQL_SUCCESS;
    do {
        SQLSMALLINT columns = 0;
        statement.check(SQLNumResultCols(statement.handle(), &columns), context);
        if (columns > 0) {
            while ((result = SQLFetch(statement.handle())) != SQL_NO_DATA)
                statement.check(result, context);
        }
        result = SQLMoreResults(statement.handle());
        statement.check(result, context);
    } while (result != SQL_NO_DATA);
}

// An answer longer than its buffer is cut by the driver, which tells the whole length.
QVariant answerOf(const Parameter& p, const Binding& b) {
    Parameter answer = p;
    if (b.indicator == SQL_NULL_DATA) {
        answer.value = QVariant();
    } else if (p.type == adVarChar) {
        const qsizetype units = qsizetype(b.indicator / SQLLEN(sizeof(char16_t)));
        if (units > textCapacity(p)) raiseValueTooLong(p, units);
        answer.value = QString::fromUtf16(b.text.data(), units);
    } else {
        answer.value = b.number;
    }
    return boundInputValue(answer);
}

}  // namespace

void runOdbcProcedure(OdbcHandle connection, OdbcCallForm form, const QString& name,
                      QList<Parameter>& parameters) {
    requirePlainName(name);
    const QString context = QStringLiteral("stored procedure '%1'").arg(name);
    std::vector<Binding> bindings(parameters.size());
    for (qsizetype i = 0; i < parameters.size(); ++i) fillInput(parameters[i], bindings[i]);
    OdbcStatement statement(connection);
    for (qsizetype i = 0; i < parameters.size(); ++i)
        bind(statement, SQLUSMALLINT(i + 1), parameters[i], form, bindings[i]);
    const std::u16string text = statementText(form, name, parameters.size()).toStdU16String();
    statement.check(SQLExecDirectW(statement.handle(),
                                   reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(text.data())),
                                   SQLINTEGER(text.size())),
                    context);
    consumeResults(statement, context);
    QList<QVariant> answers;
    for (qsizetype i = 0; i < parameters.size(); ++i)
        answers << (isOutput(parameters[i]) ? answerOf(parameters[i], bindings[i]) : QVariant());
    for (qsizetype i = 0; i < parameters.size(); ++i)
        if (isOutput(parameters[i])) parameters[i].value = answers[i];
}

}  // namespace xhook::data
