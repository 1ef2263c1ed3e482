// Where the program finds what it ships: the current folder first, then
// beside the program (build tree), then ../share/zemtra800 (installed).
#include "AppTestKit.h"
#include "ui/AppPictures.h"

using apptest::WriteFile;

TEST(ShippedFiles, TheUsersFolderThenBesideTheProgramThenTheShareFolder)
{
    QTemporaryDir root;
    const QString share = root.filePath("usr/share/zemtra800/");
    const QString bin = root.filePath("usr/bin");
    const QString work = root.filePath("work");
    QDir().mkpath(bin);
    QDir().mkpath(work);
    WriteFile(share + "Config.ini");
    WriteFile(share + "manual/zh/index.html");

    EXPECT_EQ(FindShippedFileFrom("Config.ini", work, bin), share + "Config.ini");
    EXPECT_EQ(FindShippedFileFrom("manual/zh/index.html", work, bin), share + "manual/zh/index.html");
    EXPECT_EQ(FindShippedFileFrom("EConfig.ini", work, bin), QString());

    WriteFile(bin + "/Config.ini");
    EXPECT_EQ(FindShippedFileFrom("Config.ini", work, bin), bin + "/Config.ini");
    WriteFile(work + "/Config.ini");
    EXPECT_EQ(FindShippedFileFrom("Config.ini", work, bin), work + "/Config.ini");
}
