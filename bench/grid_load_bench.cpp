// Times the invoice grid's load against what reading the same rows costs at the database, and
// the grid operations around it. Prints one "name=value unit" line per figure and a summary line.
#include <QApplication>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "bench/BenchMeasure.h"
#include "bench/BenchWorkload.h"
#include "bench/LineFetch.h"
#include "component/SharedState.h"
#include "component/UserSettings.h"
#include "foundation/Messages.h"
#include "reconcile/CollectGridIds.h"
#include "window/Commands.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/GridLoader.h"
#include "window/HookForm.h"

namespace xhook::bench {

namespace {

constexpr int kRuns = 11;
constexpr int kLinesPerInvoice = 50;
constexpr int kFullLines = 20000;
constexpr int kRemovedLines = 1000;
constexpr int kPagesScrolled = 10;
constexpr int kGridColumns = 31;

// Keeps the messages that the component shows; any message means a figure is not valid.
class RecordingSink : public MessageSink {
  public:
    void show(const QString& text, int, const std::optional<QString>&) override {
        messages << text;
    }
    QStringList messages;
};

void print(const QString& name, double value, const char* unit) {
    std::printf("%s=%.2f %s\n", name.toUtf8().constData(), value, unit);
    std::fflush(stdout);
}

void flushEvents() {
    QApplication::processEvents();
}

// The load as the window runs it, up to the grid's first full paint.
void loadAndPaint(FlexGrid& grid, const QString& idList) {
    if (!loadDocumentGrid(grid, invoiceGridSource(), idList))
        throw std::runtime_error("the grid load failed");
    flushEvents();
    grid.repaint();
}

// Gives the first `lines` document rows one document id, so that they form one document.
void mergeLeadingRowsIntoOneDocument(FlexGrid& grid, int lines) {
    const QString id = grid.cellText(1, 0);
    for (int row = 2; row <= lines; ++row)
        grid.setCellProperty(FlexGrid::kSelectorText, row, 0, id);
    flushEvents();
}

double removeLeadingDocument(HookForm& form) {
    FlexGrid& grid = *form.vsf1;
    mergeLeadingRowsIntoOneDocument(grid, kRemovedLines);
    grid.setCurrentRow(kRemovedLines / 2);
    flushEvents();
    const int before = grid.RowCount();
    const double ms = elapsedMs([&] {
        MenuSaleBillRemove_Click(form);
        flushEvents();
    });
    if (grid.RowCount() != before - kRemovedLines)
        throw std::runtime_error("the removal did not take the document's lines out");
    return ms;
}

double collectIds(const FlexGrid& grid) {
    QString list;
    const double ms = elapsedMs([&] {
        if (!CollectGridIds(grid, list)) throw std::runtime_error("no ids collected");
    });
    return ms;
}

// One page down and the viewport's repaint, for each page from the top.
std::vector<double> scrollPages(FlexGrid& grid) {
    std::vector<double> samples;
    QScrollBar* bar = grid.verticalScrollBar();
    bar->setValue(0);
    flushEvents();
    for (int page = 0; page < kPagesScrolled; ++page)
        samples.push_back(elapsedMs([&] {
            bar->setValue(bar->value() + bar->pageStep());
            grid.viewport()->repaint();
        }));
    return samples;
}

void writeConnectionSetting(const QString& connectionString) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("DuVariz2007"));
    store.setValue(QStringLiteral("DBOperation/DBConnectionString"), connectionString);
    store.sync();
}

// What hookBill does for one small invoice, up to the window's first paint, without the modal
// loop: settings, window build, find1, show, paint.
double openWindowForInvoice(const QString& invoiceId) {
    std::unique_ptr<FrmHookResult> window;
    const double ms = elapsedMs([&] {
        readUserSettings(shared());
        shared().gInvoiceIds = invoiceId;
        window = std::make_unique<FrmHookResult>();
        if (!window->find1()) throw std::runtime_error("find1 failed");
        window->form().show();
        flushEvents();
        window->vsf1().repaint();
    });
    window->close();
    flushEvents();
    return ms;
}

