#include <gtest/gtest.h>

#include "CImportData.h"
#include "TestImage.h"

namespace {

class DtmfCodecTest : public ::testing::Test {
protected:
    std::vector<uint8_t> At(std::size_t offset, std::size_t n) { return Bytes(data.Image() + offset, n); }
    CImportData data;
    RadioSettings& s = *data.GetSettings();
};

TEST_F(DtmfCodecTest, BotAndEotCodesKeepTheirDigitCount)
{
    SetText(s.botCode, "123");
    SetText(s.eotCode, "*12#");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("23 01 FF FF FF FF FF FF 03"), At(992, 9));
    EXPECT_EQ(Bytes("2F E1 FF FF FF FF FF FF 04"), At(1008, 9));
    data.ResetSettings();
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("123", s.botCode);
    EXPECT_STREQ("*12#", s.eotCode);
}

TEST_F(DtmfCodecTest, AutodialMemoriesLeaveTheirLastSevenBytes)
{
    const auto tail = Bytes("01 02 03 04 05 06 07");
    data.SetBytes(tail.data(), 816 + 16 * 4 + 9, tail.size());
    SetText(s.autodial[4], "0123456789ABCD*#");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("EF CD AB 89 67 45 23 01 10 01 02 03 04 05 06 07"), At(816 + 16 * 4, 16));
    EXPECT_EQ(Bytes("FF FF FF FF FF FF FF FF 00 FF"), At(816, 10)); // an empty memory
    data.ResetSettings();
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("0123456789ABCD*#", s.autodial[4]);
    EXPECT_STREQ("", s.autodial[0]);
}

TEST_F(DtmfCodecTest, IdAndStunCodesOneDigitPerByte)
{
    SetText(s.idCode, "12a*");
    SetText(s.stunCode, "123ABC");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("01 02 0A 0E FF FF FF FF FF FF"), At(1056, 10));
    EXPECT_EQ(Bytes("01 02 03 0A 0B 0C"), At(1072, 6));
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("12A*", s.idCode);
    EXPECT_STREQ("123ABC", s.stunCode);

    // A short stun code is stored, but the radio and the decoder ignore it.
    SetText(s.stunCode, "12");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("01 02 FF FF FF FF"), At(1072, 6));
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("", s.stunCode);
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("FF FF FF FF FF FF"), At(1072, 6));
}

TEST_F(DtmfCodecTest, OptionBytesAndBits)
{
    s.groupCode = 3 + 9; // list position 3: group C
    s.dtmfHoldTime = 0;
    s.storeAndSendOff = 1;
    s.clearTranspondOff = 0;
    s.stunAllow = 0xFF;
    s.carriedByte1079 = 0x1234;
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(0x0C, data.Image()[1047]);
    EXPECT_EQ(0x5F, data.Image()[1032]);
    EXPECT_EQ(Bytes("FF 34"), At(1078, 2));
}

} // namespace
