// Times the window's database operations against a PostgreSQL server behind a latency proxy (a
// network of a given round trip), through the PostgreSQL provider or through ODBC, and counts
// the round trips each one costs. Prints one
// "name=value unit" line per figure and a summary line.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "bench/BenchMeasure.h"
#include "bench/proxy/LatencyProxy.h"
#include "component/SharedState.h"
#include "data/ConnectionPool.h"
#include "foundation/Messages.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/OdbcConnectionString.h"
#include "reconcile/ReconcileOutcome.h"
#include "reconcile/Reconciliations.h"
#include "window/FlexGrid.h"
#include "window/FrmHookResult.h"
#include "window/HookForm.h"

namespace xhook::bench {

namespace {

constexpr int kDefaultRounds = 5;
constexpr int kDefaultRttMs = 20;
constexpr int kActivationWaitMs = 5000;
// Demo invoices and the outbound documents that match them (the demo data's first group).
const QString kManualInvoice = QStringLiteral("1001");
const QString kManualOutbound = QStringLiteral("5001");
const QString kAutomaticInvoice = QStringLiteral("1002");

class RecordingSink : public MessageSink {
  public:
    void show(const QString& text, int, const std::optional<QString>&) override {
        messages << text;
    }
    QStringList messages;
};

struct Figure {
    std::vector<double> ms;
    std::vector<double> roundTrips;
};

struct Options {
    QString connection;
    int rttMs = kDefaultRttMs;
    int rounds = kDefaultRounds;
    bool pooling = true;
    bool odbc = false;  // through the ODBC provider (psqlODBC) instead of the PostgreSQL provider
    QString odbcKeys;   // psqlODBC's own keys, added to the ODBC provider's string
};

class Bench {
  public:
    Bench(const Options& options, LatencyProxy& proxy) : options_(options), proxy_(proxy) {}

    void runRound() {
        host::createDemoDatabase(options_.connection, {}, true);
        data::ConnectionPool::ofThisThread().clear();  // each round starts as a new process
        measure("cycle_first_time",
                [&] { openAndClose("first_paint_first_time", "close_first_time"); });
        measure("cycle", [&] { openAndClose("first_paint", "close"); });
        runWindowOperations();
    }

    void print() const {
        for (const auto& [name, figure] : figures_) {
            std::printf("%s=%.1f ms  %s_rt=%.0f round trips\n", name.c_str(), median(figure.ms),
                        name.c_str(), median(figure.roundTrips));
        }
        std::printf(
            "rtt_ms=%d provider=%s pooling=%s cycle_s=%.2f first_cycle_s=%.2f find1_rt=%.0f "
            "find2_rt=%.0f manual_rt=%.0f automatic_rt=%.0f\n",
            options_.rttMs, options_.odbc ? "ODBC" : "PostgreSQL", options_.pooling ? "on" : "off",
            median(figures_.at("cycle").ms) / 1000,
            median(figures_.at("cycle_first_time").ms) / 1000,
            median(figures_.at("find1").roundTrips), median(figures_.at("find2").roundTrips),
            median(figures_.at("manual_reconciliation").roundTrips),
            median(figures_.at("automatic_reconciliation").roundTrips));
        std::fflush(stdout);
    }

    RecordingSink sink;

  private:
    // Steps may nest: a cycle holds its paint and its close.
    template <typename Step>
    void measure(const std::string& name, Step&& step) {
        const long before = proxy_.roundTrips();
        const double ms = elapsedMs(step);
        figures_[name].ms.push_back(ms);
        figures_[name].roundTrips.push_back(double(proxy_.roundTrips() - before));
    }

    // hookBill up to the window's first paint: the invoice grid's load, the window shown and
    // activated (which loads both layouts), painted; then the close, which saves both layouts.
    void openAndClose(const std::string& paintName, const std::string& closeName) {
        std::unique_ptr<FrmHookResult> window;
        measure(paintName, [&] { window = openWindow(kManualInvoice); });
        measure(closeName, [&] { closeWindow(*window); });
    }

