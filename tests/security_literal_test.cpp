// Every text that the component writes into an SQL text as a literal is written by the
// connection's own rules: the customer number in the outbound lookup's filter, and the layout
// store's name in its statements and in the rows its inserts write. The attack's payloads, a
// backslash before a quote, stay inside their literal on SQLite and on PostgreSQL (directly and
// through ODBC), with the
// server's standard_conforming_strings off (where a backslash escapes the quote after it in an
// ordinary literal) and on.
#include <gtest/gtest.h>

#include <QAction>
#include <chrono>
#include <thread>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ConnectionPool.h"
#include "data/GridLayoutStore.h"
#include "data/ResultSet.h"
#include "host/finder/OutboundDocumentQuery.h"
#include "tests/support/ReconcileTestSupport.h"
#include "tests/support/ReliabilitySupport.h"
#include "window/DocumentFinderRegistry.h"
#include "window/FinderContext.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// The host's finder as its plugin lists the documents: its own query with the filter appended,
// through the context that the component gives it.
class ListingFinder : public DocumentFinder {
  public:
    static inline QStringList listed;
    static inline QString filterSeen;
    QString Find(QString&, QString& filter) override {
        filterSeen = filter;
        listed.clear();
        for (const host::OutboundDocument& document :
             host::readOutboundDocuments(componentFinderContext(), filter))
            listed << QString::number(document.id);
        return {};
    }
    QString SelectedIds() override { return {}; }
};

const QStringList kPayloads = {
    QStringLiteral("\\';create table pwned(x int)--"),
    QStringLiteral("\\' or 1=1 --"),
    QStringLiteral("x\\"),
    QStringLiteral("\\\\';create table pwned(x int)"),
    QStringLiteral("x'' or ''1''=''1"),
};

const char* const kNotApplied =
    "the database's sessions keep standard_conforming_strings as the connection pooler in front "
    "of the server reported it first; the run directly on the server covers the setting off";

class LiteralTest : public DemoDatabaseBackendFixture {
  protected:
    void SetUp() override {
        DemoDatabaseBackendFixture::SetUp();
        registerDocumentFinderFactory(kDocumentFinderClsid,
                                      [] { return std::make_unique<ListingFinder>(); });
    }
    void TearDown() override {
        registerDocumentFinderFactory(kDocumentFinderClsid, nullptr);
        data::ConnectionPool::ofThisThread().clear();
        DemoDatabaseBackendFixture::TearDown();
    }

    std::unique_ptr<data::Connection> open() {
        auto connection = std::make_unique<data::Connection>();
        connection->setConnectionString(shared().DBConnectionString);
        connection->open();
        return connection;
    }
    QStringList column(const QString& sql) {
        const auto db = open();
        QStringList found;
        for (auto rows = db->openResultSet(sql); !rows->eof(); rows->moveNext())
            found << rows->value(0).toString();
        return found;
    }

    // On the server, every session of the database reads ordinary literals with the setting:
    // the sessions that start from now on, this one, and none of before, which are ended. True
    // when the component's sessions have it then; a pgbouncer in front of the server gives its
    // clients the setting that its first session of the database reported, whatever the server
    // says later. SQLite has no such setting.
    bool setStandardConformingStrings(bool on) {
        if (!onServer(backend())) return true;
        const QString value = on ? "on" : "off";
        const auto db = open();
        const QString name = db->openResultSet("select current_database()")->value(0).toString();
        db->execute(QStringLiteral("alter database %1 set standard_conforming_strings = %2")
                        .arg(name, value));
        db->execute("set standard_conforming_strings = " + value);
        db->execute(
            "select pg_terminate_backend(pid) from pg_stat_activity where datname = "
            "current_database() and pid <> pg_backend_pid()");
        db->close();
        data::ConnectionPool::ofThisThread().clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return column("show standard_conforming_strings") == QStringList(value);
    }

    bool pwnedExists() {
        const QString sql = onServer(backend())
                                ? "select count(*) from pg_tables where tablename = 'pwned'"
                                : "select count(*) from sqlite_master where name = 'pwned'";
        return column(sql).value(0) != "0";
    }
};

