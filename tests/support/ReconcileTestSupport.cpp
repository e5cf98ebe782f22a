#include "tests/support/ReconcileTestSupport.h"

#include <QAction>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/NativeProcedures.h"
#include "data/ResultSet.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoProcedures.h"
#include "host/lib/ReconcileDocuments.h"
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

RecordingReconcileProcedure::RecordingReconcileProcedure()
    : previous_(data::findNativeProcedure(kProcedureName)) {
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
    if (previous_)
        data::registerNativeProcedure(kProcedureName, previous_);
    else
        data::unregisterNativeProcedure(kProcedureName);
}

QVariant RecordingReconcileProcedure::lastValue(const QString& name) const {
    if (calls.isEmpty()) return {};
    for (const data::Parameter& p : calls.last())
        if (p.name == name) return p.value;
    return {};
}

void ReconcileWindowFixture::SetUp() {
    SharedState& state = shared();
    state.msgTitle = kTitle;
    state.gLoginUserId = QStringLiteral("1");
    state.gInvoiceIds.clear();
    state.gOutboundIds.clear();
}

void ReconcileWindowFixture::TearDown() {
    shared().gConnection.reset();
}

void ReconcileFixture::SetUp() {
    ReconcileWindowFixture::SetUp();
    SharedState& state = shared();
    state.DBConnectionString = host::sqliteConnectionString(dir.file("host.db"));
    data::Connection create;
    create.setConnectionString(state.DBConnectionString + ";Mode=ReadWriteCreate");
    create.open();
    create.close();
}

void DemoDatabaseFixture::SetUp() {
    ReconcileWindowFixture::SetUp();
    if (backend() == Backend::SQLite) {
        shared().DBConnectionString = host::sqliteConnectionString(dir.file("demo.db"));
    } else {
        scratch = std::make_unique<ScratchDatabase>(backend(), dir.path());
        shared().DBConnectionString = scratch->connectionString();
    }
    host::createDemoDatabase(shared().DBConnectionString);
    host::registerDemoProcedures();
}

void DemoDatabaseFixture::loadWindow(const QString& invoiceIds, const QString& outboundIds) {
    shared().gInvoiceIds = invoiceIds;
    shared().gOutboundIds = outboundIds;
    ASSERT_TRUE(window.find1());
    if (!outboundIds.isEmpty()) ASSERT_TRUE(window.find2());
}

qint64 DemoDatabaseFixture::number(const QString& sql) {
    data::Connection db;
    db.setConnectionString(shared().DBConnectionString);
    db.open();
    std::unique_ptr<data::ResultSet> rows = db.openResultSet(sql);
    const qint64 value = rows->eof() ? -1 : rows->value(0).toLongLong();
    rows.reset();
    db.close();
    return value;
}

qint64 DemoDatabaseFixture::invoiceReconciliation(qint64 invoiceId) {
    return number(QStringLiteral("select isnull(fhookinterid,0) from %1 where finterid=%2")
                      .arg(host::invoiceKind().headerTable)
                      .arg(invoiceId));
}

qint64 DemoDatabaseFixture::outboundReconciliation(qint64 outboundId) {
    return number(QStringLiteral("select isnull(fhookinterid,0) from %1 where finterid=%2")
                      .arg(host::outboundKind().headerTable)
                      .arg(outboundId));
}

qint64 DemoDatabaseFixture::reconciliationCount() {
    return number(QStringLiteral("select count(*) from t_GS_billGJ"));
}

bool ReconcileWindowFixture::commandsEnabled() {
    return form().toolbarEntry(9)->isEnabled() && form().MenuBillHook1->isEnabled() &&
           form().MenuAutoHook->isEnabled();
}

bool ReconcileWindowFixture::commandsDisabled() {
    return !form().toolbarEntry(9)->isEnabled() && !form().MenuBillHook1->isEnabled() &&
           !form().MenuAutoHook->isEnabled();
}

void ReconcileWindowFixture::expectOnlyMessage(const QString& text, int style,
                                               bool connectionOpen) {
    ASSERT_EQ(messages.messages.size(), 1);
    const RecordingMessages::Message& message = messages.messages.first();
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.style, style);
    EXPECT_EQ(message.title, kTitle);
    EXPECT_EQ(message.connectionOpen, connectionOpen);
}

void ReconcileWindowFixture::expectOnlyFailure(const QString& part) {
    ASSERT_EQ(messages.messages.size(), 1);
    const RecordingMessages::Message& message = messages.messages.first();
    EXPECT_TRUE(message.text.contains(part, Qt::CaseInsensitive)) << message.text.toStdString();
    EXPECT_EQ(message.style, 48);
    EXPECT_EQ(message.title, kTitle);
    EXPECT_TRUE(message.connectionOpen);
    EXPECT_EQ(shared().gConnection, nullptr);
}

}  // namespace xhook::test
