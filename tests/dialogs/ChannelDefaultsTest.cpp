// The stored default channel as a record.
#include <QSettings>

#include "DialogTestKit.h"
#include "dialogs/ChannelDefaults.h"
#include "ui/Profile.h"

namespace {
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
