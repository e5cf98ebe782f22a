// Each database operation of the window, failed at every one of its database calls in turn: the
// failure is shown as the operation's own failure handling shows it (or passes to the window's
// event handling where the operation does not handle it), the connection is gone afterwards, the
// grids, the id lists and the database are as the failure leaves them, the window stays usable,
// and the same operation succeeds once the fault is cleared.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMap>
#include <iostream>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "data/DbError.h"
#include "data/FaultInjection.h"
#include "data/GridLayoutStore.h"
#include "host/lib/DemoDatabase.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "tests/support/TestSupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;
using data::DbCall;
using data::FaultInjection;

namespace {

const QString kInjected = QStringLiteral("injected fault");
const QString kInvoiceLayout = QStringLiteral("XSGJA");

// What one run of an operation with one failing database call showed.
struct FaultedRun {
    int point = 0;
    DbCall call = DbCall::Open;
    QList<DbCall> kinds;  // the calls counted, up to the end of the run
    bool routed = false;  // started through the window's menu, inside its own event boundary
    BoundaryRun boundary;
    RecordingMessages::Message message;
};

struct Operation {
    QString name;
    std::function<void()> prepare;  // the window, lists and database before the operation
    std::function<void()> run;      // the operation, started as the window starts it
    std::function<void(const FaultedRun&)> checkFaulted;
    std::function<void()> checkSucceeded;  // after a run without a fault
    bool routed = false;  // `run` triggers a menu item: the window's own step reports errors
};

// The answers of a finder whose user chose nothing: the lookup reloads the outbound grid.
class ChoosingNothingFinder : public DocumentFinder {
  public:
    QString Find(QString&, QString&) override { return {}; }
    QString SelectedIds() override { return {}; }
};

LayoutRows sequentialRows(const QList<int>& widths) {
    LayoutRows rows;
    for (int i = 0; i < widths.size(); ++i) rows.append({i, widths[i]});
    return rows;
}

QString callCounts(const QList<DbCall>& kinds) {
    QMap<QString, int> counts;
    for (DbCall call : kinds) ++counts[data::dbCallName(call)];
    QStringList parts;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return parts.join(", ");
}

class FaultSweep : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        templatePath_ = dir.file("demo.db");
        registerDocumentFinderFactory(kDocumentFinderClsid,
                                      [] { return std::make_unique<ChoosingNothingFinder>(); });
    }
    void TearDown() override {
        FaultInjection::clear();
        registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
        DemoDatabaseFixture::TearDown();
    }

    // A copy of the demo database of its own for each run.
    void freshDatabase(int run) {
        const QString path = dir.file(QStringLiteral("run-%1.db").arg(run));
        ASSERT_TRUE(QFile::copy(templatePath_, path));
        connectionString_ = host::sqliteConnectionString(path);
        shared().DBConnectionString = connectionString_;
    }

    // Fails call 1, 2, ... of the operation until a run no longer reaches the call; returns how
    // many fault points were tried.
    int sweep(const Operation& op) {
        for (int point = 1; point < 1000; ++point) {
            freshDatabase(point);
            op.prepare();
            if (HasFatalFailure()) return point - 1;
            messages.messages.clear();
            FaultInjection::failCall(point);
            FaultedRun run;
            run.point = point;
            run.routed = op.routed;
            run.boundary = runAtEventBoundary(op.run);
            const bool fired = FaultInjection::triggered();
            run.kinds = FaultInjection::callKinds();
            if (fired) run.call = *FaultInjection::failedCall();
            FaultInjection::clear();
            if (!fired) {
                SCOPED_TRACE(op.name.toStdString() + ": the run without a fault");
                EXPECT_TRUE(run.boundary.completed);
                op.checkSucceeded();
                std::cout << "[fault points] " << op.name.toStdString() << ": " << point - 1 << " ("
                          << callCounts(run.kinds).toStdString() << ")" << std::endl;
                return point - 1;
            }
            SCOPED_TRACE(QStringLiteral("%1, database call %2 (%3) failed")
                             .arg(op.name)
                             .arg(point)
                             .arg(data::dbCallName(run.call))
                             .toStdString());
            checkCommon(run, op);
            messages.messages.clear();
            const BoundaryRun retry = runAtEventBoundary(op.run);
            EXPECT_TRUE(retry.completed) << "the next run, without a fault";
            op.checkSucceeded();
        }
        ADD_FAILURE() << "the operation never ran out of database calls";
        return 0;
    }

    void checkCommon(FaultedRun& run, const Operation& op) {
        EXPECT_EQ(shared().gConnection, nullptr) << "no connection is left behind";
        EXPECT_TRUE(window.isLoaded()) << "the window is still there";
        ASSERT_EQ(messages.messages.size(), 1) << "the failure is shown once";
        run.message = messages.messages.first();
        EXPECT_TRUE(run.message.text.contains(kInjected)) << run.message.text.toStdString();
        op.checkFaulted(run);
    }

    // The error reached the caller of the operation: the window's event handling showed it.
    static void expectPassedOut(const FaultedRun& run) {
        EXPECT_EQ(run.boundary.completed, run.routed);
        EXPECT_EQ(run.boundary.passedOut.has_value(), !run.routed);
        EXPECT_EQ(run.message.style, MessageExclamation);
        EXPECT_EQ(run.message.title, kTitle);
        EXPECT_FALSE(run.message.connectionOpen);
    }
    // The grid loader's and the layout store's message: no icon, no title of its own, shown while
    // the connection is still open.
    static void expectPlainFailureMessage(const FaultedRun& run, bool connectionOpen = true) {
        EXPECT_TRUE(run.boundary.completed) << "handled by the operation itself";
        EXPECT_EQ(run.message.style, MessageNoIcon);
        EXPECT_EQ(run.message.title, std::nullopt);
        EXPECT_EQ(run.message.connectionOpen, connectionOpen);
    }
    // The layout store's close lies inside its failure handling: only a failed open passes out.
    static void expectLayoutFailure(const FaultedRun& run) {
        if (run.call == DbCall::Open)
            expectPassedOut(run);
        else
            expectPlainFailureMessage(run, run.call != DbCall::Close);
    }
    // The open and the normal path's close lie outside the operation's own failure handling.
    static bool outsideHandling(const FaultedRun& run) {
        return run.call == DbCall::Open || run.call == DbCall::Close;
    }

    Operation gridLoad(const QString& name, FlexGrid& (FrmHookResult::*grid)(), QString& list,
                       const QString& loaded, const QString& before, std::function<void()> run,
                       bool routed) {
        auto complete = std::make_shared<GridSnapshot>();
        auto previous = std::make_shared<GridSnapshot>();
        auto otherList = std::make_shared<QString>();
        QString* other =
            &list == &shared().gInvoiceIds ? &shared().gOutboundIds : &shared().gInvoiceIds;
        const auto load = [this, grid, &list](const QString& ids) {
            list = ids;
            (window.*grid)();  // touches the grid: loads the window
            if (&list == &shared().gInvoiceIds)
                ASSERT_TRUE(window.find1());
            else
                ASSERT_TRUE(window.find2());
        };
        return {name,
                [=, this, &list] {
                    load(loaded);
                    *complete = gridSnapshot((window.*grid)());
                    load(before);
                    *previous = gridSnapshot((window.*grid)());
                    list = loaded;
                    *other = QStringLiteral("1002");
                    *otherList = *other;
                },
                run,
                [=, this, &list](const FaultedRun& faulted) {
                    if (outsideHandling(faulted))
                        expectPassedOut(faulted);
                    else
                        expectPlainFailureMessage(faulted);
                    const GridSnapshot now = gridSnapshot((window.*grid)());
                    if (faulted.call == DbCall::Close)
                        EXPECT_EQ(now, *complete) << "the load was complete when the close failed";
                    else
                        EXPECT_TRUE(now == *previous || (isLeadingPart(now, *complete) &&
                                                         now.size() < complete->size()))
                            << "unchanged, or the lines read before the failure without totals";
                    EXPECT_EQ(list, loaded) << "the loader does not change the lists";
                    EXPECT_EQ(*other, *otherList);
                },
                [=, this] { EXPECT_EQ(gridSnapshot((window.*grid)()), *complete); },
                routed};
    }

    // Both reconciliations, on invoice 1001 and its outbound document 5001 (they match).
    Operation reconciliation(const QString& name, QAction* HookForm::*command, bool manual) {
        auto grids = std::make_shared<QPair<GridSnapshot, GridSnapshot>>();
        auto reconciledByFault = std::make_shared<bool>(false);
        auto before = std::make_shared<int>(0);
        return {name,
                [=, this] {
                    window.close();  // a new load of the window: every command enabled again
                    loadWindow("1001", manual ? "5001" : "");
                    *grids = {gridSnapshot(*form().vsf1), gridSnapshot(*form().vsf2)};
                    *before = test::reconciliationCount(connectionString_);
                    *reconciledByFault = false;
                },
                [=, this] { (form().*command)->trigger(); },
                [=, this](const FaultedRun& faulted) {
                    EXPECT_TRUE(faulted.boundary.completed) << "the window's own step reported it";
                    EXPECT_EQ(faulted.message.style, MessageExclamation);
                    EXPECT_EQ(faulted.message.title, kTitle);
                    EXPECT_EQ(faulted.message.connectionOpen, !outsideHandling(faulted));
                    EXPECT_EQ(shared().gInvoiceIds, "1001") << "rewritten from the invoice grid";
                    const QStringList outbound =
                        manual ? QStringList{"5001"} : QStringList{",", ",5001,", "5001"};
                    EXPECT_TRUE(outbound.contains(shared().gOutboundIds))
                        << shared().gOutboundIds.toStdString();
                    EXPECT_EQ(gridSnapshot(*form().vsf1), grids->first) << "grids are not reloaded";
                    EXPECT_EQ(gridSnapshot(*form().vsf2), grids->second);
                    EXPECT_TRUE(commandsEnabled()) << "no success effects after a failure";
                    EXPECT_TRUE(reconciliationInconsistencies(connectionString_).isEmpty());
                    const int commitAt = faulted.kinds.indexOf(DbCall::Commit);
                    const bool committed = commitAt >= 0 && commitAt < faulted.point - 1;
                    *reconciledByFault =
                        test::reconciliationCount(connectionString_) == *before + 1;
                    EXPECT_EQ(*reconciledByFault, committed)
                        << "recorded exactly when the procedure's transaction committed before "
                           "the failure";
                    if (!*reconciledByFault) {
                        EXPECT_EQ(test::reconciliationCount(connectionString_), *before);
                    }
                },
                [=, this] {
                    ASSERT_EQ(messages.messages.size(), 1);
                    EXPECT_TRUE(reconciliationInconsistencies(connectionString_).isEmpty());
                    EXPECT_EQ(test::reconciliationCount(connectionString_), *before + 1);
                    if (*reconciledByFault) {
                        EXPECT_TRUE(messages.messages[0].text.contains(QStringLiteral("已经钩稽")))
                            << "the procedure refuses the documents it has already reconciled";
                        EXPECT_TRUE(commandsEnabled());
                    } else {
                        EXPECT_EQ(messages.messages[0].text, QStringLiteral("钩稽成功!"));
                        EXPECT_TRUE(commandsDisabled());
                    }
                },
                true};
    }

    void setWidths(FlexGrid& grid, const QList<int>& widths) {
        for (int c = 0; c < widths.size(); ++c) grid.setColWidth(c, widths[c]);
    }
    QList<int> widthsOf(const FlexGrid& grid) {
        QList<int> widths;
        for (int c = 0; c < grid.ColCount(); ++c) widths.append(grid.ColWidth(c));
        return widths;
    }
    // Widths in whole pixels, so that they survive the twips round trip exactly.
    QList<int> pixelWidths(int first) {
        QList<int> widths;
        for (int c = 0; c < form().vsf1->ColCount(); ++c)
            widths.append(FlexGrid::pixelsToTwipsX(first + 3 * c));
        return widths;
    }

    QString connectionString_;

  private:
    QString templatePath_;
};

