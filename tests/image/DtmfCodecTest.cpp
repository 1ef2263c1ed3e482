#include "TestImage.h"

namespace {

using DtmfCodecTest = ImageFixture;

TEST_F(DtmfCodecTest, DigitCodesCarryTheirCount)
{
    SetText(s.botCode, "123");
    SetText(s.eotCode, "*12#");
    SetText(s.autodial[4], "0123456789ABCD*#");
    Put(816 + 16 * 4 + 9, "01 02 03 04 05 06 07"); // the radio's own bytes behind the count
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("23 01 FF FF FF FF FF FF 03"), At(992, 9));
    EXPECT_EQ(Bytes("2F E1 FF FF FF FF FF FF 04"), At(1008, 9));
    EXPECT_EQ(Bytes("EF CD AB 89 67 45 23 01 10 01 02 03 04 05 06 07"), At(816 + 16 * 4, 16));
    EXPECT_EQ(Bytes("FF FF FF FF FF FF FF FF 00 FF"), At(816, 10)); // an empty memory
    data.ResetSettings();
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("0123456789ABCD*#", s.autodial[4]); // a count of 16 reads all 16
    EXPECT_STREQ("", s.autodial[0]);
}

TEST_F(DtmfCodecTest, IdAndStunCodesOneDigitPerByte)
{
    SetText(s.idCode, "12a*");
    SetText(s.stunCode, "123ABC");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("01 02 0A 0E FF FF FF FF FF FF"), At(1056, 10));
    EXPECT_EQ(Bytes("01 02 03 0A 0B 0C"), At(1072, 6));

    // A short stun code is stored, but reads back as none.
    SetText(s.stunCode, "12");
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("01 02 FF FF FF FF"), At(1072, 6));
    ASSERT_EQ(0, data.DecodeAll());
    EXPECT_STREQ("", s.stunCode);
    ASSERT_EQ(0, data.EncodeAll());
    EXPECT_EQ(Bytes("FF FF FF FF FF FF"), At(1072, 6));
}

} // namespace
