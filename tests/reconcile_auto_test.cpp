#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QSqlDriver>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/SharedConnection.h"
#include "data/SqlDialect.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/Reconciliations.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

using namespace xhook;
using xhook::test::fillDocumentGrid;

namespace {

const QString kNoOutboundText = QStringLiteral("无对应的销售出库单,钩稽不成功!");

// Invoice lines: (invoice, source outbound document or none), in insertion order.
using Line = std::pair<int, std::optional<int>>;

class AutomaticReconciliation : public xhook::test::ReconcileBackendFixture {
  protected:
    void createInvoiceLines(const QList<Line>& lines, const QString& sourceType = "integer") {
        data::Connection db;
        db.setConnectionString(shared().DBConnectionString);
        db.open();
        db.execute("create table icsaleentry (finterid integer, fentryid integer, fsinterid " +
                   sourceType + ")");
        int entry = 0;
        for (const Line& line : lines)
            db.execute("insert into icsaleentry values (?, ?, ?)",
                       {line.first, ++entry, line.second ? QVariant(*line.second) : QVariant()});
        db.close();
    }
};

TEST_P(AutomaticReconciliation, PassesEachSourceDocumentOnceAndNeverReadsTheOutboundGrid) {
    createInvoiceLines({{1001, 5001}, {1001, 5001}, {1001, 5002}, {1002, 5003}});
    fillDocumentGrid(*form().vsf1, {"1001", "1001"});
    fillDocumentGrid(*form().vsf2, {"9999"});
    procedure.setAnswer(0);
    MenuAutoHook_Click(form());

    EXPECT_EQ(shared().gInvoiceIds, "1001");
    EXPECT_EQ(shared().gOutboundIds, "5001,5002");
    ASSERT_EQ(procedure.calls().size(), 1);
    EXPECT_EQ(procedure.lastValue("interids1").toString(), ",5001,5002,");
    EXPECT_EQ(procedure.lastValue("interids2").toString(), ",1001,");
    EXPECT_EQ(procedure.lastValue("intType").toLongLong(), 2);
    EXPECT_EQ(procedure.lastValue("loginUserId").toLongLong(), 1);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);

    // An empty outbound grid is no obstacle; a line without a source adds 0, once.
    messages.messages.clear();
    fillDocumentGrid(*form().vsf1, {"1002", "1003"});
    fillDocumentGrid(*form().vsf2, {});
    shared().gOutboundIds = QStringLiteral("1,2");
    MenuAutoHook_Click(form());
    EXPECT_EQ(shared().gOutboundIds, "5003");
    EXPECT_EQ(procedure.lastValue("interids2").toString(), ",1002,1003,");
}

TEST_P(AutomaticReconciliation, LinesWithoutSourceAddZeroInTheOrderOfTheRows) {
    createInvoiceLines({{1001, std::nullopt}, {1001, 5001}, {1002, std::nullopt}});
    fillDocumentGrid(*form().vsf1, {"1001", "1002"});
    procedure.setAnswer(1);
    MenuAutoHook_Click(form());

    EXPECT_EQ(procedure.lastValue("interids1").toString(), ",0,5001,");
    EXPECT_EQ(shared().gOutboundIds, "0,5001");
    expectOnlyMessage("钩稽成功!", 64, false);
    EXPECT_TRUE(commandsDisabled());
    EXPECT_TRUE(lastReconcileOutcome().reconciled());
}

TEST_P(AutomaticReconciliation, SourceIdsStoredAsFloatingPointArePassedAsPlainIntegers) {
    createInvoiceLines({{1001, 5001}, {1001, 10000000}}, "real");
    fillDocumentGrid(*form().vsf1, {"1001"});
    MenuAutoHook_Click(form());
    EXPECT_EQ(shared().gOutboundIds, "5001,10000000");
    EXPECT_EQ(procedure.lastValue("interids1").toString(), ",5001,10000000,");
}

TEST_P(AutomaticReconciliation, InvoicesWithoutLinesAreNotReconciled) {
    createInvoiceLines({{2001, 5001}});
    fillDocumentGrid(*form().vsf1, {"1001"});
    shared().gOutboundIds = QStringLiteral("5001");
    MenuAutoHook_Click(form());

    expectOnlyMessage(kNoOutboundText, 48, true);  // shown before the connection closes
    EXPECT_TRUE(procedure.calls().isEmpty());
    EXPECT_EQ(shared().gOutboundIds, "");
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_EQ(lastReconcileOutcome().result, ReconcileOutcome::Result::EndedWithoutCall);

    // Without a document in the invoice grid nothing happens at all.
    messages.messages.clear();
    shared().gOutboundIds = QStringLiteral("5001");
    fillDocumentGrid(*form().vsf1, {});
    MenuAutoHook_Click(form());
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gOutboundIds, "5001");
}

TEST_P(AutomaticReconciliation, QueryFailuresAreShownAndLeaveTheWorkingList) {
    // No icsaleentry table: the source query fails.
    fillDocumentGrid(*form().vsf1, {"1001"});
    MenuAutoHook_Click(form());
    expectOnlyFailure("icsaleentry");
    EXPECT_EQ(shared().gOutboundIds, ",");
    EXPECT_TRUE(procedure.calls().isEmpty());
    EXPECT_EQ(lastReconcileOutcome().result, ReconcileOutcome::Result::Failed);

    // A grid text that is no id never reaches the SQL text.
    createInvoiceLines({{1001, 5001}});
    messages.messages.clear();
    fillDocumentGrid(*form().vsf1, {"1001) or (1=1"});
    MenuAutoHook_Click(form());
    expectOnlyFailure("1001) or (1=1");
    EXPECT_TRUE(procedure.calls().isEmpty());
}

