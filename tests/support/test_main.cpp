#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Every test program runs with a QApplication on the offscreen platform, as the host would have
// one, so that the window and its grids can be built. The user's settings and data live in a
// folder of the run's own, never in the real home.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
