// Where the program finds what it ships: the current folder first, then
// beside the program (build tree), then ../share/zemtra800 (installed).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ui/AppPictures.h"

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(ShippedFiles, InstalledUnderAPrefixTheShareFolderIsFound)
{
    QTemporaryDir root;
    const QString prefix = root.filePath(QStringLiteral("usr"));
    const QString bin = prefix + QStringLiteral("/bin");
    const QString work = root.filePath(QStringLiteral("work"));
    QDir().mkpath(bin);
    QDir().mkpath(work);
    Touch(prefix + QStringLiteral("/share/zemtra800/Config.ini"));
    Touch(prefix + QStringLiteral("/share/zemtra800/manual/zh/index.html"));

    EXPECT_EQ(FindShippedFileFrom(QStringLiteral("Config.ini"), work, bin),
              prefix + QStringLiteral("/share/zemtra800/Config.ini"));
    EXPECT_EQ(FindShippedFileFrom(QStringLiteral("manual/zh/index.html"), work, bin),
              prefix + QStringLiteral("/share/zemtra800/manual/zh/index.html"));
    EXPECT_EQ(FindShippedFileFrom(QStringLiteral("EConfig.ini"), work, bin), QString());

    // Beside the program (the build tree) comes before the share folder...
    Touch(bin + QStringLiteral("/Config.ini"));
    EXPECT_EQ(FindShippedFileFrom(QStringLiteral("Config.ini"), work, bin), bin + QStringLiteral("/Config.ini"));
    // ...and the user's own folder before both.
    Touch(work + QStringLiteral("/Config.ini"));
    EXPECT_EQ(FindShippedFileFrom(QStringLiteral("Config.ini"), work, bin), work + QStringLiteral("/Config.ini"));
}

// The build copies the manual beside the program, as installing puts it
// under share/zemtra800: Help finds either by the same look-up.
TEST(ShippedFiles, TheManualOfEachLanguageIsFoundBesideTheBuiltProgram)
{
    QTemporaryDir empty;
    for (const char* language : {"en", "zh"}) {
        const QString path = FindShippedFileFrom(QStringLiteral("manual/%1/index.html").arg(QLatin1String(language)),
                                                 empty.path(), QStringLiteral(ZEMTRA_BINARY_DIR));
        EXPECT_EQ(path, QStringLiteral(ZEMTRA_BINARY_DIR "/manual/%1/index.html").arg(QLatin1String(language)));
    }
}

} // namespace
