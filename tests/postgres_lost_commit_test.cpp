// The connection cut at each database call of a reconciliation, through the latency proxy that
// stands for the network (and for a pgbouncer that dies): above all during the commit of the
// procedure's own transaction, where the server may have recorded the reconciliation while its
// answer was lost. The window then says that the outcome is unknown and how to find it out,
// never the server's bare error, and keeps its commands; a second 钩稽 is refused by the
// procedure exactly when the first one took effect. Elsewhere the outcome is known: a cut before
// the procedure ran fails it with the server's error and records nothing, one at the open or the
// close costs nothing but a fresh session.
#include <gtest/gtest.h>

#include <QAction>
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>

#include "bench/proxy/LatencyProxy.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ConnectionPool.h"
#include "data/FaultInjection.h"
#include "reconcile/ReconcileProcedure.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;
using data::DbCall;
using data::FaultInjection;
using std::chrono::milliseconds;

namespace {

// One way through the proxy; the commit's answer is back two of them after it was sent.
constexpr milliseconds kOneWay{100};

enum class Shown { Success, OutcomeUnknown, ServerError };

const char* shownName(Shown shown) {
    switch (shown) {
        case Shown::Success:
            return "钩稽成功!";
        case Shown::OutcomeUnknown:
            return "outcome unknown";
        case Shown::ServerError:
            return "the server's error";
    }
    return "";
}

// Where the connection is cut: at the start of a call of the layer, or that long after the
// procedure's commit began.
struct Cut {
    int call;  // counted from 1 over the reconciliation's calls
    DbCall kind;
    std::optional<milliseconds> afterCommitBegan;
};

class LostCommitTest : public DemoDatabaseFixture {
  protected:
    Backend backend() const override { return Backend::PostgreSQL; }
    void SetUp() override {
        XHOOK_SKIP_WITHOUT_SERVER(Backend::PostgreSQL);
        DemoDatabaseFixture::SetUp();
        direct = shared().DBConnectionString + ";Pooling=false";
        proxy = std::make_unique<bench::LatencyProxy>(
            bench::LatencyProxy::unixSocketOf(shared().DBConnectionString), kOneWay);
        proxied = bench::LatencyProxy::throughProxy(shared().DBConnectionString, proxy->port());
    }
    void TearDown() override {
        FaultInjection::clear();
        data::ConnectionPool::ofThisThread().clear();
        DemoDatabaseFixture::TearDown();
    }

    // Invoice 1001 and its delivery 5001 unreconciled and in the window's grids, loaded on a
    // direct session; the reconciliation's session through the proxy already kept in the pool.
    void prepare() {
        takeBackReconciliation(direct, 1001);
        window.close();
        shared().DBConnectionString = direct;
        loadWindow("1001", "5001");
        ASSERT_TRUE(commandsEnabled());
        data::Connection warm;
        warm.setConnectionString(proxied);
        warm.open();
        warm.close();
        shared().DBConnectionString = proxied;
        messages.messages.clear();
    }

    // The calls of the layer that an uncut reconciliation makes.
    QList<DbCall> callsOfAReconciliation() {
        prepare();
        FaultInjection::failCall(1000000);  // counts only
        form().MenuBillHook1->trigger();
        const QList<DbCall> kinds = FaultInjection::callKinds();
        FaultInjection::clear();
        EXPECT_EQ(messages.messages.value(0).text, kReconcileSuccessText);
        return kinds;
    }

    Shown shownNow() {
        EXPECT_EQ(messages.messages.size(), 1);
        const RecordingMessages::Message message = messages.messages.value(0);
        EXPECT_EQ(message.title, kTitle);
        if (message.text == kReconcileSuccessText) {
            EXPECT_EQ(message.style, MessageInformation);
            return Shown::Success;
        }
        EXPECT_EQ(message.style, MessageExclamation);
        return message.text == kReconcileOutcomeUnknownText ? Shown::OutcomeUnknown
                                                            : Shown::ServerError;
    }

