#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QProcess>

#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/GridLayoutStore.h"
#include "data/ResultSet.h"
#include "foundation/Errors.h"
#include "host/lib/HostSchema.h"
#include "tests/support/BackendDatabase.h"
#include "tests/support/TestSupport.h"
#include "window/FlexGrid.h"

using namespace xhook;

namespace {

using LayoutRow = QPair<int, int>;  // fsequence, fwidth

// What a message box saw of the shared connection while it was open.
class TransactionWatchingMessages : public MessageSink {
  public:
    struct Seen {
        QString text;
        int style;
        std::optional<QString> title;
        bool inTransaction;
    };
    TransactionWatchingMessages() : scope_(this) {}
    void show(const QString& text, int style, const std::optional<QString>& title) override {
        const auto& connection = shared().gConnection;
        seen.append({text, style, title, connection && connection->inTransaction()});
    }
    QList<Seen> seen;

  private:
    ScopedMessageSink scope_;
};

// The host database's schema in a fresh database of its own, on SQLite and on the server.
class LayoutStoreTest : public test::ScratchDatabaseTest {
  protected:
    void SetUp() override {
        ScratchDatabaseTest::SetUp();
        if (IsSkipped()) return;
        connectionString_ = connectionString();
        shared().DBConnectionString = connectionString_;
        shared().gConnection.reset();
        data::Connection connection;
        connection.setConnectionString(providerConnectionString());
        connection.open();
        connection.beginTrans();
        host::createHostSchema(connection);
        connection.commitTrans();
    }
    void TearDown() override { shared().DBConnectionString.clear(); }

    // A connection of the test's own, beside the component's.
    void run(const QString& sql) {
        data::Connection connection;
        connection.setConnectionString(connectionString_);
        connection.open();
        connection.execute(sql);
    }

    void store(const QString& name, int type, const QList<LayoutRow>& rows) {
        for (const LayoutRow& row : rows)
            run(QString("insert into t_GS_tableinfo values('%1',%2,%3,%4)")
                    .arg(name)
                    .arg(row.second)
                    .arg(row.first)
                    .arg(type));
    }

    QList<LayoutRow> stored(const QString& name, int type) {
        data::Connection connection;
        connection.setConnectionString(connectionString_);
        connection.open();
        auto rows = connection.openResultSet(
            QString("select fsequence,fwidth from t_GS_tableinfo where ftablename='%1' and "
                    "ftype=%2 order by fsequence")
                .arg(name)
                .arg(type));
        QList<LayoutRow> result;
        for (; !rows->eof(); rows->moveNext())
            result.append({rows->value("fsequence").toInt(), rows->value("fwidth").toInt()});
        return result;
    }

    // Widths in whole pixels at any screen resolution survive the twips round trip exactly.
    static int pixelWidth(int pixels) { return FlexGrid::pixelsToTwipsX(pixels); }

    static void setWidths(FlexGrid& grid, const QList<int>& pixelWidths) {
        grid.setColCount(pixelWidths.size());
        for (int i = 0; i < pixelWidths.size(); ++i)
            grid.setColWidth(i, pixelWidth(pixelWidths[i]));
    }

    static QList<LayoutRow> widthsOf(const FlexGrid& grid) {
        QList<LayoutRow> result;
        for (int i = 0; i < grid.ColCount(); ++i) result.append({i, grid.ColWidth(i)});
        return result;
    }

    static QList<LayoutRow> sequential(const QList<int>& pixelWidths) {
        QList<LayoutRow> rows;
        for (int i = 0; i < pixelWidths.size(); ++i) rows.append({i, pixelWidth(pixelWidths[i])});
        return rows;
    }