// The payload stored as the customer identity number of invoice 1001's customer, one of whose
// outbound documents is reconciled: the lookup lists that customer's unreconciled documents, the
// same as for a plain number, and runs nothing else.
TEST_P(LiteralTest, ACustomerNumberStaysInsideTheFiltersLiteral) {
    const auto db = open();
    const qint64 customer =
        db->openResultSet("select fcustid from icsale where finterid=1001")->value(0).toLongLong();
    QStringList own;
    for (auto rows = db->openResultSet(
             QStringLiteral("select finterid from icstockbill where fcustid=%1 order by finterid")
                 .arg(customer));
         !rows->eof(); rows->moveNext())
        own << rows->value(0).toString();
    ASSERT_GE(own.size(), 2);
    db->execute(
        QStringLiteral("update icstockbill set fhookinterid=1 where finterid=%1").arg(own.first()));
    const QStringList expected = own.mid(1);
    ASSERT_FALSE(
        column("select finterid from icstockbill where fcustid<>" + QString::number(customer))
            .isEmpty())
        << "another customer's documents, which the filter must leave out";
    db->close();

    // An ordinary number gives the filter as the window's design writes it.
    open()->execute("update t_customer set fcustomeridnumber='91310000MA1K0C0001' where fitemid=" +
                    QString::number(customer));
    shared().gInvoiceIds = "1001";
    ASSERT_TRUE(window.find1());
    form().MenuXOutFind->trigger();
    EXPECT_EQ(ListingFinder::filterSeen,
              " and fcustomeridnumber='91310000MA1K0C0001' and isnull(fhookinterid,0)=0 ");

    for (const bool on : {true, false}) {
        if (!setStandardConformingStrings(on)) GTEST_SKIP() << kNotApplied;
        for (const QString& payload : kPayloads) {
            SCOPED_TRACE(QStringLiteral("standard_conforming_strings %1, customer number %2")
                             .arg(on ? "on" : "off", payload)
                             .toStdString());
            open()->execute("update t_customer set fcustomeridnumber=? where fitemid=?",
                            {payload, customer});
            messages.messages.clear();
            shared().gInvoiceIds = "1001";
            ASSERT_TRUE(window.find1());
            ASSERT_EQ(shared().gCustomerNumber, payload);
            shared().gOutboundIds.clear();
            form().MenuXOutFind->trigger();
            EXPECT_TRUE(messages.messages.isEmpty())
                << messages.messages.value(0).text.toStdString();
            QStringList listed = ListingFinder::listed;
            listed.sort();
            QStringList sortedExpected = expected;
            sortedExpected.sort();
            EXPECT_EQ(listed, sortedExpected) << ListingFinder::filterSeen.toStdString();
            EXPECT_FALSE(pwnedExists()) << ListingFinder::filterSeen.toStdString();
        }
    }
}

// A layout name is written as a literal in the save's delete, in the rows of its insert, and in
// the load's query and its record of the current widths: the layout is stored under exactly
// that name, read back from it, and no other layout is touched.
TEST_P(LiteralTest, ALayoutNameStaysInsideItsLiterals) {
    FlexGrid grid("vsf1");
    grid.setColCount(3);
    for (int c = 0; c < 3; ++c) grid.setColWidth(c, FlexGrid::pixelsToTwipsX(40 + c));
    ASSERT_TRUE(SaveGridLayout("XSGJA", grid, 1));
    const LayoutRows window = storedLayout(shared().DBConnectionString, "XSGJA", 1);
    for (const bool on : {true, false}) {
        if (!setStandardConformingStrings(on)) GTEST_SKIP() << kNotApplied;
        open()->execute("delete from t_GS_tableinfo where ftablename <> 'XSGJA'");
        for (const QString& name : kPayloads) {
            SCOPED_TRACE(QStringLiteral("standard_conforming_strings %1, layout name %2")
                             .arg(on ? "on" : "off", name)
                             .toStdString());
            messages.messages.clear();
            FlexGrid current("vsf1");
            current.setColCount(3);
            for (int c = 0; c < 3; ++c) current.setColWidth(c, FlexGrid::pixelsToTwipsX(70 + c));
            EXPECT_FALSE(LoadGridLayout(name, current, 1)) << "none stored yet: recorded as type 0";
            EXPECT_EQ(storedLayout(shared().DBConnectionString, name, 0).size(), 3);
            ASSERT_TRUE(SaveGridLayout(name, current, 1));
            EXPECT_EQ(storedLayout(shared().DBConnectionString, name, 1).size(), 3);
            FlexGrid loaded("vsf1");
            loaded.setColCount(3);
            ASSERT_TRUE(LoadGridLayout(name, loaded, 1));
            for (int c = 0; c < 3; ++c) EXPECT_EQ(loaded.ColWidth(c), current.ColWidth(c));
            EXPECT_TRUE(messages.messages.isEmpty())
                << messages.messages.value(0).text.toStdString();
            EXPECT_EQ(storedLayout(shared().DBConnectionString, "XSGJA", 1), window);
            EXPECT_FALSE(pwnedExists());
        }
    }
    EXPECT_EQ(column("select count(distinct ftablename) from t_GS_tableinfo").value(0),
              QString::number(kPayloads.size() + 1));
}

XHOOK_ON_EACH_PROVIDER(LiteralTest);

}  // namespace
