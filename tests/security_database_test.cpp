// Host databases that are not as the component expects: missing, not a database, read-only,
// locked by another workstation, or without an object or column of the contract. Each failure is
// reported with a message that says what is wrong, the connection is gone afterwards, the window
// stays usable, and the next operation works once the database is right again.

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <iostream>

#include "DeZuvarEDodOziv8/clsXoutBillHook.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/GridLayoutStore.h"
#include "data/NativeProcedures.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoProcedures.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

class BrokenDatabase : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        DemoDatabaseFixture::SetUp();
        path_ = dir.file("demo.db");
        connectionString_ = shared().DBConnectionString;
    }
    void TearDown() override {
        host::registerDemoProcedures();
        shared().gHookWindow.reset();
        clearSettings();
        DemoDatabaseFixture::TearDown();
    }
    void run(const QString& sql) {
        data::Connection db;
        db.setConnectionString(connectionString_);
        db.open();
        db.execute(sql);
    }
    // The one message shown since the last clear holds every part (without regard to case).
    void expectMessage(std::initializer_list<const char*> parts, int style) {
        ASSERT_EQ(messages.messages.size(), 1) << "expected a message naming " << *parts.begin();
        const QString& text = messages.messages[0].text;
        for (const char* part : parts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(part), Qt::CaseInsensitive))
                << text.toStdString() << " lacks " << part;
        EXPECT_EQ(messages.messages[0].style, style);
        EXPECT_EQ(shared().gConnection, nullptr);
        messages.messages.clear();
        ++reported_;
    }
    // The window still works: a load of the invoice grid from a database that is right.
    void expectWindowUsable() {
        EXPECT_TRUE(window.isLoaded());
        shared().DBConnectionString = connectionString_;
        shared().gInvoiceIds = "1001";
        EXPECT_TRUE(window.find1());
        EXPECT_GT(window.vsf1().RowCount(), 2);
        EXPECT_TRUE(messages.messages.isEmpty());
    }

    QString path_;
    QString connectionString_;
    int reported_ = 0;
};

// Missing, or not a database: hookBill fails to the host with the provider's description; inside
// the window the lookup's load reports it at the event boundary.
TEST_F(BrokenDatabase, AMissingOrForeignFileIsReportedAndTheNextCallWorks) {
    for (const QString& broken : {dir.file("missing.db"), dir.file("foreign.db")}) {
        if (broken.endsWith("foreign.db")) {
            QFile file(broken);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        }
        SCOPED_TRACE(broken.toStdString());
        clearSettings();
        writeSetting("DBOperation", "DBConnectionString", host::sqliteConnectionString(broken));
        DeZuvarEDodOziv8::clsXoutBillHook hook;
        QString ids = "1001";
        try {
            hook.hookBill(ids);
            ADD_FAILURE() << "hookBill must fail";
        } catch (const DeZuvarEDodOziv8::Error& error) {
            EXPECT_NE(error.number(), 0);
            EXPECT_TRUE(error.description().contains(broken)) << error.description().toStdString();
        }
        EXPECT_EQ(shared().gConnection, nullptr);
        ++reported_;

        // The same inside the window, from the outbound lookup.
        shared().gOutboundIds = "5001";
        const BoundaryRun lookup = runAtEventBoundary([&] { shared().gHookWindow->find2(); });
        EXPECT_FALSE(lookup.completed);
        ASSERT_TRUE(lookup.passedOut.has_value());
        EXPECT_TRUE(lookup.passedOut->contains(broken));
        messages.messages.clear();
        ++reported_;

        writeSetting("DBOperation", "DBConnectionString", connectionString_);
        QTimer::singleShot(0, [] { shared().gHookWindow->close(); });
        DeZuvarEDodOziv8::clsXoutBillHook next;
        EXPECT_NO_THROW(next.hookBill(ids)) << "the next call works with the database back";
    }
    std::cout << "[database states] missing or foreign file: " << reported_ << " reported"
              << std::endl;
}

// Opened read-only: the loads work, every write is refused with the database's own words, and
// nothing changes.
TEST_F(BrokenDatabase, AReadOnlyDatabaseRefusesEveryWriteAndStaysUnchanged) {
    const QMap<QString, QStringList> before = databaseContent(connectionString_);
    shared().DBConnectionString = connectionString_ + ";Mode=Read";
    loadWindow("1001", "5001");
    EXPECT_TRUE(messages.messages.isEmpty()) << "reading works";

    form().MenuBillHook1->trigger();
    expectMessage({"readonly"}, MessageExclamation);
    form().MenuAutoHook->trigger();
    expectMessage({"readonly"}, MessageExclamation);
    EXPECT_FALSE(SaveGridLayout("XSGJA", *form().vsf1, 1));
    expectMessage({"readonly"}, MessageNoIcon);
    EXPECT_FALSE(LoadGridLayout("XSGJA", *form().vsf1, 1));
    expectMessage({"readonly"}, MessageNoIcon);
    EXPECT_TRUE(commandsEnabled());
    EXPECT_EQ(databaseContent(connectionString_), before);
    expectWindowUsable();
    form().MenuBillHook1->trigger();
    EXPECT_EQ(messages.messages.value(0).text, QStringLiteral("钩稽成功!"));
    std::cout << "[database states] read-only: " << reported_ << " writes refused" << std::endl;
}

