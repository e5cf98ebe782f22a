#include "data/StatementLog.h"

namespace xhook::data {

namespace {

struct LogState {
    bool recording = false;
    QList<StatementLog::Entry> entries;
};

thread_local LogState state;

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

}  // namespace xhook::data
