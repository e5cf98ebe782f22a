// "xouthook demo-db" run as a program: the database it makes, the settings it writes, and how
// it treats a file that is already there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

#include "host/lib/DemoDatabase.h"
#include "tests/support/DemoDatabaseSupport.h"
#include "tests/support/QtPrinters.h"

using namespace xhook;
using namespace xhook::test;

namespace {

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

// The tool of this build, in the host folder beside the tests' folder.
QString toolPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("../host/xouthook");
}

ToolRun runTool(const QStringList& arguments) {
    QProcess process;
    process.start(toolPath(), QStringList{"demo-db"} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << toolPath().toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString setting(const QString& key) {
    const QSettings store(QSettings::IniFormat, QSettings::UserScope, "DuVariz2007");
    return store.value(key).toString();
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QVariant invoiceCount(const QString& path) {
    data::Connection connection;
    connection.setConnectionString(host::sqliteConnectionString(path));
    connection.open();
    return readScalar(connection, "select count(*) from icsale");
}

class DemoDbToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo::exists(toolPath())) << "build the xouthook target first";
        clearSettings();
    }
    void TearDown() override { clearSettings(); }

    TempDir dir;
};

}  // namespace

TEST_F(DemoDbToolTest, CreatesTheDatabaseAndPointsTheSettingsAtIt) {
    writeSetting("SystemSetup", "msgTitle", "本公司进销存");
    const QString path = dir.file("made.db");
    const ToolRun run = runTool({path});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(path));
    EXPECT_TRUE(run.out.contains("sales invoices:     14")) << run.out.toStdString();
    EXPECT_EQ(invoiceCount(path), 14);
    EXPECT_FALSE(QFileInfo::exists(path + ".part"));
    EXPECT_EQ(setting("DBOperation/DBConnectionString"), host::sqliteConnectionString(path));
    EXPECT_EQ(setting("SystemSetup/msgTitle"), "本公司进销存") << "a stored setting is kept";
    EXPECT_EQ(setting("SystemLogin/gLoginUserId"), "1");
    EXPECT_EQ(setting("SystemSetup/gBillLength"), "6");
}

TEST_F(DemoDbToolTest, AnExistingFileIsKeptUnlessReplacedOnPurpose) {
    const QString path = dir.file("kept.db");
    ASSERT_EQ(runTool({path}).status, 0);
    const QByteArray before = fileHash(path);

    const ToolRun refused = runTool({path, "--invoices", "28"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("--force")) << refused.err.toStdString();
    EXPECT_EQ(fileHash(path), before);

    writeSetting("DBOperation", "DBConnectionString", "Provider=SQLite;Data Source=/elsewhere.db");
    const ToolRun kept = runTool({path, "--if-absent"});
    EXPECT_EQ(kept.status, 0) << kept.err.toStdString();
    EXPECT_EQ(fileHash(path), before);
    EXPECT_EQ(setting("DBOperation/DBConnectionString"), host::sqliteConnectionString(path));

    EXPECT_EQ(runTool({path, "--force", "--if-absent"}).status, 2);
    EXPECT_EQ(runTool({path, "--force", "--invoices", "0"}).status, 2);
    EXPECT_EQ(runTool({path, "--force", "--lines-per-invoice", "x"}).status, 2);
    EXPECT_EQ(fileHash(path), before);

    const ToolRun replaced = runTool({path, "--force", "--invoices", "28", "--seed", "9"});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_EQ(invoiceCount(path), 28);
}

TEST_F(DemoDbToolTest, WithoutAPathTheDatabaseGoesToTheUsersDataFolder) {
    const QString expected = host::defaultDemoDatabasePath();
    ASSERT_FALSE(QFileInfo::exists(expected));
    const ToolRun run = runTool({"--if-absent"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(invoiceCount(expected), 14);
    EXPECT_EQ(setting("DBOperation/DBConnectionString"), host::sqliteConnectionString(expected));
    QFile::remove(expected);
}
