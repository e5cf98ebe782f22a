// Rows added to a table together go in as few insert statements as their columns allow, with
// their values written into the text by the driver: the rows stored are the rows given, in
// order, whatever their texts hold.
#include <gtest/gtest.h>

#include <QVariantMap>

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/StatementLog.h"
#include "data/TableAppender.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/ErrorCapture.h"

using namespace xhook;
using namespace xhook::test;
using data::StatementLog;
using data::TableAppender;

namespace {

class TableAppenderTest : public ScratchDatabaseTest {
  protected:
    void SetUp() override {
        ScratchDatabaseTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        connection.setConnectionString(connectionString());
        connection.open();
        connection.execute(
            "create table widths (fname varchar(40), fwidth integer, "
            "fsequence smallint, fnote varchar(40))");
    }

    int insertStatementsFor(const QList<QVariantMap>& rows) {
        auto table = connection.openTable("widths");
        StatementLog::start();
        table->addRows(rows);
        StatementLog::stop();
        int inserts = 0;
        for (const StatementLog::Entry& entry : StatementLog::entries())
            if (entry.text.startsWith("insert")) ++inserts;
        return inserts;
    }

    data::Connection connection;
};

QList<QVariantMap> numberedRows(int count, const QString& name) {
    QList<QVariantMap> rows;
    for (int i = 0; i < count; ++i)
        rows.append({{"fname", name}, {"fwidth", 100 + i}, {"fsequence", qint16(i)}});
    return rows;
}

TEST_P(TableAppenderTest, RowsGoInTogetherAndComeBackAsGiven) {
    struct Case {
        const char* what;
        QList<QVariantMap> rows;
        int statements;
    };
    QList<QVariantMap> mixed = numberedRows(3, "a");
    mixed.append({{"fname", "b"}, {"fnote", "it's; \"quoted\" \\ back"}});
    mixed.append(numberedRows(2, "c"));
    const QList<Case> cases = {
        {"no rows", {}, 0},
        {"one row", numberedRows(1, "XSGJA"), 1},
        {"a layout of 31 columns", numberedRows(31, "XSGJA"), 1},
        {"more rows than one statement takes",
         numberedRows(2 * int(TableAppender::kRowsPerStatement) + 1, "long"), 3},
        {"rows of other columns start a statement of their own", mixed, 3},
        {"a text that the driver must quote", {{{"fname", "O'Brien"}, {"fnote", QString()}}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connection.execute("delete from widths");
        EXPECT_EQ(insertStatementsFor(c.rows), c.statements);
        const QList<QVariantList> stored =
            readRows(connection, "select fname, fwidth, fsequence, fnote from widths");
        ASSERT_EQ(stored.size(), c.rows.size());
        for (qsizetype i = 0; i < c.rows.size(); ++i) {
            const QVariantMap& row = c.rows[i];
            EXPECT_EQ(stored[i][0].toString(), row.value("fname").toString());
            EXPECT_EQ(stored[i][1].isNull(), !row.contains("fwidth"));
            EXPECT_EQ(stored[i][1].toInt(), row.value("fwidth").toInt());
            EXPECT_EQ(stored[i][2].toInt(), row.value("fsequence").toInt());
            EXPECT_EQ(stored[i][3].toString(), row.value("fnote").toString());
        }
    }
}

// A row with a column that the table does not have is refused before any row is written.
TEST_P(TableAppenderTest, AnUnknownColumnIsRefusedBeforeAnyRowIsWritten) {
    QList<QVariantMap> rows = numberedRows(3, "a");
    rows.append({{"fname", "b"}, {"fcolour", 5}});
    auto table = connection.openTable("widths");
    const data::DbError error = raisedBy<data::DbError>([&] { table->addRows(rows); });
    EXPECT_TRUE(error.description().contains("fcolour")) << error.what();
    EXPECT_EQ(readScalar(connection, "select count(*) from widths").toInt(), 0);
}

XHOOK_ON_EVERY_PROVIDER(TableAppenderTest);

}  // namespace
