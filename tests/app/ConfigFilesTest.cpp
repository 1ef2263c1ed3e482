// The option files: how they are read, and what the shipped ones hold.
#include <QSet>
#include <QStringEncoder>

#include "../FifoGuard.h"
#include "AppTestKit.h"
#include "image/ToneCode.h"
#include "ui/OptionList.h"

namespace {
using apptest::WriteFile;

const char* const kSections[] = {
    "Ccodelist", "COptnSignal", "CWideNarrow", "COptSign", "CTOTAlert", "CTOTReKey", "CTOTReset",
    "Csquelchlevel", "Clamp", "Ckeylock", "Cvoxgain", "CDTMFKey", "CDCode", "CPTTID", "CTONETIME",
    "CFIRSTDTMFTIME", "CFIRSTDTMFDELAYTIME", "CDTMFSPEED", "CAutoReset", "CTranspond", "CCallAlert",
    "CGroupCode", "CINTERMEDIATE_CODE", "CDTMFSign", "CKeyAssig", "modeltype", "portlist"};

// The committed files, not the copies beside the test program.
QStringList Section(const char* file, const char* section)
{
    OptionList options(QStringLiteral(ZEMTRA_SOURCE_DIR "/res"));
    options.SetFile(QString::fromLatin1(file));
    QStringList entries = options.ReadSection(QString::fromLatin1(section)).split(QLatin1Char('|'));
    entries.removeLast();
    return entries;
}
QStringList Zh(const char* section) { return Section("Config.ini", section); }
QStringList En(const char* section) { return Section("EConfig.ini", section); }

} // namespace

TEST(ConfigFilesTest, BothFilesHoldEverySectionAlignedLineForLine)
{
    for (const char* section : kSections) {
        const QStringList zh = Zh(section), en = En(section);
        EXPECT_FALSE(en.isEmpty()) << section;
        EXPECT_EQ(zh.size(), en.size()) << section;
        EXPECT_EQ(QSet<QString>(zh.begin(), zh.end()).size(), zh.size()) << section;
        EXPECT_FALSE(en.contains(QString()) || zh.contains(QString())) << section;
    }
}

// What the channel editor lists and what a channel table may hold are the
// same set (the tones, then the DCS codes normal, then inverted).
TEST(ConfigFilesTest, CodeListOffersExactlyTheCodesImportsAccept)
{
    QStringList expected;
    for (const int tenths : ToneCode::StandardTones())
        expected << QString::fromStdString(ToneCode::ToneText(tenths));
    for (const bool inverted : {false, true})
        for (const int code : ToneCode::StandardDcsCodes())
            expected << QString::fromStdString(ToneCode::DcsText(code, inverted));
    const QStringList en = En("Ccodelist");
    EXPECT_EQ(en.mid(1), expected);
    EXPECT_EQ(Zh("Ccodelist").mid(1), expected);
}

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

TEST(OptionListTest, WindowsFilesInGbkReadAsTheUtf8Ones)
{
    // The shipped Chinese file as the Windows program's users have it.
    QFile shipped(QStringLiteral(ZEMTRA_SOURCE_DIR "/res/Config.ini"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(shipped.readAll());
    QStringEncoder gbk("GBK");
    ASSERT_TRUE(gbk.isValid());
    const QByteArray bytes = gbk(text);
    ASSERT_FALSE(gbk.hasError());
    QTemporaryDir dir;
    WriteFile(dir.filePath("Config.ini"), bytes);
    OptionList windows(dir.path());
    windows.SetFile("Config.ini");
    for (const char* section : kSections) {
        QStringList entries = windows.ReadSection(QString::fromLatin1(section)).split(QLatin1Char('|'));
        entries.removeLast();
        EXPECT_EQ(entries, Zh(section)) << section;
    }
    EXPECT_EQ(windows.ReadSection("COptnSignal"), QString::fromUtf8("无|DTMF|"));

    // A file is in one encoding: a single sequence that is not UTF-8 makes all
    // of it GBK, even keys that would pass as UTF-8.
    WriteFile(dir.filePath("Mixed.ini"), "[L]\n" + gbk(QString::fromUtf8("关=0\n")) + "\xC3\xA9=1\n");
    windows.SetFile("Mixed.ini");
    EXPECT_EQ(windows.ReadSection("L"), QString::fromUtf8("关|茅|"));
    WriteFile(dir.filePath("Utf8.ini"), "[L]\n\xE5\x85\xB3=0\n\xC3\xA9=1\n");
    windows.SetFile("Utf8.ini");
    EXPECT_EQ(windows.ReadSection("L"), QString::fromUtf8("关|é|"));
}

TEST(OptionListTest, AnOptionFileThatIsNotARegularFileGivesEmptyLists)
{
    QTemporaryDir dir;
    FifoGuard fifo(QFile::encodeName(dir.filePath("EConfig.ini")).toStdString());
    ASSERT_TRUE(fifo.Made());
    OptionList options(dir.path());
    options.SetFile("EConfig.ini");
    EXPECT_EQ(options.ReadSection("CWideNarrow"), "");
    EXPECT_FALSE(fifo.HadToUnblock()) << "the window waited on the file";
}