TEST_P(AutomaticReconciliation, AFailedOpenPassesOutWithTheWorkingList) {
    shared().DBConnectionString.clear();
    fillDocumentGrid(*form().vsf1, {"1001"});
    EXPECT_ANY_THROW(MenuAutoHook_Click(form()));
    EXPECT_EQ(shared().gInvoiceIds, "1001");
    EXPECT_EQ(shared().gOutboundIds, ",");
    EXPECT_TRUE(messages.messages.isEmpty());
}

// The statements that the database receives on the shared connection: SQLite's statement trace,
// or the PostgreSQL server's statement log sent to this session.
class StatementTrace {
  public:
    explicit StatementTrace(data::Connection& connection) {
        const QVariant handle = connection.database().driver()->handle();
        if (qstrcmp(handle.typeName(), "sqlite3*") == 0) traceSqlite(handle);
        if (qstrcmp(handle.typeName(), "pg_conn*") == 0) tracePostgres(connection, handle);
    }
    bool active() const { return active_; }
    QStringList statements;

  private:
    using Callback = int (*)(unsigned, void*, void*, void*);
    using TraceFn = int (*)(void*, unsigned, Callback, void*);
    using NoticeFn = void (*)(void*, const char*);
    using SetNoticeFn = NoticeFn (*)(void*, NoticeFn, void*);
    static constexpr unsigned kTraceStatement = 1;

    void traceSqlite(const QVariant& handle) {
        void* db = *static_cast<void* const*>(handle.constData());
        void* library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
        auto trace =
            library ? reinterpret_cast<TraceFn>(dlsym(library, "sqlite3_trace_v2")) : nullptr;
        if (!trace) return;
        trace(db, kTraceStatement, &StatementTrace::onStatement, &statements);
        active_ = true;
    }
    static int onStatement(unsigned, void* context, void*, void* sql) {
        static_cast<QStringList*>(context)->append(
            QString::fromUtf8(static_cast<const char*>(sql)));
        return 0;
    }

    // The server logs every statement and sends its log lines to the session as notices.
    void tracePostgres(data::Connection& connection, const QVariant& handle) {
        void* conn = *static_cast<void* const*>(handle.constData());
        void* library = dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
        auto setNotice = library
                             ? reinterpret_cast<SetNoticeFn>(dlsym(library, "PQsetNoticeProcessor"))
                             : nullptr;
        if (!setNotice) return;
        setNotice(conn, &StatementTrace::onNotice, &statements);
        connection.execute("set client_min_messages = log");
        connection.execute("set log_statement = 'all'");
        active_ = true;
    }
    static void onNotice(void* context, const char* message) {
        static const QString prefix = QStringLiteral("LOG:  statement: ");
        const QString text = QString::fromUtf8(message);
        if (text.startsWith(prefix))
            static_cast<QStringList*>(context)->append(text.mid(prefix.size()).chopped(1));
    }

    bool active_ = false;
};

TEST_P(AutomaticReconciliation, TheSourceQueryIsTheHostsTextForTheInvoiceList) {
    if (xhook::test::throughOdbc(backend()))
        GTEST_SKIP() << "the trace reads the server's statements through its own client library "
                        "(SQLite's, libpq), which an ODBC driver does not expose";
    createInvoiceLines({{1001, 5001}, {1002, 5002}});
    fillDocumentGrid(*form().vsf1, {"1001", "1002"});
    // The command takes the connection that it finds open, so the trace sees its statements.
    OpenConnection();
    StatementTrace trace(*shared().gConnection);
    ASSERT_TRUE(trace.active());
    MenuAutoHook_Click(form());
    const QString expected = data::rewriteTransactSql(
        "select isnull(fsinterid,0) as fSInterId from icsaleentry where finterid in (1001,1002) ");
    EXPECT_TRUE(trace.statements.contains(expected)) << trace.statements.join('\n').toStdString();
    EXPECT_EQ(shared().gOutboundIds, "5001,5002");
    EXPECT_EQ(shared().gConnection, nullptr);
}

// On SQLite with the native procedure, and on the server with its own.
using AutomaticReconciliationOnTheDemoDatabase = xhook::test::DemoDatabaseBackendFixture;

TEST_P(AutomaticReconciliationOnTheDemoDatabase, InvoicesAreReconciledWithTheirLinesSources) {
    // Invoice 1003 was delivered in two outbound documents, 5003 and 5004.
    loadWindow("1003", "");
    MenuAutoHook_Click(form());
    expectOnlyMessage("钩稽成功!", 64, false);
    EXPECT_EQ(shared().gOutboundIds, "5003,5004");
    EXPECT_TRUE(commandsDisabled());
    const qint64 reconciliation = invoiceReconciliation(1003);
    EXPECT_GT(reconciliation, 0);
    EXPECT_EQ(outboundReconciliation(5003), reconciliation);
    EXPECT_EQ(outboundReconciliation(5004), reconciliation);

    // Invoice 1009 has a line without a source: the 0 it adds is refused, nothing is written.
    window.close();
    messages.messages.clear();
    loadWindow("1009", "");
    MenuAutoHook_Click(form());
    EXPECT_TRUE(shared().gOutboundIds.split(',').contains("0"))
        << shared().gOutboundIds.toStdString();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0].style, 48);
    EXPECT_EQ(invoiceReconciliation(1009), 0);
    EXPECT_TRUE(commandsEnabled());
}

XHOOK_ON_EACH_PROVIDER(AutomaticReconciliationOnTheDemoDatabase);

XHOOK_ON_EACH_PROVIDER(AutomaticReconciliation);

}  // namespace
