// Two workstations on one host database at the same moment, on the PostgreSQL server that they
// share (and, for comparison, on a SQLite file): reconciling the same documents, and saving the
// same grid layout. Each workstation has a connection of its own: a thread for the
// reconciliations, a process of this program for the layouts (the grid is a widget and lives on
// a process's main thread).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <array>
#include <barrier>
#include <thread>

#include "component/SharedState.h"
#include "data/Command.h"
#include "data/Connection.h"
#include "data/GridLayoutStore.h"
#include "host/lib/DemoData.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoProcedures.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"

using namespace xhook;
using namespace xhook::test;

namespace {

constexpr int kGroups = 5;
constexpr int kLayoutSaves = 60;
constexpr int kLayoutColumns = 10;
const char* const kWorkerDatabase = "XHOOK_LAYOUT_WORKER_DATABASE";
const char* const kWorkerWidth = "XHOOK_LAYOUT_WORKER_WIDTH";
const char* const kWorkerStart = "XHOOK_LAYOUT_WORKER_START";

struct Answer {
    qint64 value = 0;
    QString text;
};

// sp_GS_billGJ as the reconciliation command calls it.
Answer reconcile(data::Connection& connection, const QString& outbound, const QString& invoice) {
    data::Command command;
    command.setActiveConnection(&connection);
    command.setCommandText("sp_GS_billGJ");
    command.setCommandType(data::Command::adCmdStoredProc);
    using data::Command;
    command.appendParameter(
        Command::createParameter("interids1", data::adVarChar, data::adParamInput, 1000, outbound));
    command.appendParameter(
        Command::createParameter("interids2", data::adVarChar, data::adParamInput, 1000, invoice));
    command.appendParameter(
        Command::createParameter("intType", data::adBigInt, data::adParamInput, 10, 2));
    command.appendParameter(
        Command::createParameter("intReturnValue", data::adBigInt, data::adParamOutput, 10, -1));
    command.appendParameter(Command::createParameter("strReturnValue", data::adVarChar,
                                                     data::adParamOutput, 100, QString()));
    command.appendParameter(
        Command::createParameter("loginUserId", data::adBigInt, data::adParamInput, 10, 1));
    command.execute();
    return {command.parameter("intReturnValue").value.toLongLong(),
            command.parameter("strReturnValue").value.toString()};
}

// One reconciliation to attempt: an invoice and the outbound documents that its lines name.
struct Attempt {
    qint64 invoice;
    QString outbound;  // ",a,b,"
};

// The demo invoices that reconcile: in every group the matching ones and the split delivery (the
// quantity difference, the reconciled one and the line without source are left out).
QList<Attempt> reconcilableInvoices(data::Connection& connection) {
    const QList<int> positions{0, 1, 2, 4, 6, 7, 9, 10, 11, 12, 13};
    QList<Attempt> attempts;
    for (int group = 0; group < kGroups; ++group)
        for (int position : positions) {
            const qint64 invoice = 1001 + group * host::demoInvoicesPerGroup() + position;
            QStringList sources;
            for (const QVariant& id :
                 readColumn(connection, QString("select distinct fsinterid from icsaleentry where "
                                                "finterid=%1 order by fsinterid")
                                            .arg(invoice)))
                sources << id.toString();
            attempts.append({invoice, "," + sources.join(',') + ","});
        }
    return attempts;
}

// Two workstations, each a thread with a connection of its own, make their attempts at the same
// moment, round after round; answers each one's answers in order.
std::array<QList<Answer>, 2> reconcileTogether(const QString& connectionString,
                                               const std::array<QList<Attempt>, 2>& attempts) {
    std::array<QList<Answer>, 2> answers;
    QString failures[2];
    std::barrier together(2);
    auto workstation = [&](int n) {
        try {
            data::Connection own;
            own.setConnectionString(connectionString);
            own.open();
            for (const Attempt& attempt : attempts[n]) {
                together.arrive_and_wait();
                answers[n].append(
                    reconcile(own, attempt.outbound, "," + QString::number(attempt.invoice) + ","));
            }
        } catch (const std::exception& error) {
            failures[n] = QString::fromUtf8(error.what());
            together.arrive_and_drop();
        }
    };
    std::thread first(workstation, 0);
    std::thread second(workstation, 1);
    first.join();
    second.join();
    EXPECT_TRUE(failures[0].isEmpty()) << failures[0].toStdString();
    EXPECT_TRUE(failures[1].isEmpty()) << failures[1].toStdString();
    return answers;
}

// The demo database is made by each test, with the size that it needs.
class TwoWorkstations : public OnEachBackend<DemoDatabaseTest> {
  protected:
    void SetUp() override {
        OnEachBackend::SetUp();
        host::registerDemoProcedures();
    }
};

TEST_P(TwoWorkstations, ReconcilingTheSameDocumentsReconcileThemOnce) {
    host::DemoOptions options;
    options.invoices = kGroups * host::demoInvoicesPerGroup();
    createDemo(options);
    const QList<Attempt> attempts = reconcilableInvoices(connection);
    const qint64 before = readScalar(connection, "select count(*) from t_GS_billGJ").toLongLong();

    // Both workstations call at once, round after round, on the same documents.
    const auto answers = reconcileTogether(connectionString, {attempts, attempts});
    ASSERT_FALSE(HasFailure());

    for (qsizetype round = 0; round < attempts.size(); ++round) {
        SCOPED_TRACE(attempts[round].invoice);
        const Answer& a = answers[0][round];
        const Answer& b = answers[1][round];
        EXPECT_EQ(a.value + b.value, 0) << "one reconciles (1), the other is refused (-1)";
        const Answer& refused = a.value == -1 ? a : b;
        EXPECT_EQ(refused.value, -1);
        EXPECT_TRUE(refused.text.contains(QStringLiteral("已经钩稽")))
            << refused.text.toStdString();
        EXPECT_TRUE(refused.text.contains(QStringLiteral("XSFP"))) << refused.text.toStdString();
    }

    // The tables: one reconciliation per round, each complete, no document in two of them.
    EXPECT_EQ(readScalar(connection, "select count(*) from t_GS_billGJ").toLongLong() - before,
              attempts.size());
    EXPECT_TRUE(readRows(connection,
                         "select fbilltype, fbillinterid from t_GS_billGJEntry group by "
                         "fbilltype, fbillinterid having count(*) > 1")
                    .isEmpty())
        << "a document was reconciled twice";
    EXPECT_EQ(readScalar(connection, "select count(distinct fbillno) from t_GS_billGJ"),
              readScalar(connection, "select count(*) from t_GS_billGJ"));
    for (const Attempt& attempt : attempts) {
        SCOPED_TRACE(attempt.invoice);
        const QVariant hook = readScalar(
            connection,
            QString("select fhookinterid from icsale where finterid=%1").arg(attempt.invoice));
        const QString outbound = attempt.outbound.mid(1).chopped(1);
        EXPECT_EQ(readColumn(connection, QString("select fbillinterid from t_GS_billGJEntry where "
                                                 "finterid=%1 order by fentryid")
                                             .arg(hook.toLongLong())),
                  readColumn(connection, QString("select %1 union all select finterid from "
                                                 "icstockbill where finterid in (%2)")
                                             .arg(attempt.invoice)
                                             .arg(outbound)))
            << "the reconciliation holds its invoice and all its outbound documents";
        EXPECT_EQ(readColumn(connection, QString("select distinct fhookinterid from icstockbill "
                                                 "where finterid in (%1)")
                                             .arg(outbound)),
                  QVariantList({hook}));
    }
    std::printf(
        "%s: %lld reconciliation attempts, two at the same moment on the same documents each time "
        "(%lld rounds): every round one reconciled and one refused, no document reconciled "
        "twice\n",
        backend() == Backend::SQLite ? "SQLite" : "PostgreSQL",
        static_cast<long long>(2 * attempts.size()), static_cast<long long>(attempts.size()));
}

TEST_P(TwoWorkstations, ReconcilingOtherDocumentsAtOnceTakeNumbersInTurn) {
    host::DemoOptions options;
    options.invoices = kGroups * host::demoInvoicesPerGroup();
    createDemo(options);
    const QList<Attempt> attempts = reconcilableInvoices(connection);
    std::array<QList<Attempt>, 2> halves;
    for (qsizetype i = 0; i + 1 < attempts.size(); i += 2) {
        halves[0].append(attempts[i]);
        halves[1].append(attempts[i + 1]);
    }
    const auto answers = reconcileTogether(connectionString, halves);
    ASSERT_FALSE(HasFailure());
    for (int n : {0, 1})
        for (const Answer& answer : answers[n])
            EXPECT_EQ(answer.value, 1) << answer.text.toStdString();
    // Numbers follow each other without a gap or a number taken twice.
    const QVariantList numbers =
        readColumn(connection, "select fbillno from t_GS_billGJ order by finterid");
    ASSERT_EQ(numbers.size(), kGroups + 2 * halves[0].size());
    for (qsizetype i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(numbers[i].toString(), QStringLiteral("GJ%1").arg(i + 1, 6, 10, QChar('0')));
}

// The width of column `i` that the workstation of `base` saves, in whole pixels so that it
// survives the grid's twips conversion.
int widthOf(int base, int i) {
    return FlexGrid::pixelsToTwipsX(base + 3 * i);
}

// What a layout save of one workstation writes.
QList<QVariantList> layoutOf(int base) {
    QList<QVariantList> rows;
    for (int i = 0; i < kLayoutColumns; ++i) rows.append({i, widthOf(base, i)});
    return rows;
}

TEST_P(TwoWorkstations, SavingOneLayoutLeaveOneCompleteLayout) {
    createDemo();
    const QString program = QCoreApplication::applicationFilePath();
    const QString start = dir.file("start");
    const QList<int> bases{60, 120};
    QList<QProcess*> workstations;
    for (int base : bases) {
        auto* process = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kWorkerDatabase, connectionString);
        env.insert(kWorkerWidth, QString::number(base));
        env.insert(kWorkerStart, start);
        process->setProcessEnvironment(env);
        process->start(program, {"--gtest_filter=LayoutWorkstation.*"});
        workstations.append(process);
    }
    for (QProcess* process : workstations) ASSERT_TRUE(process->waitForStarted());
    QFile(start).open(QIODevice::WriteOnly);

    // Watch the stored layout while both save: every state seen is one workstation's, whole.
    int looks = 0;
    QStringList mixtures;
    const QString query =
        "select fsequence, fwidth from t_GS_tableinfo where ftablename='XSGJA' and ftype=1 "
        "order by fsequence, fwidth";
    while (workstations[0]->state() != QProcess::NotRunning ||
           workstations[1]->state() != QProcess::NotRunning) {
        const QList<QVariantList> seen = readRows(connection, query);
        ++looks;
        if (!seen.isEmpty() && seen != layoutOf(bases[0]) && seen != layoutOf(bases[1]))
            mixtures << QString::number(seen.size());
        QThread::msleep(2);
        for (QProcess* process : workstations) process->waitForFinished(0);
    }
    int saved = 0;
    for (QProcess* process : workstations) {
        const QString out = QString::fromUtf8(process->readAllStandardOutput());
        EXPECT_EQ(process->exitCode(), 0) << out.toStdString();
        const auto match = QRegularExpression("saved (\\d+) of").match(out);
        EXPECT_TRUE(match.hasMatch()) << out.toStdString();
        saved += match.captured(1).toInt();
        delete process;
    }
    EXPECT_TRUE(mixtures.isEmpty())
        << "mixed layouts seen, rows: " << mixtures.join(',').toStdString();
    const QList<QVariantList> last = readRows(connection, query);
    EXPECT_TRUE(last == layoutOf(bases[0]) || last == layoutOf(bases[1]));
    EXPECT_GT(saved, kLayoutSaves) << "both workstations saved";
    std::printf(
        "%s: %d layout saves by two workstations at once (%d looks at the table): always one "
        "complete layout\n",
        backend() == Backend::SQLite ? "SQLite" : "PostgreSQL", saved, looks);
}

// One workstation of the layout test, started by it: saves its widths kLayoutSaves times.
// Skipped when run on its own.
TEST(LayoutWorkstation, SavesItsLayoutRepeatedly) {
    if (qEnvironmentVariableIsEmpty(kWorkerDatabase))
        GTEST_SKIP() << "a workstation of TwoWorkstations.SavingOneLayoutLeaveOneCompleteLayout";
    const int base = qEnvironmentVariableIntValue(kWorkerWidth);
    shared().DBConnectionString = qEnvironmentVariable(kWorkerDatabase);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(qEnvironmentVariable(kWorkerStart)) && waited.elapsed() < 30000)
        QThread::msleep(1);
    RecordingMessages messages;
    FlexGrid grid("vsf1");
    grid.setColCount(kLayoutColumns);
    int saved = 0;
    for (int round = 0; round < kLayoutSaves; ++round) {
        for (int i = 0; i < kLayoutColumns; ++i) grid.setColWidth(i, widthOf(base, i));
        if (SaveGridLayout("XSGJA", grid, 1)) ++saved;
    }
    // A save that lost against the other workstation's says so, and leaves the connection closed.
    EXPECT_EQ(messages.messages.size(), kLayoutSaves - saved);
    EXPECT_EQ(shared().gConnection, nullptr);
    std::printf("saved %d of %d\n", saved, kLayoutSaves);
}

XHOOK_ON_BOTH_BACKENDS(TwoWorkstations);

}  // namespace
