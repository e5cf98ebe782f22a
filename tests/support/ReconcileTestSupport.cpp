#include "tests/support/ReconcileTestSupport.h"

#include <QAction>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/NativeProcedures.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

namespace xhook::test {

namespace {

const QString kProcedureName = QStringLiteral("sp_GS_billGJ");

}  // namespace

void fillDocumentGrid(FlexGrid& grid, const QStringList& documentIds) {
    grid.setRowCount(1);
    grid.setColCount(5);
    if (documentIds.isEmpty()) return;
    int line = 0;
    for (const QString& id : documentIds)
        grid.AddRow(id + '\t' + QString::number(++line) + "\tB" + id + "\tline\t1");
    grid.AddRow(QStringLiteral("\t\t\t合计\t%1").arg(documentIds.size()));
}

RecordingReconcileProcedure::RecordingReconcileProcedure() {
    data::registerNativeProcedure(kProcedureName,
                                  [this](QSqlDatabase&, QList<data::Parameter>& parameters) {
                                      calls.append(parameters);
                                      if (failure) throw data::DbError(50000, *failure);
                                      for (data::Parameter& p : parameters) {
                                          if (p.name == QLatin1String("intReturnValue"))
                                              p.value = answer;
                                          if (p.name == QLatin1String("strReturnValue"))
                                              p.value = answerText;
                                      }
                                  });
}

RecordingReconcileProcedure::~RecordingReconcileProcedure() {
    data::unregisterNativeProcedure(kProcedureName);
}

QVariant RecordingReconcileProcedure::lastValue(const QString& name) const {
    if (calls.isEmpty()) return {};
    for (const data::Parameter& p : calls.last())
        if (p.name == name) return p.value;
    return {};
}

void ReconcileFixture::SetUp() {
    SharedState& state = shared();
    state.DBConnectionString = "Provider=SQLite;Data Source=" + dir.file("host.db");
    data::Connection create;
    create.setConnectionString(state.DBConnectionString + ";Mode=ReadWriteCreate");
    create.open();
    create.close();
    state.msgTitle = kTitle;
    state.gLoginUserId = QStringLiteral("7");
    state.gInvoiceIds.clear();
    state.gOutboundIds.clear();
}

void ReconcileFixture::TearDown() {
    shared().gConnection.reset();
}

bool ReconcileFixture::commandsEnabled() {
    return form().toolbarEntry(9)->isEnabled() && form().MenuBillHook1->isEnabled() &&
           form().MenuAutoHook->isEnabled();
}

bool ReconcileFixture::commandsDisabled() {
    return !form().toolbarEntry(9)->isEnabled() && !form().MenuBillHook1->isEnabled() &&
           !form().MenuAutoHook->isEnabled();
}

void ReconcileFixture::expectOnlyMessage(const QString& text, int style, bool connectionOpen) {
    ASSERT_EQ(messages.messages.size(), 1);
    const RecordingMessages::Message& message = messages.messages.first();
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.style, style);
    EXPECT_EQ(message.title, kTitle);
    EXPECT_EQ(message.connectionOpen, connectionOpen);
}

void ReconcileFixture::expectOnlyFailure(const QString& part) {
    ASSERT_EQ(messages.messages.size(), 1);
    const RecordingMessages::Message& message = messages.messages.first();
    EXPECT_TRUE(message.text.contains(part, Qt::CaseInsensitive)) << message.text.toStdString();
    EXPECT_EQ(message.style, 48);
    EXPECT_EQ(message.title, kTitle);
    EXPECT_TRUE(message.connectionOpen);
    EXPECT_EQ(shared().gConnection, nullptr);
}

}  // namespace xhook::test