    std::unique_ptr<FrmHookResult> openWindow(const QString& invoiceIds) {
        shared().gInvoiceIds = invoiceIds;
        auto window = std::make_unique<FrmHookResult>();
        if (!window->find1()) throw std::runtime_error("find1 failed");
        bool activated = false;
        QObject::connect(&window->form(), &HookForm::activated, [&] { activated = true; });
        window->form().show();
        QElapsedTimer waited;
        waited.start();
        while (!activated && waited.elapsed() < kActivationWaitMs) QApplication::processEvents();
        if (!activated) throw std::runtime_error("the window was not activated");
        window->vsf1().repaint();
        return window;
    }

    static void closeWindow(FrmHookResult& window) {
        window.close();
        QApplication::processEvents();
    }

    // With a stored layout and a warm pool: find1, find2 and the two reconciliations.
    void runWindowOperations() {
        std::unique_ptr<FrmHookResult> window = openWindow(kManualInvoice);
        measure("find1", [&] {
            if (!window->find1()) throw std::runtime_error("find1 failed");
        });
        shared().gOutboundIds = kManualOutbound;
        measure("find2", [&] {
            if (!window->find2()) throw std::runtime_error("find2 failed");
        });
        measure("manual_reconciliation", [&] { MenuBillHook1_Click(window->form()); });
        requireReconciled("manual");
        shared().gInvoiceIds = kAutomaticInvoice;
        if (!window->find1()) throw std::runtime_error("find1 failed");
        measure("automatic_reconciliation", [&] { MenuAutoHook_Click(window->form()); });
        requireReconciled("automatic");
        closeWindow(*window);
    }

    void requireReconciled(const char* which) {
        const ReconcileOutcome outcome = lastReconcileOutcome();
        if (!outcome.reconciled())
            throw std::runtime_error(
                std::string("the ") + which + " reconciliation did not reconcile: " +
                outcome.failure.toStdString() + " " + sink.messages.join(" | ").toStdString());
    }

    const Options& options_;
    LatencyProxy& proxy_;
    std::map<std::string, Figure> figures_;
};

Options parseArguments(const QStringList& arguments) {
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--postgres" && hasValue)
            options.connection = arguments[++i];
        else if (argument == "--rtt-ms" && hasValue)
            options.rttMs = arguments[++i].toInt();
        else if (argument == "--rounds" && hasValue)
            options.rounds = arguments[++i].toInt();
        else if (argument == "--no-pooling")
            options.pooling = false;
        else if (argument == "--odbc")
            options.odbc = true;
        else if (argument == "--odbc-keys" && hasValue)
            options.odbcKeys = arguments[++i];
        else
            throw std::runtime_error(
                "usage: network_bench --postgres CONNECTION [--rtt-ms MS] "
                "[--rounds N] [--no-pooling] [--odbc [--odbc-keys KEYS]]");
    }
    if (options.connection.isEmpty() || options.rounds < 1 || options.rttMs < 0)
        throw std::runtime_error(
            "network_bench needs --postgres CONNECTION (a database of its "
            "own: the demo database replaces what it holds)");
    return options;
}

int run(const Options& options) {
    const auto oneWay = std::chrono::microseconds(options.rttMs * 1000 / 2);
    LatencyProxy proxy(LatencyProxy::unixSocketOf(options.connection), oneWay);
    QString proxied = LatencyProxy::throughProxy(options.connection, proxy.port());
    if (!options.pooling) proxied += QStringLiteral(";Pooling=false");
    if (options.odbc) proxied = host::odbcConnectionString(proxied);
    if (options.odbc && !options.odbcKeys.isEmpty()) proxied += ';' + options.odbcKeys;
    shared().DBConnectionString = proxied;
    shared().gLoginUserId = QStringLiteral("1");

    Bench bench(options, proxy);
    ScopedMessageSink scopedSink(&bench.sink);
    for (int round = 0; round < options.rounds; ++round) bench.runRound();
    bench.print();
    return 0;
}

}  // namespace

}  // namespace xhook::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    try {
        return xhook::bench::run(xhook::bench::parseArguments(app.arguments()));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "network_bench: %s\n", error.what());
        return 1;
    }
}
