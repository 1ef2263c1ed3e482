#include <gtest/gtest.h>

#include "CImportData.h"
#include "ChannelCodec.h"
#include "TestImage.h"

namespace {

TEST(ChannelCodec, ARecordOfSixteenBytes)
{
    ValueCodec codec;
    ChannelCodec channels(codec);
    const auto record = Bytes("00 25 51 43  00 50 51 43  70 06  23 C0  FF  FF  01  01");
    ChannelRecord c;
    ASSERT_EQ(0, channels.DecodeRecord(record.data(), c));
    EXPECT_DOUBLE_EQ(435.125, c.rxFrequency);
    EXPECT_DOUBLE_EQ(435.150, c.txFrequency);
    EXPECT_STREQ("67.0", c.txCode);
    EXPECT_STREQ("D023I", c.rxCode);
    EXPECT_EQ(3u, c.busyLockout);
    for (uint32_t flag : {c.spUnmute, c.wideNarrow, c.beatShiftOff, c.optionalSignalling, c.channelFree, c.scanAdd,
                          c.carriedFlag13Bit3, c.highPower, c.rxStep625, c.txStep625})
        EXPECT_EQ(1u, flag);

    std::vector<uint8_t> again(16, 0xFF); // untouched bits of bytes 12 and 13 stay 1
    ASSERT_EQ(0, channels.EncodeRecord(c, again.data()));
    EXPECT_EQ(record, again);
}

TEST(ChannelCodec, FlagBytesChangeOnlyTheirOwnBits)
{
    ValueCodec codec;
    ChannelCodec channels(codec);
    // Byte 12 bits 7 and 5, byte 13 bits 5, 4, 2, 1 are the radio's own.
    auto record = Bytes("FF FF FF FF  FF FF FF FF  FF FF FF FF  80 00  FF FF");
    ChannelRecord c;
    channels.DecodeRecord(record.data(), c);
    EXPECT_EQ(0u, c.spUnmute);
    EXPECT_EQ(0u, c.busyLockout);
    channels.EncodeRecord(c, record.data());
    EXPECT_EQ(0x80, record[12]);

    record[12] = 0xA0;
    record[13] = 0x36;
    c.busyLockout = 2; // bit 4 set, bit 3 clear
    c.channelFree = 0;
    c.highPower = 7;   // any non-zero value is on
    c.txFrequency = 0.0;
    channels.EncodeRecord(c, record.data());
    EXPECT_EQ(0xB0, record[12]);
    EXPECT_EQ(0x37, record[13]);
    EXPECT_EQ(Bytes("FF FF FF FF"), Bytes(record.data() + 4, 4));
}

TEST(ChannelCodec, BlankChannelsAreSixteenFFBytes)
{
    CImportData data;
    ASSERT_EQ(0, data.DecodeAll()); // an all-0xFF image
    RadioSettings blank;
    for (int n = 1; n <= RadioSettings::kChannels; ++n) {
        blank.ResetChannel(n);
        const ChannelRecord& c = data.GetSettings()->channels[n - 1];
        EXPECT_EQ(0, std::memcmp(&blank.channels[n - 1], &c, sizeof c)) << "channel " << n;
    }
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(std::vector<uint8_t>(800, 0xFF), Bytes(data.Image() + 16, 800));
}

} // namespace