    // Runs the reconciliation with the connection cut as `cut` says; what it showed, and whether
    // the server recorded it.
    std::pair<Shown, bool> runCut(const Cut& cut) {
        prepare();
        const int before = test::reconciliationCount(direct);
        std::jthread later;
        FaultInjection::actAtCall(cut.call, [&] {
            if (!cut.afterCommitBegan) {
                proxy->cutConnections();
                return;
            }
            later = std::jthread([this, wait = *cut.afterCommitBegan] {
                std::this_thread::sleep_for(wait);
                proxy->cutConnections();
            });
        });
        form().MenuBillHook1->trigger();
        EXPECT_TRUE(FaultInjection::triggered());
        FaultInjection::clear();
        if (later.joinable()) later.join();
        std::this_thread::sleep_for(milliseconds(100));  // the server ends the cut session
        const Shown shown = shownNow();
        EXPECT_EQ(shared().gConnection, nullptr);
        EXPECT_TRUE(reconciliationInconsistencies(direct).isEmpty()) << "whole or not at all";
        const int after = test::reconciliationCount(direct);
        EXPECT_TRUE(after == before || after == before + 1);
        return {shown, after == before + 1};
    }

    // After an unknown outcome the commands are still there; a second 钩稽 tells which it was.
    void expectASecondReconciliationTells(bool recorded) {
        EXPECT_TRUE(commandsEnabled());
        messages.messages.clear();
        shared().DBConnectionString = direct;
        const int before = test::reconciliationCount(direct);
        form().MenuBillHook1->trigger();
        ASSERT_EQ(messages.messages.size(), 1);
        if (recorded) {
            EXPECT_TRUE(messages.messages[0].text.contains(QStringLiteral("已经钩稽")))
                << messages.messages[0].text.toStdString();
            EXPECT_EQ(test::reconciliationCount(direct), before);
            EXPECT_TRUE(commandsEnabled());
        } else {
            EXPECT_EQ(messages.messages[0].text, kReconcileSuccessText);
            EXPECT_EQ(test::reconciliationCount(direct), before + 1);
            EXPECT_TRUE(commandsDisabled());
        }
    }

    QString direct, proxied;
    std::unique_ptr<bench::LatencyProxy> proxy;
};

TEST_F(LostCommitTest, TheOutcomeOfACommitWhoseConnectionWasCutIsShownAsUnknown) {
    const QList<DbCall> calls = callsOfAReconciliation();
    const int commit = int(calls.indexOf(DbCall::Commit)) + 1;
    ASSERT_GT(commit, 0) << "the procedure's own transaction is committed";
    ASSERT_EQ(calls.value(commit - 2), DbCall::RunProcedure);

    QList<Cut> cuts;
    for (int call = 1; call <= calls.size(); ++call)
        cuts.append({call, calls[call - 1], std::nullopt});
    for (const int tenths : {5, 10, 15, 20, 30})
        cuts.append({commit, DbCall::Commit, kOneWay * tenths / 10});

    int unknownRecorded = 0, unknownNotRecorded = 0;
    for (const Cut& cut : cuts) {
        const QString where =
            QStringLiteral("cut at call %1 (%2)%3")
                .arg(cut.call)
                .arg(data::dbCallName(cut.kind))
                .arg(cut.afterCommitBegan ? QStringLiteral(", %1 ms after the commit began")
                                                .arg(cut.afterCommitBegan->count())
                                          : QString());
        SCOPED_TRACE(where.toStdString());
        const auto [shown, recorded] = runCut(cut);
        std::cout << "[lost commit] " << where.toStdString() << ": " << shownName(shown)
                  << (recorded ? ", recorded" : ", not recorded") << std::endl;
        switch (shown) {
            case Shown::Success:
                EXPECT_TRUE(recorded);
                EXPECT_TRUE(commandsDisabled());
                EXPECT_TRUE(cut.kind != DbCall::Commit || cut.afterCommitBegan)
                    << "a commit sent on a cut connection cannot have answered";
                break;
            case Shown::OutcomeUnknown:
                EXPECT_EQ(cut.kind, DbCall::Commit) << "only a commit's outcome is unknown";
                ++(recorded ? unknownRecorded : unknownNotRecorded);
                expectASecondReconciliationTells(recorded);
                break;
            case Shown::ServerError:
                EXPECT_NE(cut.kind, DbCall::Commit) << "a lost commit is never the bare error";
                EXPECT_FALSE(recorded) << "cut before the procedure's work was committed";
                EXPECT_TRUE(commandsEnabled());
                break;
        }
        if (cut.kind == DbCall::Open || cut.kind == DbCall::Close) {
            EXPECT_EQ(shown, Shown::Success) << "a cut session is replaced, or not kept";
        }
    }
    std::cout << "[lost commit] outcome unknown: " << unknownRecorded << " recorded, "
              << unknownNotRecorded << " not recorded" << std::endl;
    EXPECT_GE(unknownNotRecorded, 1) << "the commit cut as it was sent did not reach the server";
}

}  // namespace
