#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "ModelTable.h"
#include "OptionList.h"
#include "PortNames.h"
#include "RadioSettings.h"
#include "ValueCodec.h"

namespace {

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
    entries.removeLast(); // the text after the last "|"
    return entries;
}

QStringList Chinese(const char* section) { return Section("Config.ini", section); }
QStringList English(const char* section) { return Section("EConfig.ini", section); }

} // namespace

TEST(ConfigFilesTest, BothFilesAreUtf8AndHoldEverySectionAlignedLineForLine)
{
    for (const char* name : {"Config.ini", "EConfig.ini"}) {
        QFile file(QStringLiteral(ZEMTRA_SOURCE_DIR "/res/") + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(file.readAll());
        EXPECT_FALSE(utf8.hasError()) << name;
    }
    for (const char* section : kSections) {
        const QStringList zh = Chinese(section);
        const QStringList en = English(section);
        EXPECT_FALSE(zh.isEmpty()) << section;
        EXPECT_EQ(zh.size(), en.size()) << section;
        for (const QStringList& list : {zh, en}) {
            EXPECT_EQ(QSet<QString>(list.begin(), list.end()).size(), list.size()) << section << " repeats an entry";
            for (const QString& entry : list)
                EXPECT_FALSE(entry.isEmpty()) << section;
        }
    }
}

TEST(ConfigFilesTest, ListsThatStoreAPositionFitTheirStoredByte)
{
    // Positions become bytes; 0xFF is "not set", so no list may reach it.
    for (const char* section : kSections) {
        if (QString::fromLatin1(section) != "Ccodelist") {
            EXPECT_LT(English(section).size(), 0xFF - 2) << section;
        }
    }
    // Lists read through ListIndexOfByte know exactly four positions.
    for (const char* section : {"Clamp", "Cvoxgain", "CKeyAssig"})
        EXPECT_EQ(English(section).size(), 4) << section;
    // Positions with a fixed meaning in the dialogs.
    EXPECT_EQ(English("CPTTID"), (QStringList{"OFF", "BOT", "EOT", "BOTH"}));
    EXPECT_EQ(English("CDTMFKey").size(), 2);
    EXPECT_EQ(English("CDTMFSign").size(), 2);
    EXPECT_EQ(English("Ckeylock").size(), 2); // a single bit in the radio
    EXPECT_EQ(English("CGroupCode").size(), 7); // none, then groups 0x0A..0x0F
    EXPECT_EQ(English("COptnSignal"), (QStringList{"None", "DTMF"}));
    EXPECT_EQ(Chinese("COptnSignal"), (QStringList{"无", "DTMF"}));
    EXPECT_EQ(English("CWideNarrow"), (QStringList{"Wide", "Narrow"}));
    EXPECT_EQ(Chinese("CWideNarrow"), (QStringList{"宽带", "窄带"}));
    // Lists whose position 0 stores 0xFF say "off" or "none" there.
    for (const char* section : {"CTOTAlert", "CTOTReKey", "CTOTReset", "Clamp", "Cvoxgain", "CPTTID",
                                "CTONETIME", "CFIRSTDTMFTIME", "CAutoReset", "CTranspond", "CCallAlert",
                                "CDCode"}) {
        EXPECT_EQ(English(section).first(), "OFF") << section;
        EXPECT_EQ(Chinese(section).first(), "关") << section;
    }

    // A fresh document and the 476-478 MHz preset open every list with a
    // selection: their stored values are positions inside the lists.
    RadioSettings settings;
    EXPECT_GT(English("COptSign").size(), int(settings.tot));
    EXPECT_GT(English("Csquelchlevel").size(), int(settings.squelchLevel));
    EXPECT_GT(English("CAutoReset").size(), int(settings.autoResetTimer));
    EXPECT_GE(int(settings.firstDigitDelay), 2); // position = byte - 2
    settings.ApplyFixedPlan();
    EXPECT_GT(English("COptSign").size(), int(settings.tot));
    EXPECT_GT(English("Csquelchlevel").size(), int(settings.squelchLevel));
}

TEST(ConfigFilesTest, CodeListHoldsNoCodeThenToneAndDcsCodesTheCodecStoresAndShowsUnchanged)
{
    const QStringList en = English("Ccodelist");
    const QStringList zh = Chinese("Ccodelist");
    ASSERT_EQ(en.size(), 1 + 50 + 2 * 104);
    EXPECT_EQ(en.first(), "None");
    EXPECT_EQ(zh.first(), "无");
    EXPECT_EQ(en.mid(1), zh.mid(1));
    EXPECT_EQ(en[1], "67.0");
    EXPECT_EQ(en[50], "254.1");
    EXPECT_EQ(en[51], "D023N");
    EXPECT_EQ(en[51 + 104], "D023I");

    const QRegularExpression tone(QStringLiteral("^[0-9]{2,3}\\.[0-9]$"));
    const QRegularExpression dcs(QStringLiteral("^D[0-7]{3}[NI]$"));
    ValueCodec codec;
    double previousTone = 0;
    for (const QString& code : en.mid(1)) {
        const bool isTone = tone.match(code).hasMatch();
        EXPECT_TRUE(isTone || dcs.match(code).hasMatch()) << code.toStdString();
        if (isTone) {
            EXPECT_GT(code.toDouble(), previousTone) << code.toStdString();
            EXPECT_GE(code.toDouble(), 67.0);
            EXPECT_LE(code.toDouble(), 254.1);
            previousTone = code.toDouble();
        }
        // What the channel grid shows after a save and a load must be the
        // entry the user chose.
        uint8_t bytes[2] = {0xFF, 0xFF};
        codec.Code2BCD(code.toStdString(), bytes);
        char back[6] = {};
        codec.BCD2Code(bytes, back, sizeof back);
        EXPECT_EQ(QString::fromLatin1(back), code);
    }
    // Every normal DCS code has its inverted twin at the same offset.
    for (int i = 0; i < 104; ++i) {
        QString normal = en[51 + i];
        EXPECT_EQ(normal.replace(4, 1, QLatin1Char('I')), en[51 + 104 + i]);
    }
}

TEST(ConfigFilesTest, ModelTypesAreModelTableBandsWith476AtSevenAndCustomLast)
{
    QStringList bands;
    for (const ModelRow& row : ModelTable::Rows())
        bands << QString::fromLatin1(row.bandText);
    const ModelRow* custom = ModelTable::Find(ModelTable::kCustomModelCode);
    ASSERT_NE(custom, nullptr);
    for (const QStringList& list : {English("modeltype"), Chinese("modeltype")}) {
        ASSERT_EQ(list.size(), 9);
        for (const QString& entry : list)
            EXPECT_TRUE(bands.contains(entry)) << entry.toStdString();
        EXPECT_EQ(list[7], ModelTable::kBand476Text);
        EXPECT_EQ(list[8], QString::fromLatin1(custom->bandText));
        // A model code found by its band text must not be the 476 or custom
        // row by accident.
        for (int i = 0; i < 7; ++i)
            EXPECT_NE(list[i], ModelTable::kBand476Text);
    }
    EXPECT_TRUE(English("modeltype").contains(ModelTable::kDefaultBandText));
}

TEST(ConfigFilesTest, PortListPositionIsPortNumberMinusOne)
{
    for (const QStringList& list : {English("portlist"), Chinese("portlist")}) {
        ASSERT_EQ(list.size(), 24);
        for (int i = 0; i < list.size(); ++i) {
            const int port = i + 1;
            const QString device = QString::fromStdString(PortDevice(port)).section(QLatin1Char('/'), -1);
            ASSERT_FALSE(device.isEmpty());
            EXPECT_EQ(list[i], QStringLiteral("COM%1 (%2)").arg(port).arg(device));
        }
    }
}
