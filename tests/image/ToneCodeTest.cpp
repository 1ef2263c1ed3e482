#include <gtest/gtest.h>

#include <algorithm>

#include "image/ToneCode.h"
#include "image/ValueCodec.h"

namespace {

TEST(ToneCode, StorableCodesRoundTripThroughTheCodec)
{
    // Every code that counts as storable comes back from the image as the
    // same code (letters upper case, no leading zeros).
    const std::pair<const char*, const char*> storable[] = {
        {"", ""},           {"67.0", "67.0"},   {"151.4", "151.4"}, {"254.1", "254.1"},
        {"1.0", "1.0"},     {"D023N", "D023N"}, {"D754I", "D754I"}, {"d023n", "D023N"},
        {"067.0", "67.0"},
    };
    ValueCodec codec;
    for (const auto& [code, back] : storable) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(ToneCode::IsStorable(code));
        uint8_t bytes[2] = {0xFF, 0xFF};
        codec.Code2BCD(code, bytes);
        char text[6] = "xxxxx";
        codec.BCD2Code(bytes, text, sizeof text);
        EXPECT_STREQ(text, back);
    }
    // Texts the codec would store as some other code, or as garbage.
    for (const char* code : {"67", "151.45", "1234.5", "6a.0", ".", "D023", "D0234", "D823N", "D023X", "D.5",
                             "DD23N", "D023NN", " 67.0"})
        EXPECT_FALSE(ToneCode::IsStorable(code)) << code;
}

TEST(ToneCode, DcsPositionsTakeDThreeOctalDigitsAndNOrI)
{
    EXPECT_TRUE(ToneCode::IsDcs("D"));
    EXPECT_TRUE(ToneCode::IsDcs("d2"));
    EXPECT_FALSE(ToneCode::IsDcs("67.0"));
    EXPECT_FALSE(ToneCode::IsDcs(""));
    const char* const allowed[] = {"Dd", "01234567", "01234567", "01234567", "NnIi", ""};
    for (std::size_t position = 0; position < 6; ++position) {
        for (int c = 1; c < 128; ++c) {
            const bool expected = std::string_view(allowed[position]).find(char(c)) != std::string_view::npos;
            EXPECT_EQ(ToneCode::FitsDcs(position, char(c)), expected) << position << " '" << char(c) << "'";
        }
    }
}


TEST(ToneCode, SplitTakesStoredCodesApartAndTheTextsPutThemBack)
{
    ToneCode::Parts p;
    ASSERT_TRUE(ToneCode::Split("D023I", &p));
    EXPECT_EQ(p.kind, ToneCode::Parts::Dcs);
    EXPECT_EQ(p.dcs, 23);
    EXPECT_TRUE(p.inverted);
    EXPECT_EQ(ToneCode::DcsText(p.dcs, p.inverted), "D023I");
    ASSERT_TRUE(ToneCode::Split("d754n", &p));
    EXPECT_EQ(ToneCode::DcsText(p.dcs, p.inverted), "D754N");
    ASSERT_TRUE(ToneCode::Split("067.0", &p));
    EXPECT_EQ(p.kind, ToneCode::Parts::Tone);
    EXPECT_EQ(p.tenths, 670);
    EXPECT_EQ(ToneCode::ToneText(p.tenths), "67.0");
    EXPECT_EQ(ToneCode::ToneText(2541), "254.1");
    ASSERT_TRUE(ToneCode::Split("", &p));
    EXPECT_EQ(p.kind, ToneCode::Parts::None);
    p.dcs = 99;
    EXPECT_FALSE(ToneCode::Split("D023", &p));
    EXPECT_EQ(p.dcs, 99) << "untouched on failure";
}

TEST(ToneCode, TheRadioOffersTheFiftyStandardTonesAndTheHundredAndFourDcsCodes)
{
    const auto& tones = ToneCode::StandardTones();
    const auto& codes = ToneCode::StandardDcsCodes();
    EXPECT_TRUE(std::is_sorted(tones.begin(), tones.end()));
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    EXPECT_EQ(std::adjacent_find(tones.begin(), tones.end()), tones.end());
    EXPECT_EQ(std::adjacent_find(codes.begin(), codes.end()), codes.end());
    EXPECT_EQ(tones.front(), 670);
    EXPECT_EQ(tones.back(), 2541);
    EXPECT_EQ(codes.front(), 23);
    EXPECT_EQ(codes.back(), 754);
    for (const int code : codes) // three octal digits each
        EXPECT_TRUE(code % 10 < 8 && code / 10 % 10 < 8 && code / 100 < 8) << code;

    for (const char* offered : {"", "67.0", "88.5", "159.8", "254.1", "D023N", "D023I", "d754i", "D131N"})
        EXPECT_TRUE(ToneCode::IsOffered(offered)) << offered;
    // Storable, but no radio sends them: not offered.
    for (const char* other : {"100.5", "67.1", "60.0", "254.2", "D024N", "D000N", "D777I", "1.0"})
        EXPECT_FALSE(ToneCode::IsOffered(other)) << other;
    EXPECT_FALSE(ToneCode::IsOffered("88.50")) << "not storable";
}

} // namespace