TEST_F(FaultSweep, Find1) {
    const int points = sweep(gridLoad(
        "find1", &FrmHookResult::vsf1, shared().gInvoiceIds, "1001,1003", "1002",
        [this] { window.find1(); }, false));
    EXPECT_GT(points, 10);
}

TEST_F(FaultSweep, Find2ThroughTheOutboundLookup) {
    const int points = sweep(gridLoad(
        "find2", &FrmHookResult::vsf2, shared().gOutboundIds, "5001,5003", "5002",
        [this] { window.form().MenuXOutFind->trigger(); }, true));
    EXPECT_GT(points, 10);
}

TEST_F(FaultSweep, ManualReconciliation) {
    EXPECT_GT(sweep(reconciliation("manual reconciliation", &HookForm::MenuBillHook1, true)), 2);
}

TEST_F(FaultSweep, AutomaticReconciliation) {
    EXPECT_GT(sweep(reconciliation("automatic reconciliation", &HookForm::MenuAutoHook, false)), 5);
}

TEST_F(FaultSweep, SaveGridLayoutKeepsThePreviousLayoutWhole) {
    auto previous = std::make_shared<LayoutRows>();
    auto next = std::make_shared<QList<int>>();
    const Operation save{
        "SaveGridLayout",
        [=, this] {
            loadWindow("1001", "");
            setWidths(*form().vsf1, pixelWidths(40));
            ASSERT_TRUE(SaveGridLayout(kInvoiceLayout, *form().vsf1, 1));
            *previous = storedLayout(connectionString_, kInvoiceLayout, 1);
            *next = pixelWidths(70);
            setWidths(*form().vsf1, *next);
        },
        [=, this] { SaveGridLayout(kInvoiceLayout, *form().vsf1, 1); },
        [=, this](const FaultedRun& faulted) {
            const LayoutRows stored = storedLayout(connectionString_, kInvoiceLayout, 1);
            expectLayoutFailure(faulted);
            if (faulted.call == DbCall::Close) {
                EXPECT_EQ(stored, sequentialRows(*next)) << "committed before the close failed";
            } else {
                EXPECT_EQ(stored, *previous) << "the previous layout stays whole";
            }
        },
        [=, this] {
            EXPECT_TRUE(messages.messages.isEmpty());
            EXPECT_EQ(storedLayout(connectionString_, kInvoiceLayout, 1), sequentialRows(*next));
        }};
    EXPECT_GT(sweep(save), 10);
}

