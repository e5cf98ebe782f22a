// The stand-alone host database on real SQLite files and on the PostgreSQL server: the objects
// that the component reads answer its SQL texts through the database layer, the demo data hold
// the documented cases, and the generator gives the same rows for the same seed.
#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "data/DbError.h"
#include "data/ResultSet.h"
#include "data/TableAppender.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/GridColumnConfig.h"
#include "host/lib/HostSchema.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/QtPrinters.h"

using namespace xhook;
using namespace xhook::test;

namespace {

class HostDatabaseTest : public DemoDatabaseBackendTest {
  protected:
    // The columns of a view, lower case.
    QSet<QString> columnsOf(const QString& view) {
        const auto rows = connection.openResultSet("select * from " + view + " where 1=0");
        QSet<QString> names;
        for (int i = 0; i < rows->fieldCount(); ++i) names.insert(rows->fieldName(i).toLower());
        return names;
    }

    // The source documents of an invoice's lines, "NULL" for a line without one.
    QStringList sourcesOf(int invoiceId) {
        QStringList sources;
        for (const QVariant& v :
             readColumn(connection, QString("select fsinterid from icsaleentry "
                                            "where finterid=%1 order by fentryid")
                                        .arg(invoiceId)))
            sources.append(v.isNull() ? QString("NULL") : v.toString());
        return sources;
    }

    // Quantity per item code over the lines of a document of `lineTable`.
    QMap<QString, double> quantitiesOf(const QString& lineTable, const QString& ids) {
        QMap<QString, double> quantities;
        for (const QVariantList& row : readRows(
                 connection, QString("select i.fnumber, sum(e.fqty) from %1 e join t_icitem i "
                                     "on i.fitemid=e.fitemid where e.finterid in (%2) group by "
                                     "i.fnumber")
                                 .arg(lineTable, ids)))
            quantities.insert(row[0].toString(), row[1].toDouble());
        return quantities;
    }
};

}  // namespace

TEST_P(HostDatabaseTest, GridConfigurationAnswersTheConfigurationQueries) {
    const QMap<int, QString> views{{100, "vGSaleFP"}, {101, "vGproductOut"}};
    for (int type : {100, 101}) {
        SCOPED_TRACE(type);
        const QSet<QString> viewColumns = columnsOf(views[type]);
        const auto rows = connection.openResultSet(
            QString("select * from tblFindInfoEntry where ftypeid=%1  order by fentryid ")
                .arg(type));
        int n = 0;
        QStringList totalled;
        for (; !rows->eof(); rows->moveNext()) {
            ++n;
            EXPECT_EQ(rows->value("fentryid").toInt(), n);
            for (const char* text : {"fFieldname", "fTitleName", "fAlign", "fDataFormat"})
                EXPECT_FALSE(rows->value(text).isNull()) << text;
            const QString field = rows->value("fFieldname").toString();
            EXPECT_TRUE(viewColumns.contains(field.toLower())) << field.toStdString();
            EXPECT_EQ(rows->value("fIsMerge").toInt(), n <= 3 ? 1 : 0) << n;
            if (rows->value("fIsSum").toInt() == 1) totalled.append(field);
            const QString align = rows->value("fAlign").toString();
            if (field == "fdate") {
                EXPECT_EQ(align, "4");
                EXPECT_EQ(rows->value("fDataFormat").toString(), "yyyy-mm-dd");
            } else if (field == "famount") {
                EXPECT_EQ(align, "7");
                EXPECT_EQ(rows->value("fDataFormat").toString(), "#,##0.00");
            } else if (field == "fitemname") {
                EXPECT_EQ(align, "1");
            }
        }
        EXPECT_EQ(n, host::standardGridColumnCount());
        EXPECT_EQ(totalled, QStringList({"fqty", "famount", "ftaxamount", "fallamount"}));
    }
}

TEST_P(HostDatabaseTest, WiderConfigurationsStayNumberedAndNameViewColumns) {
    host::configureGridColumns(connection, host::kOutboundGridType, 28);
    const QSet<QString> viewColumns = columnsOf("vGproductOut");
    const QList<QVariantList> rows =
        readRows(connection,
                 "select fentryid, fFieldname, fTitleName from tblFindInfoEntry where "
                 "ftypeid=101 order by fentryid");
    ASSERT_EQ(rows.size(), 28);
    QSet<QString> titles;
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0].toInt(), i + 1);
        EXPECT_TRUE(viewColumns.contains(rows[i][1].toString().toLower()));
        titles.insert(rows[i][2].toString());
    }
    EXPECT_EQ(titles.size(), 28) << "every column has a title of its own";
    EXPECT_EQ(readScalar(connection, "select count(*) from tblFindInfoEntry where ftypeid=100"), 12)
        << "the other grid's configuration is untouched";
}

