#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// The ODBC drivers as the system registers them (/etc/odbcinst.ini), in a copy of the run's own
// with psqlODBC's communication log off: Debian registers it with CommLog=1, which leaves a file
// in /tmp for every process that used the driver.
void useOwnOdbcDriverList(const QString& folder) {
    if (!qEnvironmentVariableIsEmpty("ODBCSYSINI")) return;
    QFile system(QStringLiteral("/etc/odbcinst.ini"));
    if (!system.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    QString drivers = QString::fromUtf8(system.readAll());
    drivers.replace(QRegularExpression(QStringLiteral("(?m)^\\s*CommLog\\s*=.*$")),
                    QStringLiteral("CommLog=0"));
    QDir().mkpath(folder);
    QFile own(folder + QStringLiteral("/odbcinst.ini"));
    if (!own.open(QIODevice::WriteOnly | QIODevice::Text)) return;
    own.write(drivers.toUtf8());
    qputenv("ODBCSYSINI", folder.toUtf8());
}

}  // namespace

// Every test program runs with a QApplication on the offscreen platform, as the host would have
// one, so that the window and its grids can be built. The user's settings and data live in a
// folder of the run's own, never in the real home.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    useOwnOdbcDriverList(home.path() + "/odbc");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