TEST_F(FaultSweep, LoadGridLayoutAppliesALeadingPartOfTheStoredWidths) {
    auto stored = std::make_shared<QList<int>>();
    auto current = std::make_shared<QList<int>>();
    const Operation load{
        "LoadGridLayout (stored layout)",
        [=, this] {
            loadWindow("1001", "");
            *stored = pixelWidths(50);
            setWidths(*form().vsf1, *stored);
            ASSERT_TRUE(SaveGridLayout(kInvoiceLayout, *form().vsf1, 1));
            *current = pixelWidths(20);
            setWidths(*form().vsf1, *current);
        },
        [=, this] { LoadGridLayout(kInvoiceLayout, *form().vsf1, 1); },
        [=, this](const FaultedRun& faulted) {
            expectLayoutFailure(faulted);
            const QList<int> now = widthsOf(*form().vsf1);
            qsizetype applied = 0;
            while (applied < now.size() && now[applied] == (*stored)[applied]) ++applied;
            EXPECT_EQ(now.mid(applied), current->mid(applied))
                << "the widths applied before the failure, the others as they were";
            if (faulted.call == DbCall::Close) {
                EXPECT_EQ(now, *stored);
            }
            EXPECT_EQ(storedLayout(connectionString_, kInvoiceLayout, 1), sequentialRows(*stored));
        },
        [=, this] {
            EXPECT_TRUE(messages.messages.isEmpty());
            EXPECT_EQ(widthsOf(*form().vsf1), *stored);
        }};
    EXPECT_GT(sweep(load), 10);
}

