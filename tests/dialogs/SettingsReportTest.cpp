// The settings as the dialogs show them (for the printout), and the stored
// default channel as a record.
#include <QSettings>

#include "DialogTestKit.h"
#include "dialogs/ChannelDefaults.h"
#include "dialogs/SettingsReport.h"
#include "ui/Profile.h"

namespace {
using SettingsReportTest = DialogTest;

// Labels lose their colon; lists show their entry, check boxes On/Off;
// every autodial memory, the left column first, top to bottom, then the
// right one. (Which pages a model has: the printout's tests.)
TEST_F(SettingsReportTest, EachDialogsLabelsWithTheValuesItWouldShow)
{
    const OptionList options = OptionFile("[Ckeylock]\nManual=0\nAuto=1\n[CKeyAssig]\nMonitor=0\nScan=1\n");
    RadioSettings s;
    s.keyLock = 1;
    s.batterySave = 0;
    s.beepTone = 1;
    s.moniKey = 0; // stored 0: the list's second entry
    SetText(s.message1, "CQ CQ");
    SetText(s.autodial[2], "5551234");
    SetText(s.idCode, "101");
    QStringList shown;
    for (const SettingsSection& section : DescribeSettings(s, options, true))
        for (const SettingsLine& line : section.lines)
            shown << section.title + " / " + line.label + " = " + line.value;
    for (const char* line : {"Optional Feature / Key Lock = Auto", "Optional Feature / Battery Save = Off",
                             "Optional Feature / Beep Tone = On", "Key Assignment / Key Assignment = Scan",
                             "Embedded Message / Message 1 = CQ CQ", "Embedded Message / Message 2 = ",
                             "DTMF - Decode / ID Code = 101"})
        EXPECT_TRUE(shown.contains(line)) << line << "\n" << shown.join('\n');
    EXPECT_TRUE(shown.contains("DTMF - Autodial Memory / 3 = 5551234")) << shown.join('\n');
}

// The editor's list positions: entry 0 of the two-way lists is the stored
// 1; the lockout entries 0, 1, 2, 3 store 3, 0, 1, 2; nothing selected (-1)
// stores the first rule's neutral value. A default channel is no frequency
// of its own, and there is none unless saved and allowed.
TEST(ChannelDefaultsTest, TheStoredPositionsBecomeTheRecordsValues)
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, "Halvorn", "ZEMTRA800").remove("CHANNEL_DEFAULT");
    EXPECT_FALSE(StoredDefaultChannel().has_value()); // never saved
    const struct { int signal, squel, busylock, bearshift; uint32_t signalling, spUnmute, lockout, beatShiftOff; } cases[] = {
        {0, 0, 0, 0, 1, 1, 3, 1},
        {1, 1, 1, 1, 0, 0, 0, 0},
        {1, 0, 2, 0, 0, 1, 1, 1},
        {0, 1, 3, 1, 1, 0, 2, 0},
        {-1, -1, -1, 0, 0, 0, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.signal << c.squel << c.busylock << c.bearshift);
        for (auto [key, value] : {std::pair{"SIGNAL", c.signal}, {"SQUEL", c.squel}, {"BUSYLOCK", c.busylock},
                                  {"BEARSHIFT", c.bearshift}, {"ALLOWDEFAULT", 1}})
            Profile::WriteInt("CHANNEL_DEFAULT", key, value);
        const std::optional<ChannelRecord> channel = StoredDefaultChannel();
        ASSERT_TRUE(channel.has_value());
        EXPECT_EQ(channel->optionalSignalling, c.signalling);
        EXPECT_EQ(channel->spUnmute, c.spUnmute);
        EXPECT_EQ(channel->busyLockout, c.lockout);
        EXPECT_EQ(channel->beatShiftOff, c.beatShiftOff);
        EXPECT_LT(channel->rxFrequency, 0.1);
    }
    Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 0);
    EXPECT_FALSE(StoredDefaultChannel().has_value());
}
} // namespace
