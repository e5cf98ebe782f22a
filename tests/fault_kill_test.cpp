// A process killed (SIGKILL) in the middle of a layout save or of a reconciliation leaves the host
// database consistent: the layout that the last finished save wrote, or the one after it, whole;
// a reconciliation recorded completely or not at all. The worker that is killed is a program of
// its own (tests/standalone/kill_worker.cpp); it is killed at varied moments of its runs.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <iostream>

#include "data/Connection.h"
#include "data/ResultSet.h"
#include "host/lib/DemoDatabase.h"
#include "tests/support/ReliabilitySupport.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"

using namespace xhook;
using namespace xhook::test;

namespace {

constexpr int kKills = 40;

class KilledWorker : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.file("demo.db");
        connectionString_ = host::sqliteConnectionString(path_);
        host::createDemoDatabase(connectionString_, {});
    }

    // Starts the worker, lets it finish `runs` runs, waits `micros` microseconds more and kills
    // it. Returns the number of the last run it reported finished (-1 when none).
    int killAfter(const QString& mode, int runs, int micros) {
        QProcess worker;
        worker.setProgram(QCoreApplication::applicationDirPath() + "/xhook-kill-worker");
        worker.setArguments({mode, connectionString_});
        worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        worker.start();
        EXPECT_TRUE(worker.waitForStarted(10000)) << worker.errorString().toStdString();
        int lastDone = -1;
        QByteArray pending;
        while (lastDone + 1 < runs && worker.state() == QProcess::Running) {
            worker.waitForReadyRead(10000);
            pending += worker.readAllStandardOutput();
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(end);
                pending.remove(0, end + 1);
                if (line.startsWith("done ")) lastDone = line.mid(5).toInt();
            }
        }
        EXPECT_EQ(worker.state(), QProcess::Running) << "the worker stopped by itself";
        QThread::usleep(static_cast<unsigned long>(micros));
        worker.kill();
        worker.waitForFinished(10000);
        pending += worker.readAllStandardOutput();
        for (const QByteArray& line : pending.split('\n'))
            if (line.startsWith("done ")) lastDone = line.mid(5).toInt();
        return lastDone;
    }

    // Whether the kill left a transaction half done (SQLite's hot journal), before anything has
    // opened the database again.
    bool leftAHotJournal() const { return QFile::exists(path_ + "-journal"); }

    void expectIntact() {
        data::Connection db;
        db.setConnectionString(connectionString_);
        db.open();
        EXPECT_EQ(db.openResultSet("pragma integrity_check")->value(0).toString(), "ok");
    }

    TempDir dir_;
    QString path_;
    QString connectionString_;
    QRandomGenerator random_{20241208};
};

// The run whose widths the layout holds: width number r (see the worker) for runs r, r + 350, ...
int runOfWidth(int twips) {
    for (int r = 0; r < 350; ++r)
        if (FlexGrid::pixelsToTwipsX(20 + r) == twips) return r;
    return -1;
}

TEST_F(KilledWorker, ALayoutSaveKilledAtAnyMomentLeavesAWholeLayout) {
    int interrupted = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const int lastDone =
            killAfter("save", 1 + int(random_.bounded(6)), int(random_.bounded(3000)));
        SCOPED_TRACE(QStringLiteral("kill %1 after run %2").arg(kill).arg(lastDone).toStdString());
        if (leftAHotJournal()) ++interrupted;
        const LayoutRows rows = storedLayout(connectionString_, "XSGJA", 1);
        ASSERT_FALSE(rows.isEmpty());
        const int run = runOfWidth(rows[0].second);
        ASSERT_GE(run, 0);
        EXPECT_EQ(rows.size(), 5 + run % 7) << "the columns of one save, all of them";
        for (int i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].first, i);
            EXPECT_EQ(rows[i].second, rows[0].second) << "every width from the same save";
        }
        EXPECT_TRUE(run == lastDone % 350 || run == (lastDone + 1) % 350)
            << "the last finished save, or the one after it, was kept (run " << run << ")";
        expectIntact();
    }
    std::cout << "[kills] layout save: " << kKills << " kills, " << interrupted
              << " inside a transaction" << std::endl;
}

TEST_F(KilledWorker, AReconciliationKilledAtAnyMomentIsWholeOrAbsent) {
    const int before = reconciliationCount(connectionString_);
    int interrupted = 0, recorded = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const int lastDone =
            killAfter("reconcile", 1 + int(random_.bounded(4)), int(random_.bounded(6000)));
        SCOPED_TRACE(QStringLiteral("kill %1 after run %2").arg(kill).arg(lastDone).toStdString());
        EXPECT_GE(lastDone, 0);
        if (leftAHotJournal()) ++interrupted;
        EXPECT_EQ(reconciliationInconsistencies(connectionString_), QStringList());
        const int count = reconciliationCount(connectionString_);
        EXPECT_TRUE(count == before || count == before + 1) << count;
        if (count == before + 1) {
            ++recorded;
            takeBackReconciliation(connectionString_, 1001);  // the next worker starts afresh
        }
        expectIntact();
    }
    std::cout << "[kills] reconciliation: " << kKills << " kills, " << interrupted
              << " inside a transaction, " << recorded << " with the reconciliation recorded whole"
              << std::endl;
}

}  // namespace
