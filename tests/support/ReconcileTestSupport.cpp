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
#include "tests/support/DemoDatabaseSupport.h"
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

namespace {

// The server's stand-in: it records what it receives, with the SQL type of each argument, and
// answers what the table xhook_told holds.
const QStringList kServerRecorder = {
    "create table xhook_told (answer bigint, answer_text varchar, text_null boolean, failure "
    "varchar)",
    "insert into xhook_told values (0, '', false, null)",
    "create table xhook_call (n serial primary key, interids1 varchar, interids2 varchar, "
    "inttype bigint, intreturnvalue bigint, strreturnvalue varchar, loginuserid bigint, types "
    "varchar)",
    "create procedure sp_GS_billGJ(interids1 varchar, interids2 varchar, intType bigint, inout "
    "intReturnValue bigint, inout strReturnValue varchar, loginUserId bigint) language plpgsql "
    "as $$ declare told record; begin "
    "insert into xhook_call(interids1, interids2, inttype, intreturnvalue, strreturnvalue, "
    "loginuserid, types) values (interids1, interids2, intType, intReturnValue, "
    "strReturnValue, loginUserId, concat_ws(',', pg_typeof(interids1), pg_typeof(interids2), "
    "pg_typeof(intType), pg_typeof(intReturnValue), pg_typeof(strReturnValue), "
    "pg_typeof(loginUserId))); "
    "select * into told from xhook_told; "
    "if told.failure is not null then raise exception '%', told.failure; end if; "
    "intReturnValue := told.answer; strReturnValue := case when told.text_null then null else "
    "coalesce(told.answer_text, '') end; end $$",
};

// The procedure's parameters as the server declares them: name, and whether it is INOUT.
const QList<std::pair<QString, bool>> kServerParameters = {
    {"interids1", false},     {"interids2", false},     {"inttype", false},
    {"intreturnvalue", true}, {"strreturnvalue", true}, {"loginuserid", false},
};

int adoTypeOf(const QString& sqlType) {
    return sqlType == QLatin1String("bigint") ? data::adBigInt : data::adVarChar;
}

// One recorded call as parameters: an INOUT parameter that arrived without a value is an output.
QList<data::Parameter> parametersOf(const QVariantList& row) {
    const QStringList types = row.last().toString().split(',');
    QList<data::Parameter> parameters;
    for (qsizetype i = 0; i < kServerParameters.size(); ++i) {
        const auto& [name, inout] = kServerParameters[i];
        const QVariant value = row[i + 1];
        const int direction = inout && value.isNull() ? data::adParamOutput : data::adParamInput;
        parameters.append({name, adoTypeOf(types.value(i)), direction, 0, value});
    }
    return parameters;
}

}  // namespace

RecordingReconcileProcedure::RecordingReconcileProcedure()
    : previous_(data::findNativeProcedure(kProcedureName)),
      previousParameters_(data::nativeProcedureParameters(kProcedureName)
                              .value_or(QList<data::DeclaredParameter>())) {
    data::registerNativeProcedure(kProcedureName,
                                  [this](QSqlDatabase&, QList<data::Parameter>& parameters) {
                                      calls_.append(parameters);
                                      if (failure_) throw data::DbError(50000, *failure_);
                                      for (data::Parameter& p : parameters) {
                                          if (p.name == QLatin1String("intReturnValue"))
                                              p.value = answer_;
                                          if (p.name == QLatin1String("strReturnValue"))
                                              p.value = answerText_;
                                      }
                                  });
}

RecordingReconcileProcedure::~RecordingReconcileProcedure() {
    if (previous_)
        data::registerNativeProcedure(kProcedureName, previous_, previousParameters_);
    else
        data::unregisterNativeProcedure(kProcedureName);
}

void RecordingReconcileProcedure::installOnServer(const QString& connectionString) {
    data::Connection db;
    db.setConnectionString(connectionString);
    db.open();
    for (const QString& statement : kServerRecorder) db.execute(statement);
    server_ = connectionString;
    tellServer();
}

void RecordingReconcileProcedure::setAnswer(const QVariant& answer) {
    answer_ = answer;
    tellServer();
}

void RecordingReconcileProcedure::setAnswerText(const QVariant& text) {
    answerText_ = text;
    tellServer();
}

void RecordingReconcileProcedure::setFailure(const std::optional<QString>& failure) {
    failure_ = failure;
    tellServer();
}

void RecordingReconcileProcedure::tellServer() const {
    if (server_.isEmpty()) return;
    data::Connection db;
    db.setConnectionString(server_);
    db.open();
    db.execute(
        "update xhook_told set answer=?, answer_text=?, text_null=?, failure=?",
        {answer_.isNull() ? QVariant() : QVariant(answer_.toLongLong()), answerText_.toString(),
         answerText_.isNull(), failure_ ? QVariant(*failure_) : QVariant()});
}

QList<QList<data::Parameter>> RecordingReconcileProcedure::calls() const {
    if (server_.isEmpty()) return calls_;
    data::Connection db;
    db.setConnectionString(server_);
    db.open();
    QList<QList<data::Parameter>> calls;
    for (const QVariantList& row : readRows(db, "select * from xhook_call order by n"))
        calls.append(parametersOf(row));
    return calls;
}

void RecordingReconcileProcedure::clearCalls() {
    calls_.clear();
    if (server_.isEmpty()) return;
    data::Connection db;
    db.setConnectionString(server_);
    db.open();
    db.execute("delete from xhook_call");
}

QVariant RecordingReconcileProcedure::lastValue(const QString& name) const {
    const QList<QList<data::Parameter>> all = calls();
    if (all.isEmpty()) return {};
    for (const data::Parameter& p : all.last())
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) return p.value;
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
    scratch = std::make_unique<ScratchDatabase>(backend(), dir.path());
    shared().DBConnectionString = scratch->connectionString();
    if (onServer(backend())) procedure.installOnServer(scratch->providerConnectionString());
}

void DemoDatabaseFixture::SetUp() {
    ReconcileWindowFixture::SetUp();
    if (backend() == Backend::SQLite) {
        shared().DBConnectionString = host::sqliteConnectionString(dir.file("demo.db"));
        host::createDemoDatabase(shared().DBConnectionString);
    } else {
        scratch = std::make_unique<ScratchDatabase>(backend(), dir.path());
        shared().DBConnectionString = scratch->connectionString();
        host::createDemoDatabase(scratch->providerConnectionString());
    }
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
