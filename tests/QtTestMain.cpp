// Window tests run on the offscreen platform with a profile and a data
// folder of their own, so they never touch the user's settings or job
// backups and need no display.
#include <clocale>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    // Radio jobs keep backups and a log under the data folder.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // as the program does
    // Config.ini and EConfig.ini are found beside the test program.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    return RUN_ALL_TESTS();
}