struct Samples {
    std::map<QString, std::vector<double>> byName;
    void add(const QString& name, double ms) { byName[name].push_back(ms); }
    void add(const QString& name, const std::vector<double>& ms) {
        byName[name].insert(byName[name].end(), ms.begin(), ms.end());
    }
    double median(const QString& name) const { return bench::median(byName.at(name)); }
};

QString loadName(int lines) {
    return QStringLiteral("T_load_%1").arg(lines);
}

// One round of every alternating figure on the big workload.
void runRound(const Workload& workload, HookForm& form, QtLineFetch& qtFetch,
              SqliteLineFetch& floor, Samples& samples) {
    FlexGrid& grid = *form.vsf1;
    const QString fullIds = workload.idListForLines(kFullLines);
    const QString sql = lineQueryText(fullIds);
    long long qtCells = 0, floorCells = 0;
    samples.add(QStringLiteral("T_fetch"), elapsedMs([&] { qtCells = qtFetch.readAll(sql); }));
    samples.add(QStringLiteral("T_floor"), elapsedMs([&] { floorCells = floor.readAll(sql); }));
    if (qtCells != floorCells || qtCells < kFullLines)
        throw std::runtime_error("the two reads did not see the same rows");
    for (int lines : {5000, 10000})
        samples.add(loadName(lines),
                    elapsedMs([&] { loadAndPaint(grid, workload.idListForLines(lines)); }));
    samples.add(loadName(kFullLines), elapsedMs([&] { loadAndPaint(grid, fullIds); }));
    if (grid.RowCount() != kFullLines + 2 || grid.ColCount() != kGridColumns)
        throw std::runtime_error("the grid does not hold the whole workload");
    samples.add(QStringLiteral("collect_grid_ids_20000"), collectIds(grid));
    samples.add(QStringLiteral("viewport_page_paint"), scrollPages(grid));
    samples.add(QStringLiteral("remove_document_1000_of_20000"), removeLeadingDocument(form));
}

struct ServerFigures {
    double fetch = 0, load = 0;
};

// T_fetch and T_load at 20,000 lines against a server database, alternating, as for SQLite.
ServerFigures runServerRounds(const QString& connectionString) {
    const Workload workload =
        createServerWorkload(connectionString, kFullLines / kLinesPerInvoice, kLinesPerInvoice);
    shared().DBConnectionString = connectionString;
    FrmHookResult window;
    FlexGrid& grid = *window.form().vsf1;
    window.form().show();
    flushEvents();
    const QString fullIds = workload.idListForLines(kFullLines);
    const QString sql = lineQueryText(fullIds);
    ConnectionLineFetch fetch(connectionString);
    fetch.readAll(sql);  // warm-up
    loadAndPaint(grid, fullIds);
    std::vector<double> fetches, loads;
    for (int round = 0; round < kRuns; ++round) {
        long long cells = 0;
        fetches.push_back(elapsedMs([&] { cells = fetch.readAll(sql); }));
        if (cells < kFullLines) throw std::runtime_error("the server read missed rows");
        loads.push_back(elapsedMs([&] { loadAndPaint(grid, fullIds); }));
        if (grid.RowCount() != kFullLines + 2 || grid.ColCount() != kGridColumns)
            throw std::runtime_error("the grid does not hold the server's whole workload");
    }
    window.close();
    flushEvents();
    return {bench::median(fetches), bench::median(loads)};
}

