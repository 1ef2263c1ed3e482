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
}

TEST_F(DtmfCodecTest, HashPairOnAByteBoundaryReadsBackAsStored)
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

TEST_F(DtmfCodecTest, EveryCodeWithHashesRoundTrips)
{
    // Every length, with "##" pairs and single "#" at every position.
    const std::string digits = "0123456789ABCD*#";
    int checked = 0;
    for (std::size_t length = 1; length <= 16; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string code;
            for (std::size_t i = 0; i < length; ++i)
                code += (i == at || i == at + 1) ? '#' : digits[(i * 7 + length) % 15];
            if (code == "##")
                continue; // stored as eight 0xFF bytes, which read as empty
            SetText(s.eotCode, code);
            ASSERT_EQ(0, data.EncodeAll());
            SetText(s.eotCode, "");
            ASSERT_EQ(0, data.DecodeAll());
            EXPECT_EQ(code, s.eotCode);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 135);
}

} // namespace

