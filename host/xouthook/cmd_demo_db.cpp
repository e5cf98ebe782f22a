#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <limits>

#include "data/ConnectionString.h"
#include "foundation/Errors.h"
#include "host/lib/DemoDatabase.h"
#include "host/lib/DemoSettings.h"
#include "host/xouthook/Subcommand.h"
#include "host/xouthook/ToolSupport.h"

namespace xhook::tool {

namespace {

const QString kUsage = QStringLiteral(
    "xouthook demo-db [PATH | --connection TEXT] [--invoices N] [--lines-per-invoice K] [--seed S] "
    "[--force] [--if-absent]: creates the stand-alone host database with demo data (default path "
    "$XDG_DATA_HOME/xouthook/demo.db) and points the user's settings at it. --connection names a "
    "database by connection string instead, for example an existing PostgreSQL database: "
    "\"Provider=PostgreSQL;Server=HOST;Port=5432;Database=DB;User ID=USER;Password=PW\"; --force "
    "then drops the host database's objects there and makes them anew. The data come in groups "
    "of four customers and 14 invoices; without --invoices one group is made. Exit status 0 when "
    "done, 1 when the file or the database's objects exist (without --force or --if-absent), 2 "
    "on bad arguments or a failure.");

struct DemoDbArguments {
    QString path;
    QString connectionString;  // instead of the path
    host::DemoOptions options;
    bool force = false;
    bool ifAbsent = false;
};

QTextStream& out() {
    static QTextStream stream(stdout);
    stream.setEncoding(QStringConverter::Utf8);
    return stream;
}

int refuse(const QString& text) {
    std::fprintf(stderr, "xouthook demo-db: %s\n", text.toLocal8Bit().constData());
    return 2;
}

// A whole number within [low, high] from an option's text.
bool readNumber(const QString& text, quint64 low, quint64 high, quint64& value) {
    bool ok = false;
    value = text.toULongLong(&ok);
    return ok && value >= low && value <= high;
}

// Fills `args`; returns the exit status to end with, or -1 to go on.
int readArguments(const QStringList& arguments, DemoDbArguments& args) {
    QCommandLineParser parser;
    parser.addPositionalArgument("PATH", "the database file to create");
    parser.addOption({"invoices", "number of sales invoices (default 14)", "N"});
    parser.addOption(
        {"lines-per-invoice", "lines of every invoice (default 1 to 4 at random)", "K"});
    parser.addOption({"seed", "seed of the demo data (default 1)", "S"});
    parser.addOption({"connection", "the database to create it in, by connection string", "TEXT"});
    parser.addOption({"force", "replace an existing file or host database"});
    parser.addOption(
        {"if-absent", "when the file or host database exists, only point the settings at it"});
    int status = 0;
    if (!parseArguments(parser, kUsage, arguments, status)) return status;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) return refuse("at most one PATH");
    if (parser.isSet("connection")) {
        if (!positional.isEmpty()) return refuse("either PATH or --connection, not both");
        args.connectionString = parser.value("connection");
        if (args.connectionString.trimmed().isEmpty())
            return refuse("--connection needs a connection string");
    }
    args.path = QFileInfo(positional.value(0, host::defaultDemoDatabasePath())).absoluteFilePath();
    args.force = parser.isSet("force");
    args.ifAbsent = parser.isSet("if-absent");
    if (args.force && args.ifAbsent) return refuse("--force and --if-absent exclude each other");
    quint64 n = 0;
    if (parser.isSet("invoices")) {
        if (!readNumber(parser.value("invoices"), 1, 1000000, n))
            return refuse("--invoices takes a number from 1 to 1000000");
        args.options.invoices = int(n);
    }
    if (parser.isSet("lines-per-invoice")) {
        if (!readNumber(parser.value("lines-per-invoice"), 1, 1000, n))
            return refuse("--lines-per-invoice takes a number from 1 to 1000");
        args.options.linesPerInvoice = int(n);
    }
    if (parser.isSet("seed")) {
        if (!readNumber(parser.value("seed"), 0, std::numeric_limits<quint64>::max(), n))
            return refuse("--seed takes a whole number from 0");
        args.options.seed = n;
    }
    return -1;
}

void printSettings(const QStringList& written, const QString& connectionString) {
    out() << "Settings: DBOperation/DBConnectionString=" << connectionString << '\n';
    if (written.size() > 1) out() << "Settings added: " << written.mid(1).join(", ") << '\n';
}

void printSummary(const QString& path, const host::DemoSummary& s) {
    out() << "Created the demo database " << path << '\n'
          << "  customers:          " << s.customers << '\n'
          << "  items:              " << s.items << '\n'
          << "  sales invoices:     " << s.invoices << " (" << s.invoiceLines << " lines)\n"
          << "  outbound documents: " << s.outboundDocuments << " (" << s.outboundLines
          << " lines)\n"
          << "  reconciliations:    " << s.reconciliations << '\n';
}

// Builds the database beside its place and moves it there once complete, so that a failure
// leaves no half-made database under the name.
host::DemoSummary buildDatabase(const DemoDbArguments& args) {
    const QString partial = args.path + QStringLiteral(".part");
    QFile::remove(partial);
    const host::DemoSummary summary =
        host::createDemoDatabase(host::sqliteConnectionString(partial), args.options);
    if (args.force) QFile::remove(args.path);
    if (!QFile::rename(partial, args.path))
        throw ComponentError(75, QStringLiteral("cannot move %1 to %2").arg(partial, args.path));
    return summary;
}

// In the database that a connection string names; a failure leaves nothing behind, since the
// whole database is made in one transaction.
int runOnConnection(const DemoDbArguments& args) {
    const QString& connectionString = args.connectionString;
    const QString shown = data::ConnectionString::forDisplay(connectionString);
    const QStringList existing = host::existingHostObjects(connectionString);
    if (!existing.isEmpty() && !args.force) {
        if (!args.ifAbsent) {
            std::fprintf(stderr,
                         "xouthook demo-db: the database already holds a host database (%s); use "
                         "--force to replace it or --if-absent to keep it\n",
                         existing.join(", ").toLocal8Bit().constData());
            return 1;
        }
        out() << "The demo database at " << shown << " exists; it is kept.\n";
        printSettings(host::pointSettingsAtDatabase(connectionString), shown);
        return 0;
    }
    printSummary(shown, host::createDemoDatabase(connectionString, args.options, args.force));
    printSettings(host::pointSettingsAtDatabase(connectionString), shown);
    return 0;
}

int runDemoDb(const QStringList& arguments) {
    DemoDbArguments args;
    if (const int status = readArguments(arguments, args); status >= 0) return status;
    if (!args.connectionString.isEmpty()) return runOnConnection(args);
    const QString connectionString = host::sqliteConnectionString(args.path);
    if (QFileInfo::exists(args.path) && !args.force) {
        if (!args.ifAbsent) {
            std::fprintf(stderr,
                         "xouthook demo-db: %s exists; use --force to replace it or --if-absent "
                         "to keep it\n",
                         args.path.toLocal8Bit().constData());
            return 1;
        }
        out() << "The demo database " << args.path << " exists; it is kept.\n";
        printSettings(host::pointSettingsAtDatabase(connectionString), connectionString);
        return 0;
    }
    if (!QDir().mkpath(QFileInfo(args.path).absolutePath()))
        return refuse(QStringLiteral("cannot create the folder of %1").arg(args.path));
    printSummary(args.path, buildDatabase(args));
    printSettings(host::pointSettingsAtDatabase(connectionString), connectionString);
    return 0;
}

}  // namespace

Subcommand demoDbSubcommand() {
    return {"demo-db", "create the demo host database and point the settings at it", runDemoDb};
}

}  // namespace xhook::tool