TEST_P(HostDatabaseTest, LineViewsAnswerTheGridLoadersQueries) {
    struct Case {
        QString sql;
        QString ids;
        QString lineTable;
        QString firstBillNo;
    };
    const QList<Case> cases = {
        {"select top 20000 * from  vGSaleFP where 1=1 and finterid in ( 1001,1002) order by "
         "finterid,forderid",
         "1001,1002", "icsaleentry", "XSFP000001"},
        {"select top 20000 * from  vGproductOut where 1=1 and finterid in ( 5001,5002) order by "
         "finterid,forderid",
         "5001,5002", "icstockbillentry", "XSCK000001"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        const auto rows = connection.openResultSet(c.sql);
        int count = 0;
        QPair<qint64, qint64> previous{0, 0};
        for (; !rows->eof(); rows->moveNext(), ++count) {
            const QPair<qint64, qint64> key{rows->value("finterid").toLongLong(),
                                            rows->value("forderid").toLongLong()};
            EXPECT_LT(previous, key) << "lines in document, then line order";
            previous = key;
            EXPECT_FALSE(rows->value("fentryid").isNull());
            EXPECT_EQ(rows->value("fcustomerIdNumber").toString(), "91310000MA1K000001");
            if (count == 0) {
                EXPECT_EQ(rows->value("fbillno").toString(), c.firstBillNo);
            }
            EXPECT_NO_THROW(rows->value("fstatus"));  // NULL on some documents
        }
        EXPECT_EQ(count, readScalar(connection, QString("select count(*) from %1 where finterid in "
                                                        "(%2)")
                                                    .arg(c.lineTable, c.ids))
                             .toInt());
        EXPECT_GE(count, 2);
    }
    EXPECT_TRUE(
        readScalar(connection, "select fstatus from vGproductOut where finterid=5002").isNull());
    EXPECT_TRUE(
        readScalar(connection, "select fstatus from vGSaleFP where finterid=1007").isNull());
}

TEST_P(HostDatabaseTest, SourceQueryGivesEachLinesOutboundDocumentOrZero) {
    const auto sources = [&](const QString& ids) {
        QList<qint64> values;
        const auto rows = connection.openResultSet(
            "select isnull(fsinterid,0) as fSInterId from icsaleentry where finterid in (" + ids +
            ") ");
        for (; !rows->eof(); rows->moveNext()) values.append(rows->value("fsinterid").toLongLong());
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        return values;
    };
    EXPECT_EQ(sources("1001,1002"), QList<qint64>({5001, 5002}));
    EXPECT_EQ(sources("1003"), QList<qint64>({5003, 5004}));
    EXPECT_EQ(sources("1009"), QList<qint64>({0, 5010}));
}

TEST_P(HostDatabaseTest, LayoutTableAnswersBothSpellings) {
    connection.execute("delete from t_GS_tableInfo where ftablename='XSGJA' and ftype=1");
    connection.execute(
        "insert into t_GS_tableinfo(ftablename,fwidth,fsequence,ftype) values('XSGJA',900,2,0)");
    connection.execute(
        "insert into t_GS_tableInfo(ftablename,fwidth,fsequence,ftype) values('XSGJA',1200,0,1)");
    auto appender = connection.openTable("t_GS_tableinfo");
    appender->addRow({{"ftablename", "XSGJA"}, {"fwidth", 700}, {"fsequence", 1}, {"ftype", 1}});
    appender->close();
    EXPECT_EQ(readRows(connection,
                       "select fsequence,fwidth from t_GS_tableInfo where "
                       "ftablename='XSGJA' and ftype=1 order by fsequence "),
              QList<QVariantList>({{0, 1200}, {1, 700}}));
    connection.execute("delete from t_GS_tableinfo where ftablename='XSGJA' and ftype=0 ");
    EXPECT_EQ(readScalar(connection, "select count(*) from t_GS_tableinfo"), 2);
}

TEST_P(HostDatabaseTest, FinderViewTakesTheLookupFilter) {
    const auto finder = [&](const QString& customer) {
        return readRows(connection,
                        "select finterid, fbillno, fdate, fcustname, famount, flinecount from "
                        "vGproductOutBill where 1=1 and fcustomeridnumber='" +
                            customer + "' and isnull(fhookinterid,0)=0  order by fbillno");
    };
    const QList<QVariantList> second = finder("91310000MA1K000002");
    ASSERT_EQ(second.size(), 2) << "XSCK000007 is already reconciled";
    EXPECT_EQ(second[0][0], 5006);
    EXPECT_EQ(second[1][0], 5008);
    EXPECT_EQ(second[0][3].toString(), "北京恒信五金制品有限公司");
    for (const QVariantList& row : second) {
        const QString id = row[0].toString();
        EXPECT_EQ(row[5], readScalar(connection,
                                     "select count(*) from icstockbillentry where "
                                     "finterid=" +
                                         id));
        EXPECT_DOUBLE_EQ(row[4].toDouble(),
                         std::round(readScalar(connection,
                                               "select sum(famount) from "
                                               "icstockbillentry where finterid=" +
                                                   id)
                                        .toDouble() *
                                    100) /
                             100);
    }
    QVariantList fourth;
    for (const QVariantList& row : finder("91310000MA1K000004")) fourth.append(row[0]);
    EXPECT_EQ(fourth, QVariantList({5013, 5014, 5015, 5016}));
    EXPECT_TRUE(finder("nobody").isEmpty());
}

// Other tests and the demo rely on these cases; they hold whatever the seed.
TEST_P(HostDatabaseTest, DemoDataHoldTheDocumentedCases) {
    EXPECT_EQ(readScalar(connection, "select count(*) from icsale"), 14);
    EXPECT_EQ(readScalar(connection, "select count(*) from icstockbill"), 16);
    EXPECT_EQ(readColumn(connection, "select fcustomeridnumber from t_customer order by fitemid"),
              QVariantList({"91310000MA1K000001", "91310000MA1K000002", "91310000MA1K000003",
                            "91310000MA1K000004"}));
    const QMap<int, int> matching{{1001, 5001}, {1002, 5002}, {1005, 5006}, {1007, 5008},
                                  {1008, 5009}, {1010, 5011}, {1011, 5012}, {1012, 5013},
                                  {1013, 5014}, {1014, 5015}};
    for (auto it = matching.begin(); it != matching.end(); ++it) {
        SCOPED_TRACE(it.key());
        for (const QString& source : sourcesOf(it.key())) EXPECT_EQ(source.toInt(), it.value());
        EXPECT_EQ(quantitiesOf("icsaleentry", QString::number(it.key())),
                  quantitiesOf("icstockbillentry", QString::number(it.value())));
    }
    // Delivered in two documents.
    const QStringList split = sourcesOf(1003);
    EXPECT_EQ(QSet<QString>(split.begin(), split.end()), QSet<QString>({"5003", "5004"}));
    EXPECT_EQ(quantitiesOf("icsaleentry", "1003"), quantitiesOf("icstockbillentry", "5003,5004"));
    // One unit more delivered than invoiced, on one item.
    const QMap<QString, double> invoiced = quantitiesOf("icsaleentry", "1004");
    const QMap<QString, double> delivered = quantitiesOf("icstockbillentry", "5005");
    ASSERT_EQ(invoiced.keys(), delivered.keys());
    int differing = 0;
    for (const QString& item : invoiced.keys())
        if (invoiced[item] != delivered[item]) {
            ++differing;
            EXPECT_DOUBLE_EQ(delivered[item] - invoiced[item], 1.0);
        }
    EXPECT_EQ(differing, 1);
    // Already reconciled, with its record.
    EXPECT_EQ(readScalar(connection, "select fhookinterid from icsale where finterid=1006"), 1);
    EXPECT_EQ(readScalar(connection, "select fhookinterid from icstockbill where finterid=5007"),
              1);
    EXPECT_EQ(readRows(connection,
                       "select fbilltype, fbillinterid from t_GS_billGJEntry where "
                       "finterid=1 order by fentryid"),
              QList<QVariantList>({{1, 1006}, {2, 5007}}));
    EXPECT_EQ(readScalar(connection, "select fbillno from t_GS_billGJ where finterid=1"),
              "GJ000001");
    EXPECT_EQ(readScalar(connection, "select count(*) from icsale where fhookinterid is not null"),
              1);
    // The last line of 1009 names no outbound document; 5010 delivered the others.
    EXPECT_EQ(sourcesOf(1009).last(), "NULL");
    EXPECT_EQ(readScalar(connection, "select count(*) from icstockbillentry where finterid=5010"),
              sourcesOf(1009).size() - 1);
    // Delivered, never invoiced.
    EXPECT_EQ(readScalar(connection, "select count(*) from icsaleentry where fsinterid=5016"), 0);
    // Statuses: both values and a NULL on each side.
    EXPECT_EQ(readScalar(connection, "select count(distinct fstatus) from icsale"), 2);
    EXPECT_EQ(readScalar(connection, "select count(distinct fstatus) from icstockbill"), 2);
}

TEST_P(HostDatabaseTest, SameSeedGivesTheSameRowsAndAnotherSeedOtherValues) {
    const QStringList first = dumpAll(connection);
    const auto build = [this](const host::DemoOptions& options) {
        TempDir folder;
        const ScratchDatabase again(backend(), folder.path());
        host::createDemoDatabase(again.connectionString(), options);
        data::Connection c;
        c.setConnectionString(again.connectionString());
        c.open();
        return dumpAll(c);
    };
    EXPECT_EQ(build({}), first);
    host::DemoOptions other;
    other.seed = 2;
    const QStringList second = build(other);
    EXPECT_NE(second, first);
    EXPECT_EQ(second.filter(QRegularExpression("^1006\\|XSFP000006\\|")).size(), 1);
}

TEST_P(HostDatabaseTest, CreatingOverAnExistingDatabaseFailsAndKeepsIt) {
    connection.close();
    const data::DbError error =
        raisedBy<data::DbError>([&] { host::createDemoDatabase(connectionString); });
    EXPECT_TRUE(error.description().contains("already exists"))
        << error.description().toStdString();
    EXPECT_EQ(host::existingHostObjects(connectionString).size(),
              10 + 3 + (backend() == Backend::PostgreSQL ? 9 : 0))
        << "tables, views, and on the server the procedure with its functions";
    connection.open();
    EXPECT_EQ(readScalar(connection, "select count(*) from icsale"), 14);
    connection.execute("insert into t_GS_tableinfo values('XSGJA',900,0,1)");
    connection.close();

    // Replaced on purpose: the objects are made anew, nothing of the old database is left.
    host::DemoOptions more;
    more.invoices = 28;
    host::createDemoDatabase(connectionString, more, true);
    connection.open();
    EXPECT_EQ(readScalar(connection, "select count(*) from icsale"), 28);
    EXPECT_EQ(readScalar(connection, "select count(*) from t_GS_tableinfo"), 0);
    EXPECT_EQ(readScalar(connection, "select count(*) from vGSaleFP where finterid=1028"),
              readScalar(connection, "select count(*) from icsaleentry where finterid=1028"));
}

// A demo database made by the test's body, with options of its own.
class LargeDemoDatabase : public OnEachBackend<DemoDatabaseTest> {};

TEST_P(LargeDemoDatabase, LargeDataRepeatTheGroupsInOneGo) {
    host::DemoOptions options;
    options.invoices = 400;
    options.linesPerInvoice = 50;
    const host::DemoSummary summary = createDemo(options);
    EXPECT_EQ(summary.invoices, 400);
    EXPECT_EQ(summary.invoiceLines, 20000);
    EXPECT_EQ(summary.customers, 115);  // 28 full groups and the first three customers of the 29th
    data::Connection& c = connection;
    EXPECT_EQ(readScalar(c, "select count(*) from icsaleentry"), 20000);
    EXPECT_EQ(readScalar(c, "select count(*) from icstockbillentry"), summary.outboundLines);
    EXPECT_EQ(readScalar(c, "select count(*) from t_GS_billGJ"), summary.reconciliations);
    // The second group starts at invoice 1015 and outbound document 5017.
    EXPECT_EQ(readScalar(c, "select fhookinterid from icsale where finterid=1020"), 2);
    EXPECT_EQ(readScalar(c, "select min(fsinterid) from icsaleentry where finterid=1015"), 5017);
    EXPECT_EQ(readScalar(c, "select fcustomeridnumber from vGSaleFP where finterid=1015 limit 1"),
              "91310000MA1K000005");
    QStringList ids;
    for (int id = 1001; id <= 1400; ++id) ids.append(QString::number(id));
    EXPECT_EQ(readRows(c, "select top 20000 * from  vGSaleFP where 1=1 and finterid in ( " +
                              ids.join(',') + ") order by finterid,forderid")
                  .size(),
              20000);
}

XHOOK_ON_BOTH_BACKENDS(HostDatabaseTest);
XHOOK_ON_BOTH_BACKENDS(LargeDemoDatabase);

TEST(HostDemoDatabase, PathsAndConnectionStrings) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(host::defaultDemoDatabasePath(), "/srv/data/xouthook/demo.db");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(host::defaultDemoDatabasePath(), QDir::homePath() + "/.local/share/xouthook/demo.db");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(host::defaultDemoDatabasePath(), QDir::homePath() + "/.local/share/xouthook/demo.db");
    qputenv("XDG_DATA_HOME", saved);

    EXPECT_EQ(host::sqliteConnectionString("/a/b.db"), "Provider=SQLite;Data Source=/a/b.db");
    TempDir dir;
    const QString odd = dir.file("semi;colon \"quoted\".db");
    host::createDemoDatabase(host::sqliteConnectionString(odd));
    data::Connection c;
    c.setConnectionString(host::sqliteConnectionString(odd));
    c.open();
    EXPECT_EQ(readScalar(c, "select count(*) from icsale"), 14);
}

TEST(HostSchemaScript, SplitsStatementsAtLinesEndingWithSemicolon) {
    EXPECT_EQ(host::splitSqlScript("-- a comment;\ncreate table a (\n  x integer\n);\n\n"
                                   "create view v as select 1;\n"),
              QStringList({"create table a (\n  x integer\n)", "create view v as select 1"}));
}
