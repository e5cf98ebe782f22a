// "xouthook show invoices IDS --display" run as a program on a host database whose column
// configuration carries display formats of the classic format language: the texts the grid
// shows, totals row included.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "data/Connection.h"
#include "host/lib/DemoDatabase.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ToolRunner.h"

using namespace xhook;
using namespace xhook::test;

namespace {

// A database that holds only what the loader reads, and a settings folder that points at it.
class ShowFormatsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo::exists(xouthookPath())) << "build the xouthook target first";
        QFile file(dir.file("host.db"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << "an empty database file";
        file.close();
        const QString connectionString = host::sqliteConnectionString(dir.file("host.db"));
        data::Connection db;
        db.setConnectionString(connectionString);
        db.open();
        db.execute(
            "create table tblFindInfoEntry (ftypeid integer, fentryid integer, fFieldname "
            "varchar(50), fTitleName varchar(50), fAlign varchar(10), fDataFormat varchar(50), "
            "fIsMerge integer, fIsSum integer)");
        db.execute(
            "create table vGSaleFP (finterid integer, fentryid integer, fbillno varchar(20), "
            "forderid integer, fcustomerIdNumber varchar(30), fstatus integer, fqty double "
            "precision, famount double precision, fprice double precision, fdiff double "
            "precision, ftaxed double precision, fcount double precision, ftime varchar(20), fdue "
            "double precision, fweight double precision)");
        // The first visible column holds the totals row's label.
        const QVariantList columns[] = {
            {1, "fbillno", "bill", "", 0},
            {2, "fqty", "qty", "", 1},
            {3, "famount", "amount", "", 1},
            {4, "fprice", "price", "0.00", 0},
            {5, "fdiff", "diff", "#,##0.00;(#,##0.00)", 0},
            {6, "ftaxed", "taxed", "\\¥#,##0.00", 0},
            {7, "fcount", "count", "0.00E+00", 0},
            {8, "ftime", "time", "hh:mm AM/PM", 0},
            {9, "fdue", "due", "yyyy-mm-dd hh:nn", 0},
            {10, "fweight", "weight", "#.# kg", 0},
        };
        for (const QVariantList& c : columns)
            db.execute("insert into tblFindInfoEntry values (100, ?, ?, ?, '7', ?, 0, ?)", c);
        db.execute(
            "insert into vGSaleFP values (1001, 1, 'FP1', 1, 'C1', 1, 60000, 0.1, 2.675, -5, "
            "5459.4, 12345, '1958-12-07 20:50:35', 21526.86846, 2)");
        db.execute(
            "insert into vGSaleFP values (1001, 2, 'FP1', 2, 'C1', 1, 40000, 0.2, 1.005, 0, "
            "-2.675, 0.5, '1958-12-07 08:05:00', -1.25, 0.25)");
        db.close();

        environment = QProcessEnvironment::systemEnvironment();
        const QString config = dir.file("config");
        QDir().mkpath(config);
        environment.insert("XDG_CONFIG_HOME", config);
        environment.insert("LC_ALL", "C.UTF-8");
        QSettings settings(config + "/DuVariz2007.ini", QSettings::IniFormat);
        settings.setValue("DBOperation/DBConnectionString", connectionString);
    }

    TempDir dir;
    QProcessEnvironment environment;
};

TEST_F(ShowFormatsTest, TheDisplayedTextsFollowTheColumnFormats) {
    const ToolRun shown = runXouthook({"show", "invoices", "1001", "--display"}, environment);
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
    const QStringList lines = shown.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << shown.out.toStdString();
    EXPECT_EQ(lines[0], "bill\tqty\tamount\tprice\tdiff\ttaxed\tcount\ttime\tdue\tweight");
    // A number under a date format is a date serial; letters in a number format are literals.
    EXPECT_EQ(lines[1],
              QString::fromUtf8("FP1\t60000\t0.1\t2.68\t(5.00)\t¥5,459.40\t1.23E+04\t08:50 "
                                "PM\t1958-12-07 20:50\t2. kg"));
    EXPECT_EQ(lines[2], QString::fromUtf8("FP1\t40000\t0.2\t1.01\t0.00\t-¥2.68\t5.00E-01\t08:05 "
                                          "AM\t1899-12-29 06:00\t.3 kg"));
    EXPECT_EQ(lines[3], QString::fromUtf8("合计\t100000\t0.3\t\t\t\t\t\t\t"));
}

}  // namespace
