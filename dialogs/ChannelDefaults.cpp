#include "dialogs/ChannelDefaults.h"

#include "image/ChannelRules.h"
#include "ui/Profile.h"

std::optional<ChannelRecord> StoredDefaultChannel()
{
    const QString section = QStringLiteral("CHANNEL_DEFAULT");
    auto get = [&section](const char* key) { return Profile::GetInt(section, QString::fromLatin1(key), 0); };
    if (get("ALLOWDEFAULT") == 0)
        return std::nullopt;
    // The editor keeps list positions: entry 0 of each two-way list is the
    // stored 1, any other entry (or none) the stored 0.
    ChannelRecord channel;
    channel.optionalSignalling = get("SIGNAL") == 0 ? 1 : 0;
    channel.wideNarrow = get("WIDENORROW") == 0 ? 1 : 0;
    channel.spUnmute = get("SQUEL") == 0 ? 1 : 0;
    channel.busyLockout = BusyLockoutCode(get("BUSYLOCK"));
    channel.beatShiftOff = get("BEARSHIFT") ? 0 : 1;
    channel.highPower = get("RF") ? 1 : 0;
    channel.scanAdd = get("SCANADD") ? 1 : 0;
    return channel;
}
