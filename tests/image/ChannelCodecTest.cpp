#include "image/ChannelCodec.h"
#include "TestImage.h"

namespace {

TEST(ChannelCodec, ARecordOfSixteenBytesAndItsFlagBits)
{
    ValueCodec codec;
    ChannelCodec channels(codec);
    auto record = Bytes("00 25 51 43  00 50 51 43  70 06  23 C0  FF  FF  01  01");
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
    std::vector<uint8_t> again(16, 0xFF);
    ASSERT_EQ(0, channels.EncodeRecord(c, again.data()));
    EXPECT_EQ(record, again);

    // Byte 12 bits 7 and 5, byte 13 bits 5, 4, 2, 1 are the radio's own.
    record[12] = 0xA0;
    record[13] = 0x36;
    channels.DecodeRecord(record.data(), c);
    EXPECT_EQ(0u, c.spUnmute + c.busyLockout + c.channelFree + c.scanAdd + c.carriedFlag13Bit3 + c.highPower);
    c.busyLockout = 2; // bit 4 set, bit 3 clear
    c.wideNarrow = 1;
    c.highPower = 7;   // any non-zero value is on
    channels.EncodeRecord(c, record.data());
    EXPECT_EQ(Bytes("B4 37"), Bytes(record.data() + 12, 2));
}

} // namespace
