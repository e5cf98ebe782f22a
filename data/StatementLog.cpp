#include "data/StatementLog.h"

#include <QSqlQuery>
#include <QStringList>

#include "foundation/DiagnosticLog.h"

namespace xhook::data {

namespace {

struct LogState {
    bool recording = false;
    QList<StatementLog::Entry> entries;
    quint64 statementsSent = 0;
    StatementLog::Sent lastSent;
};

thread_local LogState state;

QString valueForLog(const QVariant& value) {
    if (value.isNull()) return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::QString) return '\'' + value.toString() + '\'';
    return value.toString();
}

QString valuesForLog(const QVariantList& values) {
    QStringList texts;
    for (const QVariant& value : values) texts << valueForLog(value);
    return texts.join(QStringLiteral(", "));
}

QString milliseconds(const QElapsedTimer& timer) {
    return QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 1) + QStringLiteral(" ms");
}

}  // namespace

void StatementLog::start() {
    state.entries.clear();
    state.recording = true;
}

void StatementLog::stop() {
    state.recording = false;
}

const QList<StatementLog::Entry>& StatementLog::entries() {
    return state.entries;
}

void StatementLog::recordSql(const QString& sql, const QVariantList& boundValues) {
    if (state.recording) state.entries.append({Entry::Kind::Sql, sql, boundValues});
}

void StatementLog::recordProcedure(const QString& name, const QVariantList& inputs) {
    if (state.recording) state.entries.append({Entry::Kind::Procedure, name, inputs});
}

QElapsedTimer StatementLog::startTimer() {
    QElapsedTimer timer;
    if (lcSql().isDebugEnabled()) timer.start();
    return timer;
}

// A query's row count is not known until its rows have been read; other statements report the
// rows they changed.
void StatementLog::sqlSent(const QElapsedTimer& timer, const QString& sql,
                           const QVariantList& boundValues, const QSqlQuery& query) {
    if (!timer.isValid() || !lcSql().isDebugEnabled()) return;
    Sent& sent = state.lastSent;
    sent.number_ = ++state.statementsSent;
    sent.timer_ = timer;
    const QString values =
        boundValues.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(valuesForLog(boundValues));
    const QString rows = query.isSelect()
                             ? QString()
                             : QStringLiteral(", %1 rows changed").arg(query.numRowsAffected());
    qCDebug(lcSql).noquote().nospace() << '#' << sent.number_ << " sent (" << milliseconds(timer)
                                       << rows << "): " << sql << values;
}

StatementLog::Sent StatementLog::lastSent() {
    return lcSql().isDebugEnabled() ? state.lastSent : Sent();
}

void StatementLog::Sent::rowsRead(qint64 rows, bool complete) {
    if (!isLogged()) return;
    qCDebug(lcSql).noquote().nospace() << '#' << number_ << ' ' << rows
                                       << (complete ? " rows read (" : " rows read, closed early (")
                                       << milliseconds(timer_) << " since sent)";
    number_ = 0;
}

void StatementLog::procedureAnswered(const QElapsedTimer& timer, const QString& name,
                                     const QList<Parameter>& parameters) {
    if (!timer.isValid() || !lcSql().isDebugEnabled()) return;
    QStringList inputs, answers;
    for (const Parameter& p : parameters) {
        const QString item = p.name + '=' + valueForLog(p.value);
        if (p.direction != adParamOutput) inputs << item;
        if (p.direction == adParamOutput || p.direction == adParamInputOutput) answers << item;
    }
    qCDebug(lcSql).noquote().nospace()
        << "procedure " << name << '(' << inputs.join(QStringLiteral(", ")) << ") answered ("
        << milliseconds(timer) << "): " << answers.join(QStringLiteral(", "));
}

void StatementLog::error(long number, const QString& description, const QString& nativeCode) {
    if (!lcSql().isDebugEnabled()) return;
    const QString code = nativeCode.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(nativeCode);
    qCDebug(lcSql).noquote().nospace() << "error " << number << code << ": " << description;
}

}  // namespace xhook::data
