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
} // namespace

TEST(OptionListTest, ReadsTheNamedSectionsKeysInFileOrder)
{
    QTemporaryDir dir;
    // Saved by a Windows editor: byte-order mark and CRLF.
    WriteFile(dir.filePath("Test.ini"), "\xEF\xBB\xBF; comment\r\n[Other]\r\nX=1\r\n"
                                        "[Times]\r\nC=3\r\nA=1\r\n=5\r\nabc\r\nB = x=y\r\n\r\n[Empty]\r\n");
    OptionList options(dir.path());
    options.SetFile("Test.ini");
    // No sorting; "=5" and "abc" are empty entries; only the text before the first "=".
    EXPECT_EQ(options.ReadSection("times"), "C|A|||B|");
    EXPECT_EQ(options.ReadSection("Other"), "X|");
    EXPECT_EQ(options.ReadSection("Empty"), "");
    EXPECT_EQ(options.ReadSection("Absent"), "");
    options.SetFile("NoSuchFile.ini");
    EXPECT_EQ(options.ReadSection("Times"), "");
}

TEST(OptionListTest, LooksInItsFolderFirstThenBesideTheProgram)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("EConfig.ini"), "[CWideNarrow]\nLocal=0\n");
    OptionList local(dir.path());
    local.SetFile("EConfig.ini");
    EXPECT_EQ(local.ReadSection("CWideNarrow"), "Local|");
    // Started from a desktop menu: the copy installed beside the program.
    QTemporaryDir empty;
    OptionList installed(empty.path());
    installed.SetFile("EConfig.ini");
    EXPECT_EQ(installed.ResolvedPath(), QDir(QCoreApplication::applicationDirPath()).filePath("EConfig.ini"));
    EXPECT_EQ(installed.ReadSection("CWideNarrow"), "Wide|Narrow|");
}

TEST(OptionListTest, FillComboReplacesEntriesInOrderAndDropsTheTail)
{
    QComboBox combo;
    combo.addItem("stale");
    FillComboFromList(&combo, "B|A||C|tail");
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemText(0), "B");
    EXPECT_EQ(combo.itemText(2), "");
    EXPECT_EQ(combo.itemText(3), "C");
    FillComboFromList(&combo, "no bar");
    EXPECT_EQ(combo.count(), 0);
}
