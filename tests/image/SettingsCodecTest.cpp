#include "TestImage.h"

namespace {

using SettingsCodecTest = ImageFixture;

TEST_F(SettingsCodecTest, OptionFlagBytesKeepTheRadiosOwnBits)
{
    Put(1032, "06");
    Put(1034, "E3");
    Put(1038, "F8");
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_EQ(0u, s.beepTone + s.selfProgramming + s.carriedFlag1038Bit1);
    s.beepTone = 1;
    s.selfProgramming = 1;
    s.carriedFlag1038Bit1 = 1;
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("07"), At(1032, 1));
    EXPECT_EQ(Bytes("EB"), At(1034, 1));
    EXPECT_EQ(Bytes("FA"), At(1038, 1));
}

TEST_F(SettingsCodecTest, ModelDataFrequenciesAndLocalOscillator)
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

TEST_F(SettingsCodecTest, MessagesForwardModelCodeReversed)
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

} // namespace