TEST_F(FaultSweep, LoadGridLayoutWithoutALayoutRecordsTheWidthsStatementByStatement) {
    auto current = std::make_shared<QList<int>>();
    const Operation load{
        "LoadGridLayout (no stored layout)",
        [=, this] {
            loadWindow("1001", "");
            *current = pixelWidths(30);
            setWidths(*form().vsf1, *current);
        },
        [=, this] { LoadGridLayout(kInvoiceLayout, *form().vsf1, 1); },
        [=, this](const FaultedRun& faulted) {
            expectLayoutFailure(faulted);
            const LayoutRows record = storedLayout(connectionString_, kInvoiceLayout, 0);
            const LayoutRows all = sequentialRows(*current);
            EXPECT_EQ(record, all.mid(0, record.size())) << "the rows inserted before the failure";
            EXPECT_EQ(widthsOf(*form().vsf1), *current) << "the grid's widths are not changed";
        },
        [=, this] {
            EXPECT_TRUE(messages.messages.isEmpty());
            EXPECT_EQ(storedLayout(connectionString_, kInvoiceLayout, 0), sequentialRows(*current));
        }};
    EXPECT_GT(sweep(load), 10);
}

// A failed rollback after a failed write of the layout: both are reported, the connection is
// gone, and closing it rolled the transaction back all the same.
TEST_F(FaultSweep, SaveGridLayoutWhoseRollbackFailsToo) {
    freshDatabase(0);
    loadWindow("1001", "");
    setWidths(*form().vsf1, pixelWidths(40));
    ASSERT_TRUE(SaveGridLayout(kInvoiceLayout, *form().vsf1, 1));
    const LayoutRows previous = storedLayout(connectionString_, kInvoiceLayout, 1);
    setWidths(*form().vsf1, pixelWidths(90));

    FaultInjection::failCall(1000000);  // counts only
    SaveGridLayout(kInvoiceLayout, *form().vsf1, 1);
    const QList<DbCall> kinds = FaultInjection::callKinds();
    FaultInjection::clear();
    ASSERT_TRUE(SaveGridLayout(kInvoiceLayout, *form().vsf1, 1));  // back to the previous layout
    setWidths(*form().vsf1, pixelWidths(40));
    ASSERT_TRUE(SaveGridLayout(kInvoiceLayout, *form().vsf1, 1));
    setWidths(*form().vsf1, pixelWidths(90));

    const qsizetype begin = kinds.indexOf(DbCall::Begin);
    const qsizetype commit = kinds.indexOf(DbCall::Commit);
    ASSERT_GE(begin, 0);
    int tried = 0;
    for (qsizetype failing = begin + 1; failing <= commit; ++failing) {
        SCOPED_TRACE(QStringLiteral("call %1 (%2) and the rollback after it fail")
                         .arg(failing + 1)
                         .arg(data::dbCallName(kinds[failing]))
                         .toStdString());
        messages.messages.clear();
        FaultInjection::failCalls({int(failing) + 1, int(failing) + 2});
        const BoundaryRun run =
            runAtEventBoundary([&] { SaveGridLayout(kInvoiceLayout, *form().vsf1, 1); });
        ASSERT_EQ(FaultInjection::callKinds().value(failing + 1), DbCall::Rollback);
        FaultInjection::clear();
        ++tried;
        EXPECT_FALSE(run.completed) << "the rollback's error passes out of the failure handling";
        ASSERT_EQ(messages.messages.size(), 2) << "the save's message, then the event boundary's";
        EXPECT_EQ(messages.messages[0].style, MessageNoIcon);
        EXPECT_EQ(messages.messages[1].style, MessageExclamation);
        EXPECT_EQ(shared().gConnection, nullptr);
        EXPECT_EQ(storedLayout(connectionString_, kInvoiceLayout, 1), previous);
    }
    std::cout << "[fault points] SaveGridLayout with a failing rollback: " << tried << std::endl;
    EXPECT_GT(tried, 5);
}