    QString connectionString_;
    FlexGrid grid_{"vsf1"};
};

TEST_P(LayoutStoreTest, LoadWithoutLayoutRecordsTheCurrentWidthsAsTypeZero) {
    test::RecordingMessages messages;
    store("XSGJA", 0,
          sequential({110, 120, 130, 140, 150}));  // an older record, longer than the grid
    store("XSGJB", 0, sequential({77}));
    setWidths(grid_, {40, 50, 60});
    const QList<LayoutRow> before = widthsOf(grid_);

    EXPECT_FALSE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(widthsOf(grid_), before);
    EXPECT_EQ(stored("XSGJA", 0), before);
    EXPECT_EQ(stored("XSGJB", 0), sequential({77}));
    EXPECT_TRUE(stored("XSGJA", 1).isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);

    // A second activation before any save rewrites the record from the widths of that moment.
    setWidths(grid_, {70, 80});
    EXPECT_FALSE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(stored("XSGJA", 0), sequential({70, 80}));

    // Whatever type was asked for, the record is written as type 0.
    EXPECT_FALSE(LoadGridLayout("XSGJB", grid_, 5));
    EXPECT_EQ(stored("XSGJB", 0), sequential({70, 80}));
    EXPECT_TRUE(stored("XSGJB", 5).isEmpty());
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_P(LayoutStoreTest, SaveReplacesTheLayoutOfThatNameAndTypeOnly) {
    test::RecordingMessages messages;
    store("XSGJA", 1, sequential({101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112}));
    store("XSGJA", 0, sequential({133}));
    store("XSGJB", 1, sequential({144, 145}));
    setWidths(grid_, {50, 51, 52, 53, 54, 55, 56, 57, 58, 59});

    EXPECT_TRUE(SaveGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(stored("XSGJA", 1), widthsOf(grid_));
    EXPECT_EQ(stored("XSGJA", 1).size(), 10);
    EXPECT_EQ(stored("XSGJA", 0), sequential({133}));
    EXPECT_EQ(stored("XSGJB", 1), sequential({144, 145}));
    EXPECT_EQ(shared().gConnection, nullptr);

    // The saved layout comes back into a grid whose widths have changed since.
    setWidths(grid_, {45, 45, 45, 45, 45, 45, 45, 45, 45, 45});
    EXPECT_TRUE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(widthsOf(grid_), sequential({50, 51, 52, 53, 54, 55, 56, 57, 58, 59}));
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_P(LayoutStoreTest, LoadAppliesStoredRowsByPositionUpToTheColumnCount) {
    test::RecordingMessages messages;
    store("XSGJA", 1, sequential({120, 121, 122, 123, 124, 125, 126, 127, 128, 129}));
    setWidths(grid_, {60, 60, 60, 60, 60, 60, 60, 60});
    EXPECT_TRUE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(widthsOf(grid_), sequential({120, 121, 122, 123, 124, 125, 126, 127}));

    store("XSGJB", 1, sequential({130, 131, 132, 133, 134, 135, 136, 137}));
    setWidths(grid_, {60, 60, 60, 60, 60, 60, 60, 60, 61, 62});
    EXPECT_TRUE(LoadGridLayout("XSGJB", grid_, 1));
    EXPECT_EQ(widthsOf(grid_), sequential({130, 131, 132, 133, 134, 135, 136, 137, 61, 62}));

    // A grid without columns skips every stored row.
    grid_.setColCount(0);
    EXPECT_TRUE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_P(LayoutStoreTest, SequenceBeyondTheGridFailsAfterTheEarlierWidthsWereApplied) {
    test::RecordingMessages messages;
    store("XSGJA", 1, {{0, pixelWidth(131)}, {1, pixelWidth(132)}, {5, pixelWidth(133)}});
    setWidths(grid_, {60, 61, 62});

    EXPECT_FALSE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(widthsOf(grid_), sequential({131, 132, 62}));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_FALSE(messages.messages[0].text.isEmpty());
    EXPECT_EQ(messages.messages[0].style, MessageNoIcon);
    EXPECT_EQ(messages.messages[0].title, std::nullopt);
    EXPECT_TRUE(messages.messages[0].connectionOpen);
    EXPECT_EQ(shared().gConnection, nullptr);
    EXPECT_TRUE(stored("XSGJA", 0).isEmpty());
}

TEST_P(LayoutStoreTest, SaveOfAGridWithoutColumnsDeletesTheLayout) {
    store("XSGJA", 1, sequential({110, 111, 112}));
    grid_.setColCount(0);
    EXPECT_TRUE(SaveGridLayout("XSGJA", grid_, 1));
    EXPECT_TRUE(stored("XSGJA", 1).isEmpty());
}

TEST_P(LayoutStoreTest, RefusedRowRollsTheWholeSaveBackAfterTheMessage) {
    TransactionWatchingMessages messages;
    store("XSGJA", 1, sequential({110, 111, 112, 113, 114}));
    if (!test::onServer(backend())) {
        run("create trigger refuse_fourth before insert on t_GS_tableinfo when new.fsequence = 3 "
            "begin select raise(abort, 'fourth column refused'); end");
    } else {
        run("create function refuse_fourth() returns trigger language plpgsql as $$ begin "
            "if new.fsequence = 3 then raise exception 'fourth column refused'; end if; "
            "return new; end $$");
        run("create trigger refuse_fourth before insert on t_GS_tableinfo for each row "
            "execute function refuse_fourth()");
    }
    setWidths(grid_, {50, 51, 52, 53, 54, 55});

    EXPECT_FALSE(SaveGridLayout("XSGJA", grid_, 1));
    ASSERT_EQ(messages.seen.size(), 1);
    EXPECT_TRUE(messages.seen[0].text.contains("fourth column refused"))
        << messages.seen[0].text.toStdString();
    EXPECT_EQ(messages.seen[0].style, MessageNoIcon);
    EXPECT_EQ(messages.seen[0].title, std::nullopt);
    EXPECT_TRUE(messages.seen[0].inTransaction);  // rolled back only once the box is dismissed
    EXPECT_EQ(stored("XSGJA", 1), sequential({110, 111, 112, 113, 114}));
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_P(LayoutStoreTest, MissingTableFailsWithOneMessageAndNoRollback) {
    TransactionWatchingMessages messages;
    run("drop table t_GS_tableinfo");
    setWidths(grid_, {50, 51});

    EXPECT_FALSE(SaveGridLayout("XSGJA", grid_, 1));
    ASSERT_EQ(messages.seen.size(), 1);
    EXPECT_FALSE(messages.seen[0].inTransaction);
    EXPECT_TRUE(messages.seen[0].text.contains("t_GS_tableinfo", Qt::CaseInsensitive))
        << messages.seen[0].text.toStdString();
    EXPECT_EQ(shared().gConnection, nullptr);

    EXPECT_FALSE(LoadGridLayout("XSGJA", grid_, 1));
    EXPECT_EQ(messages.seen.size(), 2);
    EXPECT_EQ(widthsOf(grid_), sequential({50, 51}));
    EXPECT_EQ(shared().gConnection, nullptr);
}

// The name is written into the statements as a literal of the connection, so a quote in it stays
// part of the name: the layout is stored and read under exactly that name, and the window's
// layouts are not touched.
TEST_P(LayoutStoreTest, NameWithAQuoteStaysInsideItsLiteral) {
    test::RecordingMessages messages;
    store("XSGJA", 1, sequential({110, 111}));
    setWidths(grid_, {50, 51});

    EXPECT_TRUE(SaveGridLayout("x' or ''='", grid_, 1));
    setWidths(grid_, {60, 61});
    EXPECT_TRUE(LoadGridLayout("x' or ''='", grid_, 1));
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(stored("XSGJA", 1), sequential({110, 111}));
    EXPECT_EQ(widthsOf(grid_), sequential({50, 51}));
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_P(LayoutStoreTest, FailureToConnectPassesToTheCallerUnshown) {
    test::RecordingMessages messages;
    shared().DBConnectionString.clear();
    EXPECT_THROW(SaveGridLayout("XSGJA", grid_, 1), ComponentError);
    EXPECT_THROW(LoadGridLayout("XSGJA", grid_, 1), ComponentError);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(shared().gConnection, nullptr);
}

TEST_P(LayoutStoreTest, ToolPrintsTheLayoutsOfANameByTypeAndSequence) {
    const QString tool = QCoreApplication::applicationDirPath() + "/../host/xouthook";
    ASSERT_TRUE(QFileInfo::exists(tool)) << "build the xouthook target: " << tool.toStdString();
    store("XSGJA", 1, {{1, 900}, {0, 1200}});
    store("XSGJA", 0, {{0, 600}});
    store("XSGJB", 1, {{0, 333}});
    test::writeSetting("DBOperation", "DBConnectionString", connectionString_);

    QProcess process;
    process.start(tool, {"layout", "XSGJA"});
    ASSERT_TRUE(process.waitForFinished(30000));
    test::clearSettings();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
              "0\t0\t600\n1\t0\t1200\n1\t1\t900\n");
}

XHOOK_ON_EVERY_PROVIDER(LayoutStoreTest);

}  // namespace
