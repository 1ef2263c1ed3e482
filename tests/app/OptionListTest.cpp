#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "OptionList.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Entries(const QComboBox& combo)
{
    QStringList out;
    for (int i = 0; i < combo.count(); ++i)
        out << combo.itemText(i);
    return out;
}

} // namespace

TEST(OptionListTest, ReadsKeysInFileOrderAndOnlyTheNamedSection)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("Test.ini"),
              "; a comment before the first section\n"
              "[Other]\nX=1\n"
              "[Times]\nC=3\nA=1\r\nB = 2\n\n"
              "[After]\nY=1\n");
    OptionList options(dir.path());
    options.SetFile("Test.ini");
    // Key order is the data format: no sorting, nothing from the neighbours.
    EXPECT_EQ(options.ReadSection("Times"), "C|A|B|");
    EXPECT_EQ(options.ReadSection("times"), "C|A|B|");
    EXPECT_EQ(options.ReadSection("Other"), "X|");
    EXPECT_EQ(options.ReadSection("After"), "Y|");
}

TEST(OptionListTest, LinesWithoutKeyGiveEmptyEntriesAndMissingThingsGiveNothing)
{
    QTemporaryDir dir;
    // A file saved by a Windows editor: byte-order mark and CRLF.
    WriteFile(dir.filePath("Test.ini"),
              "\xEF\xBB\xBF[Odd]\r\nA=1\r\n=5\r\nabc\r\nB=x=y\r\n[Empty]\r\n");
    OptionList options(dir.path());
    options.SetFile("Test.ini");
    EXPECT_EQ(options.ReadSection("Odd"), "A|||B|");
    EXPECT_EQ(options.ReadSection("Empty"), "");
    EXPECT_EQ(options.ReadSection("Absent"), "");

    options.SetFile("NoSuchFile.ini");
    EXPECT_EQ(options.ResolvedPath(), "");
    EXPECT_EQ(options.ReadSection("Odd"), "");
}

TEST(OptionListTest, LooksInItsFolderFirstThenBesideTheProgram)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("EConfig.ini"), "[CWideNarrow]\nLocal=0\n");
    OptionList local(dir.path());
    local.SetFile("EConfig.ini");
    EXPECT_EQ(local.ReadSection("CWideNarrow"), "Local|");

    // An empty folder (a desktop start in the home folder) falls back to the
    // copy installed beside the program.
    QTemporaryDir empty;
    OptionList installed(empty.path());
    installed.SetFile("EConfig.ini");
    EXPECT_EQ(installed.ResolvedPath(), QDir(QCoreApplication::applicationDirPath()).filePath("EConfig.ini"));
    EXPECT_EQ(installed.ReadSection("CWideNarrow"), "Wide|Narrow|");
}

TEST(OptionListTest, FillComboKeepsOrderAndDropsTheTail)
{
    QComboBox combo;
    combo.addItem("stale");
    FillComboFromList(&combo, "B|A||C|tail");
    EXPECT_EQ(Entries(combo), (QStringList{"B", "A", "", "C"}));

    FillComboFromList(&combo, "A|B|");
    EXPECT_EQ(Entries(combo), (QStringList{"A", "B"}));
    EXPECT_EQ(combo.itemText(0), "A");

    FillComboFromList(&combo, "");
    EXPECT_EQ(combo.count(), 0);
    FillComboFromList(&combo, "no bar");
    EXPECT_EQ(combo.count(), 0);
}
