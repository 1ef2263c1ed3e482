// The byte layout of the image: what a new document holds, the channel
// records, the model data, the texts and the DTMF codes.
#include "TestImage.h"
#include "image/ChannelCodec.h"

namespace {

using ImageLayout = ImageFixture;

TEST_F(ImageLayout, BlankChannelsAreAllFFBothWays)
{
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(std::vector<uint8_t>(816, 0xFF), At(0, 816)); // 50 blank channels
    EXPECT_EQ(Bytes("FF FF FF FF FF FF FF FF 00 FF"), At(992, 10)); // no BOT code
    EXPECT_EQ(Bytes("FF 01 FF FF FF FF FF 02 FF FF FF FF FF FF FF FF FF FF 0A"), At(1034, 19));
    EXPECT_EQ(Bytes("FF 02 FF FF FF FF  FF FF FF FF FF FF  00 FF"), At(1066, 14));
    EXPECT_EQ(std::vector<uint8_t>(30, 0xFF), At(1872, 30));
    EXPECT_EQ(Bytes("01"), At(1902, 1));
    EXPECT_EQ(Bytes("FF FF 33 30 31 30 38 51"), At(1984, 8));
    EXPECT_EQ(std::vector<uint8_t>(56, 0xFF), At(1992, 56));

    // And back: all-FF channel records decode to blank channels.
    s.channels[7].rxFrequency = 145.0;
    ASSERT_EQ(0, data.DecodeAll());
    RadioSettings blank = s;
    for (int n = 1; n <= RadioSettings::kChannels; ++n)
        blank.ResetChannel(n);
    EXPECT_TRUE(s == blank);
}

TEST_F(ImageLayout, CopiesOnlyWithinTheImage)
{
    const auto block = Bytes("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
    data.SetBytes(block.data(), 2040, 16);
    std::vector<uint8_t> out(16, 0xAA);
    data.GetBytes(out.data(), 2040, 16);
    data.GetBytes(out.data(), SIZE_MAX - 4, 8); // no wrap-around either
    EXPECT_EQ(std::vector<uint8_t>(16, 0xAA), out);
    EXPECT_EQ(std::vector<uint8_t>(8, 0xFF), At(2040, 8));
}

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

TEST_F(ImageLayout, ModelDataFrequenciesAndLocalOscillator)
{
    Put(1872, "00 00 00 52  00 00 00 40  00 50 16 04  11 FE 22 33");
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_DOUBLE_EQ(520.0, s.upperLimit);
    EXPECT_DOUBLE_EQ(400.0, s.lowerLimit);
    EXPECT_DOUBLE_EQ(41.65, s.firstIf);
    EXPECT_EQ(0u, s.highLocalOscillator);
    EXPECT_EQ(0x11u, s.carriedByte1884);
    EXPECT_DOUBLE_EQ(0.0, s.bandCentre);
    s.highLocalOscillator = 1;
    s.bandCentre = 460.0; // a custom model
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("00 00 00 52  00 00 00 40  00 50 16 04  11 FF 22 33  00 00 00 46"), At(1872, 20));
}

TEST_F(ImageLayout, MessagesForwardModelCodeReversed)
{
    SetText(s.message1, std::string(32, 'M'));
    SetText(s.message2, "\xC4\xE3\xBA\xC3!"); // GBK passes through byte by byte
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(std::vector<uint8_t>(32, 'M'), At(1920, 32));
    EXPECT_EQ(Bytes("C4 E3 BA C3 21"), At(1952, 5));
    EXPECT_EQ(std::vector<uint8_t>(27, 0xFF), At(1957, 27));

    Put(1984, "FF FF FF 35 30 31 30 38"); // as a radio answers
    Put(2000, "FF FF 36 35 34 33 32 31  FF 39 37 42 31 33 39 41");
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("80105", s.modelCode);
    EXPECT_STREQ("123456", s.infoText1);
    EXPECT_STREQ("A931B79", s.infoText2);
    SetText(s.modelCode, ""); // an empty model code writes nothing
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("FF FF FF 35 30 31 30 38"), At(1984, 8));
}

TEST_F(ImageLayout, DigitCodesCarryTheirCount)
{
    SetText(s.botCode, "123");
    SetText(s.eotCode, "*12#");
    SetText(s.autodial[4], "0123456789ABCD*#");
    SetText(s.idCode, "12a*"); // ID and stun codes: one digit a byte
    SetText(s.stunCode, "123ABC");
    Put(816 + 16 * 4 + 9, "01 02 03 04 05 06 07"); // the radio's own bytes behind the count
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("23 01 FF FF FF FF FF FF 03"), At(992, 9));
    EXPECT_EQ(Bytes("2F E1 FF FF FF FF FF FF 04"), At(1008, 9));
    EXPECT_EQ(Bytes("EF CD AB 89 67 45 23 01 10 01 02 03 04 05 06 07"), At(816 + 16 * 4, 16));
    EXPECT_EQ(Bytes("FF FF FF FF FF FF FF FF 00 FF"), At(816, 10)); // an empty memory
    EXPECT_EQ(Bytes("01 02 0A 0E FF FF FF FF FF FF"), At(1056, 10));
    EXPECT_EQ(Bytes("01 02 03 0A 0B 0C"), At(1072, 6));
    data.ResetSettings();
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("0123456789ABCD*#", s.autodial[4]); // a count of 16 reads all 16
    EXPECT_STREQ("", s.autodial[0]);
}

TEST_F(ImageLayout, HashPairOnAByteBoundaryReadsBackAsStored)
{
    // "##" packs to the byte 0xFF, which is also the fill.
    SetText(s.botCode, "68##");
    SetText(s.autodial[0], "1*7##3#**");
    SetText(s.autodial[1], "##"); // eight 0xFF bytes: the one code fill hides
    SetText(s.autodial[2], "#########");
    SetText(s.autodial[3], "12##34##56##78##");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("FF 68 FF FF FF FF FF FF 04"), At(992, 9)) << "the radio's bytes do not change";
    EXPECT_EQ(Bytes("EE 3F FF E7 01 FF FF FF 09"), At(816, 9));
    data.ResetSettings();
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("68##", s.botCode);
    EXPECT_STREQ("1*7##3#**", s.autodial[0]);
    EXPECT_STREQ("", s.autodial[1]) << "all-0xFF bytes read as empty, whatever the count";
    EXPECT_STREQ("12##34##56##78##", s.autodial[3]);

    // Fill read as fill: eight 0xFF bytes are empty whatever the count says,
    // and a count that skipping already meets keeps the skipping rule.
    Put(1008, "FF FF FF FF FF FF FF FF 03");
    Put(816 + 16 * 5, "23 01 FF FF FF FF FF FF 03");
    Put(816 + 16 * 6, "23 FF 01 FF FF FF FF FF 04");
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("", s.eotCode);
    EXPECT_STREQ("123", s.autodial[5]);
    EXPECT_STREQ("0123", s.autodial[6]);
}

} // namespace