// Another workstation holds the database: with an exclusive lock nothing can be read, with a
// write lock reads work and writes wait out the busy timeout. Each is reported; once the other
// workstation lets go, everything works again.
TEST_F(BrokenDatabase, ADatabaseLockedByAnotherWorkstationIsReportedAfterTheBusyTimeout) {
    loadWindow("1001", "5001");
    const QMap<QString, QStringList> before = databaseContent(connectionString_);
    data::Connection other;
    other.setConnectionString(connectionString_);
    other.open();

    other.execute("BEGIN EXCLUSIVE");
    QElapsedTimer waited;
    waited.start();
    const BoundaryRun load = runAtEventBoundary([&] { window.find1(); });
    EXPECT_GE(waited.elapsed(), 4000) << "waits for the other workstation first";
    ASSERT_TRUE(load.passedOut.has_value()) << "the open fails and reaches the event boundary";
    EXPECT_TRUE(load.passedOut->contains("locked", Qt::CaseInsensitive));
    EXPECT_EQ(messages.messages.size(), 1);
    messages.messages.clear();
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_GT(form().vsf1->RowCount(), 2) << "the grid keeps what it showed";
    ++reported_;
    other.execute("ROLLBACK");

    other.execute("BEGIN IMMEDIATE");
    form().MenuBillHook1->trigger();
    expectMessage({"locked"}, MessageExclamation);
    EXPECT_FALSE(SaveGridLayout("XSGJA", *form().vsf1, 1));
    expectMessage({"locked"}, MessageNoIcon);
    EXPECT_TRUE(commandsEnabled());
    other.execute("ROLLBACK");
    other.close();

    EXPECT_EQ(databaseContent(connectionString_), before);
    expectWindowUsable();
    form().MenuBillHook1->trigger();
    EXPECT_EQ(messages.messages.value(0).text, QStringLiteral("钩稽成功!"));
    std::cout << "[database states] locked: " << reported_ << " reported" << std::endl;
}

// Objects and columns of the contract that the database lacks: the message names what is missing.
TEST_F(BrokenDatabase, AMissingObjectOrColumnIsNamedInTheMessage) {
    loadWindow("1001", "5001");
    const GridSnapshot invoices = gridSnapshot(*form().vsf1);

    run("alter table icsaleentry rename column fsinterid to fsource");
    form().MenuAutoHook->trigger();
    expectMessage({"fsinterid"}, MessageExclamation);
    run("alter table icsaleentry rename column fsource to fsinterid");

    data::unregisterNativeProcedure("sp_GS_billGJ");
    form().MenuBillHook1->trigger();
    expectMessage({"sp_GS_billGJ"}, MessageExclamation);
    host::registerDemoProcedures();

    run("alter table tblFindInfoEntry rename to tblFindInfoEntry_gone");
    EXPECT_FALSE(window.find1());
    expectMessage({"tblFindInfoEntry"}, MessageNoIcon);
    EXPECT_EQ(gridSnapshot(*form().vsf1), invoices) << "failed before the grid was touched";
    run("alter table tblFindInfoEntry_gone rename to tblFindInfoEntry");

    run("drop view vGSaleFP");
    EXPECT_FALSE(window.find1());
    expectMessage({"vGSaleFP"}, MessageNoIcon);
    run("create view vGSaleFP as select e.finterid, e.fentryid, h.fbillno, e.fentryid as "
        "forderid, h.fstatus from icsaleentry e join icsale h on h.finterid = e.finterid");
    EXPECT_FALSE(window.find1());
    expectMessage({"fcustomerIdNumber"}, MessageNoIcon);

    run("alter table t_GS_tableinfo rename to t_GS_tableinfo_gone");
    EXPECT_FALSE(SaveGridLayout("XSGJA", *form().vsf1, 1));
    expectMessage({"t_GS_tableinfo"}, MessageNoIcon);
    EXPECT_FALSE(LoadGridLayout("XSGJA", *form().vsf1, 1));
    expectMessage({"t_GS_tableinfo"}, MessageNoIcon);
    run("create table t_GS_tableinfo (ftablename varchar(50), fsequence integer, ftype integer)");
    EXPECT_FALSE(SaveGridLayout("XSGJA", *form().vsf1, 1));
    expectMessage({"fwidth"}, MessageNoIcon);

    EXPECT_TRUE(commandsEnabled());
    EXPECT_TRUE(window.isLoaded());
    EXPECT_TRUE(reconciliationInconsistencies(connectionString_).isEmpty());
    std::cout << "[database states] missing objects and columns: " << reported_ << " named"
              << std::endl;
}

}  // namespace
