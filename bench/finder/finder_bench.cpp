// Times the host's finder over a host database of about a million outbound lines: opening it
// (the document query, the dialog, its first paint) and the filter of each keystroke typed into
// its search field. A program to run by hand, not a test; see bench/README.md.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <memory>

#include "bench/BenchMeasure.h"
#include "component/SharedState.h"
#include "data/Connection.h"
#include "data/ResultSet.h"
#include "host/finder/FinderDialog.h"
#include "host/finder/OutboundDocumentQuery.h"
#include "host/lib/DemoDatabase.h"
#include "window/FinderContext.h"

using namespace xhook;

namespace {

constexpr int kRounds = 11;

QString customerFilter(const QString& customerNumber) {
    return " and fcustomeridnumber='" + customerNumber + "' and isnull(fhookinterid,0)=0 ";
}

QVariant scalar(const QString& connectionString, const QString& sql) {
    data::Connection connection;
    connection.setConnectionString(connectionString);
    connection.open();
    const std::unique_ptr<data::ResultSet> rows = connection.openResultSet(sql);
    const QVariant value = rows->eof() ? QVariant() : rows->value(0);
    rows->close();
    connection.close();
    return value;
}

void execute(const QString& connectionString, const QString& sql) {
    data::Connection connection;
    connection.setConnectionString(connectionString);
    connection.open();
    connection.execute(sql);
    connection.close();
}

void report(const char* name, double value, const char* unit) {
    std::printf("%s=%.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall-clock and processor time of a step. Everything the finder does runs on this thread
// (SQLite included), so the processor time is the step's cost without the waits of a machine
// that other programs share.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <typename Step>
Timing timed(Step&& step) {
    const double cpuBefore = threadCpuMs();
    const double wall = bench::elapsedMs(step);
    return {wall, threadCpuMs() - cpuBefore};
}

struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;
    void add(const Timing& t) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
};

void reportMedianAndWorst(const QString& name, const Samples& samples) {
    report(qPrintable(name), bench::median(samples.wall), "ms");
    report(qPrintable(name + "_cpu"), bench::median(samples.cpu), "ms");
    report(qPrintable(name + "_worst"), *std::max_element(samples.wall.begin(), samples.wall.end()),
           "ms");
    report(qPrintable(name + "_worst_cpu"),
           *std::max_element(samples.cpu.begin(), samples.cpu.end()), "ms");
}

// The documents as the plugin reads them: through the component's finder context (a connection of
// its own for the query), on the database that the thread's settings name.
host::OutboundDocuments readDocuments(const QString& connectionString, const QString& filter) {
    shared().DBConnectionString = connectionString;
    return host::readOutboundDocuments(componentFinderContext(), filter);
}

// What Find does before the user acts: the query, the dialog, its first paint. The dialog is
// handed back so that the next steps can type into it.
std::unique_ptr<host::FinderDialog> openFinder(const QString& connectionString,
                                               const QString& filter) {
    auto dialog = std::make_unique<host::FinderDialog>();
    dialog->setDocuments(readDocuments(connectionString, filter));
    dialog->show();
    QApplication::processEvents();
    dialog->findChild<QTableView*>("documentList")->repaint();
    return dialog;
}

// Opens the finder a warm-up round and kRounds rounds, then times the query alone as often.
int timeOpening(const QString& name, const QString& connectionString, const QString& filter) {
    Samples opens, queries;
    int documents = 0;
    for (int round = 0; round <= kRounds; ++round) {
        std::unique_ptr<host::FinderDialog> dialog;
        const Timing open = timed([&] { dialog = openFinder(connectionString, filter); });
        const Timing query =
            timed([&] { documents = int(readDocuments(connectionString, filter).size()); });
        dialog.reset();
        QApplication::processEvents();
        if (round == 0) continue;  // warm-up
        opens.add(open);
        queries.add(query);
    }
    reportMedianAndWorst("open_" + name, opens);
    reportMedianAndWorst("query_" + name, queries);
    return documents;
}

// Types each text into the search field a key at a time and takes it back with Backspace, three
// times; one keystroke is the key event (the filter runs on it) and the list's repaint.
Samples timeKeystrokes(host::FinderDialog& dialog, const QStringList& texts) {
    auto* search = dialog.findChild<QLineEdit*>("searchField");
    auto* list = dialog.findChild<QTableView*>("documentList");
    Samples strokes;
    auto stroke = [&](auto&& key) {
        strokes.add(timed([&] {
            key();
            list->viewport()->repaint();
        }));
    };
    for (int round = 0; round < 3; ++round) {
        for (const QString& text : texts) {
            for (const QChar c : text)
                stroke([&] {
                    QTest::sendKeyEvent(QTest::Click, search, Qt::Key_unknown, QString(c),
                                        Qt::NoModifier);
                });
            for (qsizetype i = 0; i < text.size(); ++i)
                stroke([&] { QTest::keyClick(search, Qt::Key_Backspace); });
        }
    }
    return strokes;
}

void benchCustomer(const QString& name, const QString& connectionString, const QString& customer,
                   const QStringList& typed) {
    const QString filter = customerFilter(customer);
    std::printf("%s: customer %s\n", qPrintable(name), qPrintable(customer));
    const int documents = timeOpening(name, connectionString, filter);
    std::printf("%s: %d unreconciled documents\n", qPrintable(name), documents);
    std::unique_ptr<host::FinderDialog> dialog = openFinder(connectionString, filter);
    reportMedianAndWorst("keystroke_" + name, timeKeystrokes(*dialog, typed));
    // Sorted by amount, largest first: every listing is sorted as well.
    dialog->findChild<QTableView*>("documentList")->sortByColumn(3, Qt::DescendingOrder);
    reportMedianAndWorst("keystroke_sorted_" + name, timeKeystrokes(*dialog, typed));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", (scratch.path() + "/config").toUtf8());
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Times the host's finder over a million outbound lines.");
    parser.addHelpOption();
    parser.addOption({"database", "host database file to use, made there when absent", "PATH"});
    parser.addOption({"heavy-documents",
                      "documents given to one customer for the heavy case (default 10000)", "N"});
    parser.process(app);

    const QString path =
        parser.isSet("database") ? parser.value("database") : scratch.filePath("million.db");
    const QString connectionString = host::sqliteConnectionString(path);
    if (!QFile::exists(path)) {
        std::printf("making the host database %s ...\n", qPrintable(path));
        std::fflush(stdout);
        host::DemoOptions options;
        options.seed = 7;
        options.invoices = 20000;
        options.linesPerInvoice = 50;
        const double made =
            bench::elapsedMs([&] { host::createDemoDatabase(connectionString, options); });
        report("make_database", made / 1000.0, "s");
    }
    std::printf("outbound lines: %lld, documents: %lld, customers: %lld\n",
                scalar(connectionString, "select count(*) from icstockbillentry").toLongLong(),
                scalar(connectionString, "select count(*) from icstockbill").toLongLong(),
                scalar(connectionString, "select count(*) from t_customer").toLongLong());

    // The demo's customer with the most unreconciled documents.
    const QString worst =
        scalar(connectionString,
               "select fcustomeridnumber from vGproductOutBill where coalesce(fhookinterid,0)=0 "
               "group by fcustomeridnumber order by count(*) desc, fcustomeridnumber limit 1")
            .toString();
    benchCustomer("demo_worst", connectionString, worst, {"xsck0000", "上海", "1,2"});

    // A customer with thousands of documents: a copy of the database in which the first N
    // documents are the first customer's.
    const int heavy =
        parser.isSet("heavy-documents") ? parser.value("heavy-documents").toInt() : 10000;
    const QString heavyPath = scratch.filePath("heavy.db");
    QFile::copy(path, heavyPath);
    const QString heavyConnection = host::sqliteConnectionString(heavyPath);
    execute(heavyConnection,
            QStringLiteral("update icstockbill set fcustid=1 where finterid<%1").arg(5001 + heavy));
    const QString first =
        scalar(heavyConnection, "select fcustomeridnumber from t_customer where fitemid=1")
            .toString();
    benchCustomer("heavy", heavyConnection, first, {"xsck0001", "上海", "1,2"});
    return 0;
}