// `serverConnection`, when not empty, adds the server figures and pg_ratio to the summary.
int run(const QString& serverConnection) {
    RecordingSink sink;
    ScopedMessageSink scopedSink(&sink);
    QTemporaryDir dir;
    const Workload workload =
        createWorkload(dir.filePath("host.db"), kFullLines / kLinesPerInvoice, kLinesPerInvoice);
    const Workload small = createWorkload(dir.filePath("small.db"), 14, 5);
    if (workload.invoiceIds.size() * kLinesPerInvoice != kFullLines)
        throw std::runtime_error("the demo database does not hold 20000 lines");

    shared().DBConnectionString = workload.connectionString;
    FrmHookResult window;
    HookForm& form = window.form();
    form.show();
    flushEvents();
    form.repaint();

    QtLineFetch qtFetch(workload.path);
    SqliteLineFetch floor(workload.path);
    const double rssBefore = processMemoryMb("VmRSS");
    loadAndPaint(*form.vsf1, workload.idListForLines(kFullLines));  // warm-up
    const double rssAdded = processMemoryMb("VmRSS") - rssBefore;
    const double peak = processMemoryMb("VmHWM");

    Samples samples;
    for (int round = 0; round < kRuns; ++round) runRound(workload, form, qtFetch, floor, samples);
    window.close();
    flushEvents();

    writeConnectionSetting(small.connectionString);
    openWindowForInvoice(small.invoiceIds.first());  // warm-up
    for (int round = 0; round < kRuns; ++round)
        samples.add(QStringLiteral("hookbill_5_lines_to_first_paint"),
                    openWindowForInvoice(small.invoiceIds.first()));
    std::optional<ServerFigures> server;
    if (!serverConnection.isEmpty()) server = runServerRounds(serverConnection);
    if (!sink.messages.isEmpty())
        throw std::runtime_error(("messages shown: " + sink.messages.join(" | ")).toStdString());

    for (const auto& [name, values] : samples.byName) print(name, bench::median(values), "ms");
    print(QStringLiteral("rss_added_by_grid"), rssAdded, "MB");
    print(QStringLiteral("rss_peak"), peak, "MB");
    if (server) {
        print(QStringLiteral("T_fetch_postgres"), server->fetch, "ms");
        print(QStringLiteral("T_load_20000_postgres"), server->load, "ms");
    }
    const double load = samples.median(loadName(kFullLines));
    std::printf("ratio=%.2f floor_ratio=%.2f rss_mb=%.1f growth=%.2f",
                load / samples.median(QStringLiteral("T_fetch")),
                load / samples.median(QStringLiteral("T_floor")), rssAdded,
                load / samples.median(loadName(10000)));
    if (server) std::printf(" pg_ratio=%.2f", server->load / server->fetch);
    std::printf("\n");
    return 0;
}

// The load that a profiler looks at, after a warm-up through loadAndPaint.
[[gnu::noinline]] void profiledLoad(FlexGrid& grid, const QString& idList) {
    loadAndPaint(grid, idList);
}

// A warm-up load, then one load of `lines` lines and one id collection over them, for a
// profiler: under callgrind, --toggle-collect='*profiledLoad*' or '*collectIds*' limits the
// counts to one of them.
int profile(int lines) {
    RecordingSink sink;
    ScopedMessageSink scopedSink(&sink);
    QTemporaryDir dir;
    const Workload workload =
        createWorkload(dir.filePath("host.db"), lines / kLinesPerInvoice, kLinesPerInvoice);
    shared().DBConnectionString = workload.connectionString;
    FrmHookResult window;
    HookForm& form = window.form();
    form.show();
    flushEvents();
    const QString idList = workload.idListForLines(lines);
    loadAndPaint(*form.vsf1, idList);
    print(loadName(lines), elapsedMs([&] { profiledLoad(*form.vsf1, idList); }), "ms");
    print(QStringLiteral("collect_grid_ids"), collectIds(*form.vsf1), "ms");
    window.close();
    return 0;
}

}  // namespace

}  // namespace xhook::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toUtf8());  // the settings stay in the run
    QApplication app(argc, argv);
    try {
        if (argc == 3 && QByteArray(argv[1]) == "--profile")
            return xhook::bench::profile(QByteArray(argv[2]).toInt());
        if (argc == 3 && QByteArray(argv[1]) == "--postgres")
            return xhook::bench::run(QString::fromUtf8(argv[2]));
        return xhook::bench::run({});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "grid_load_bench: %s\n", error.what());
        return 1;
    }
}
