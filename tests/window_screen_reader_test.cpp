// What a screen reader hears of the window, through a real accessibility client: the window is
// shown on an X server with Qt's bridge to the accessibility bus, and a client of that bus
// (tests/screen_reader_client.py, on the system's python3) reads the grids' table interfaces.
// CTest runs this program through tests/with_accessibility_bus.sh, which starts both buses and
// the X server for it alone.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "tests/support/ReconcileTestSupport.h"
#include "window/FlexGrid.h"
#include "window/HookForm.h"

using namespace xhook;
using namespace xhook::test;

namespace {

const QString kClient = QStringLiteral(XHOOK_SOURCE_DIR "/tests/screen_reader_client.py");
constexpr int kClientTimeoutMs = 90000;

QStringList strings(const QJsonValue& value) {
    QStringList list;
    for (const QJsonValue& item : value.toArray()) list.append(item.toString());
    return list;
}

// The client's report: one JSON object per line, keyed by table name, and the focus it heard
// after the window moved a cursor.
struct ClientReport {
    QMap<QString, QJsonObject> tables;
    QJsonValue focus;
    QString errors;
    int exitCode = -1;
};

// Runs the client on this process while the window goes on answering it; when the client says
// it listens, `moveCursor` runs.
ClientReport askClient(const QStringList& tableNames, const std::function<void()>& moveCursor) {
    ClientReport report;
    QProcess client;
    QEventLoop loop;
    QObject::connect(&client, &QProcess::readyReadStandardOutput, [&] {
        while (client.canReadLine()) {
            const QJsonObject line = QJsonDocument::fromJson(client.readLine()).object();
            if (line.contains("table"))
                report.tables.insert(line["table"].toString(), line);
            else if (line.contains("listening"))
                moveCursor();
            else if (line.contains("focus"))
                report.focus = line["focus"];
        }
    });
    QObject::connect(&client, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&client, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kClientTimeoutMs, &loop, &QEventLoop::quit);
    client.start(
        QStringLiteral("/usr/bin/python3"),
        QStringList{kClient, QString::number(QCoreApplication::applicationPid())} + tableNames);
    loop.exec();
    if (client.state() != QProcess::NotRunning) {
        client.kill();
        client.waitForFinished();
    }
    report.errors = QString::fromUtf8(client.readAllStandardError());
    report.exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
    return report;
}

class ScreenReader : public DemoDatabaseFixture {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb")
            << "run through tests/with_accessibility_bus.sh";
        DemoDatabaseFixture::SetUp();
        loadWindow("1001,1002", "5001");
        form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
        form().vsf1->setFocus();
        form().vsf1->setCurrentRow(1);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        form().hide();
        DemoDatabaseFixture::TearDown();
    }
};

// What the grid itself shows: the headers of its visible columns, a row's displayed cells, and
// each row's document number (the totals row's label).
QStringList shownHeaders(const FlexGrid& grid) {
    QStringList headers;
    for (int c = 0; c < grid.ColCount(); ++c)
        if (!grid.ColHidden(c)) headers.append(grid.cellText(0, c));
    return headers;
}

QStringList shownCells(const FlexGrid& grid, int row) {
    QStringList cells;
    for (int c = 0; c < grid.ColCount(); ++c)
        if (!grid.ColHidden(c)) cells.append(grid.displayText(row, c));
    return cells;
}

QStringList documentNumbers(const FlexGrid& grid) {
    QStringList numbers;
    for (int r = 1; r < grid.RowCount() - 1; ++r) numbers.append(grid.cellText(r, 2));
    return numbers << QStringLiteral("合计");
}

TEST_F(ScreenReader, HearsTheColumnsShownTheCellsAsShownAndEachRowsDocument) {
    struct Grid {
        FlexGrid* grid;
        QString name;
    };
    const Grid grids[] = {{form().vsf1, "销售发票"}, {form().vsf2, "销售出库单"}};
    FlexGrid& invoices = *form().vsf1;
    const ClientReport report = askClient({"销售发票", "销售出库单"}, [&] {
        QTest::keyClick(&invoices, Qt::Key_Down);  // from the first line to the second
    });
    ASSERT_EQ(report.exitCode, 0) << report.errors.toStdString();

    for (const Grid& g : grids) {
        SCOPED_TRACE(g.name.toStdString());
        ASSERT_TRUE(report.tables.contains(g.name));
        const QJsonObject table = report.tables[g.name];
        EXPECT_EQ(table["nColumns"].toInt(), g.grid->ColCount() - 3);
        EXPECT_EQ(table["nRows"].toInt(), g.grid->RowCount() - 1);
        EXPECT_EQ(strings(table["columnDescriptions"]), shownHeaders(*g.grid));
        EXPECT_EQ(strings(table["columnHeaders"]), shownHeaders(*g.grid));
        EXPECT_EQ(strings(table["firstRow"]), shownCells(*g.grid, 1));
        EXPECT_EQ(strings(table["lastRow"]), shownCells(*g.grid, g.grid->RowCount() - 1));
        EXPECT_EQ(strings(table["rowDescriptions"]), documentNumbers(*g.grid));
        EXPECT_EQ(strings(table["rowHeaders"]), documentNumbers(*g.grid));
    }

    // The invoice grid as the accountant hears it: no key column before the document number.
    const QJsonObject invoiceTable = report.tables["销售发票"];
    EXPECT_EQ(invoiceTable["nColumns"].toInt(), 12);
    EXPECT_EQ(strings(invoiceTable["columnHeaders"]).value(0), "发票号码");
    EXPECT_EQ(strings(invoiceTable["firstRow"]).value(0), "XSFP000001");
    EXPECT_EQ(strings(invoiceTable["rowHeaders"]),
              (QStringList{"XSFP000001", "XSFP000001", "XSFP000002", "XSFP000002", "合计"}));

    // The cursor's move is heard as the cell it moved to: row 2, the first visible column.
    const QJsonObject focus = report.focus.toObject();
    ASSERT_FALSE(focus.isEmpty()) << "no focus event heard";
    EXPECT_EQ(focus["table"].toString(), "销售发票");
    EXPECT_EQ(focus["name"].toString(), invoices.displayText(2, 3));
    const int columns = invoices.ColCount() - 3;
    EXPECT_EQ(focus["indexInParent"].toInt(), (1 + 1) * columns + 0);
}

}  // namespace