// hookBill's find1: a failure to open reaches the host as the failure of hookBill; the appended
// list stays; no window is shown; the next call works.
TEST_F(FaultSweep, AFailedOpenInHookBillReachesTheHost) {
    clearSettings();
    freshDatabase(0);
    writeSetting("DBOperation", "DBConnectionString", connectionString_);
    DeZuvarEDodOziv8::clsXoutBillHook hook;
    QString ids = "1001";
    FaultInjection::failCall(1);
    try {
        hook.hookBill(ids);
        ADD_FAILURE() << "hookBill must fail";
    } catch (const DeZuvarEDodOziv8::Error& error) {
        EXPECT_EQ(error.number(), data::DbErrorNumber::InjectedFault);
        EXPECT_TRUE(error.description().contains(kInjected));
    }
    FaultInjection::clear();
    EXPECT_EQ(shared().gInvoiceIds, "1001");
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_TRUE(messages.messages.isEmpty()) << "the host reports it, not the component";
    ASSERT_TRUE(shared().gHookWindow);
    EXPECT_FALSE(shared().gHookWindow->isVisible());
    EXPECT_TRUE(shared().gHookWindow->find1());
    EXPECT_GT(shared().gHookWindow->vsf1().RowCount(), 2);
    shared().gHookWindow.reset();
    clearSettings();
}

}  // namespace
