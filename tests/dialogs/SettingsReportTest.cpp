// The settings as the dialogs show them (for the printout), and the stored
// default channel as a record.
#include <QSettings>

#include "DialogTestKit.h"
#include "dialogs/ChannelDefaults.h"
#include "dialogs/SettingsReport.h"
#include "ui/Profile.h"

namespace {
using SettingsReportTest = DialogTest;

const SettingsLine* Find(const std::vector<SettingsSection>& sections, const QString& title, const QString& label)
{
    for (const SettingsSection& s : sections)
        if (s.title == title)
            for (const SettingsLine& l : s.lines)
                if (l.label == label)
                    return &l;
    return nullptr;
}

QStringList Titles(const std::vector<SettingsSection>& sections)
{
    QStringList t;
    for (const SettingsSection& s : sections)
        t << s.title;
    return t;
}

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

    const auto sections = DescribeSettings(s, options, true);
    EXPECT_EQ(Titles(sections), QStringList({"Optional Feature", "Key Assignment", "DTMF - Encode", "DTMF - Decode",
                                             "DTMF - Autodial Memory", "Embedded Message"}));
    auto value = [&](const char* title, const char* label) {
        const SettingsLine* line = Find(sections, title, label);
        EXPECT_NE(line, nullptr) << title << " / " << label;
        return line ? line->value : QStringLiteral("<missing>");
    };
    // Labels lose their colon; lists show their entry, check boxes On/Off.
    EXPECT_EQ(value("Optional Feature", "Key Lock"), "Auto");
    EXPECT_EQ(value("Optional Feature", "Battery Save"), "Off");
    EXPECT_EQ(value("Optional Feature", "Beep Tone"), "On");
    EXPECT_EQ(value("Key Assignment", "Key Assignment"), "Scan");
    EXPECT_EQ(value("Embedded Message", "Message 1"), "CQ CQ");
    EXPECT_EQ(value("Embedded Message", "Message 2"), "");
    EXPECT_EQ(value("DTMF - Autodial Memory", "3"), "5551234");
    EXPECT_EQ(value("DTMF - Decode", "ID Code"), "101");
    // Every autodial memory, the left column first, top to bottom, then the right one.
    ASSERT_EQ(sections[4].lines.size(), 9u);
    EXPECT_EQ(sections[4].lines[0].label, "1");
    EXPECT_EQ(sections[4].lines[8].label, "9");

    // Without DTMF (the 476-478 MHz model) its pages are left out.
    EXPECT_EQ(Titles(DescribeSettings(s, options, false)),
              QStringList({"Optional Feature", "Key Assignment", "Embedded Message"}));
}

class ChannelDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Halvorn", "ZEMTRA800").remove("CHANNEL_DEFAULT");
    }
};

TEST_F(ChannelDefaultsTest, TheStoredPositionsBecomeTheRecordsValues)
{
    EXPECT_FALSE(StoredDefaultChannel().has_value()); // never saved

    // The editor's list positions: entry 0 of the two-way lists is the
    // stored 1; the lockout entries 0, 1, 2, 3 store 3, 0, 1, 2.
    const struct {
        int signal, squel, busylock, bearshift;
        uint32_t optionalSignalling, spUnmute, busyLockout, beatShiftOff;
    } cases[] = {
        {0, 0, 0, 0, 1, 1, 3, 1},
        {1, 1, 1, 1, 0, 0, 0, 0},
        {1, 0, 2, 0, 0, 1, 1, 1},
        {0, 1, 3, 1, 1, 0, 2, 0},
        {-1, -1, -1, 0, 0, 0, 2, 1}, // nothing selected
    };
    for (const auto& c : cases) {
        Profile::WriteInt("CHANNEL_DEFAULT", "SIGNAL", c.signal);
        Profile::WriteInt("CHANNEL_DEFAULT", "SQUEL", c.squel);
        Profile::WriteInt("CHANNEL_DEFAULT", "BUSYLOCK", c.busylock);
        Profile::WriteInt("CHANNEL_DEFAULT", "BEARSHIFT", c.bearshift);
        Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 1);
        const std::optional<ChannelRecord> channel = StoredDefaultChannel();
        ASSERT_TRUE(channel.has_value());
        EXPECT_EQ(channel->optionalSignalling, c.optionalSignalling) << c.signal;
        EXPECT_EQ(channel->spUnmute, c.spUnmute) << c.squel;
        EXPECT_EQ(channel->busyLockout, c.busyLockout) << c.busylock;
        EXPECT_EQ(channel->beatShiftOff, c.beatShiftOff) << c.bearshift;
        // A default channel is no frequency of its own.
        EXPECT_LT(channel->rxFrequency, 0.1);
    }
    Profile::WriteInt("CHANNEL_DEFAULT", "ALLOWDEFAULT", 0);
    EXPECT_FALSE(StoredDefaultChannel().has_value());
}
} // namespace
