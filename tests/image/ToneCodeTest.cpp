#include <gtest/gtest.h>

#include "image/ToneCode.h"
#include "image/ValueCodec.h"
#include "TestImage.h"

namespace {

TEST(ToneCode, StorableCodesAreStoredAsTheirBytesAndComeBackTheSame)
{
    // Letters come back upper case, tones without leading zeros.
    const char* storable[][3] = {
        {"", "FF FF", ""},           {"151.4", "14 15", "151.4"}, {"254.1", "41 25", "254.1"},
        {"1.0", "10 00", "1.0"},     {"067.0", "70 06", "67.0"},  {"d023n", "23 80", "D023N"},
        {"D754N", "54 87", "D754N"}, {"D754I", "54 C7", "D754I"},
    };
    ValueCodec codec;
    for (const auto& [code, bytes, back] : storable) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(ToneCode::IsStorable(code));
        uint8_t stored[2] = {0, 0};
        codec.Code2BCD(code, stored);
        EXPECT_EQ(Bytes(bytes), Bytes(stored, 2));
        char text[6] = "xxxxx";
        codec.BCD2Code(stored, text, sizeof text);
        EXPECT_STREQ(text, back);
    }
    // Texts the codec would store as some other code, or as garbage.
    for (const char* code : {"67", "151.45", "1234.5", "6a.0", ".", "D023", "D0234", "D823N", "D023X", "D.5",
                             "DD23N", "D023NN", " 67.0"})
        EXPECT_FALSE(ToneCode::IsStorable(code)) << code;
}

TEST(ToneCode, DcsPositionsTakeDThreeOctalDigitsAndNOrI)
{
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

TEST(ToneCode, TheRadioOffersItsStandardTonesAndDcsCodesAndNoOthers)
{
    // Every listed code is found (the lists are searched as sorted).
    for (const int tone : ToneCode::StandardTones())
        EXPECT_TRUE(ToneCode::IsOffered(ToneCode::ToneText(tone))) << tone;
    for (const int code : ToneCode::StandardDcsCodes())
        for (const bool inverted : {false, true})
            EXPECT_TRUE(ToneCode::IsOffered(ToneCode::DcsText(code, inverted))) << code;
    for (const char* offered : {"", "d754i", "D131N"})
        EXPECT_TRUE(ToneCode::IsOffered(offered)) << offered;
    // Storable, but no radio sends them: not offered.
    for (const char* other : {"100.5", "67.1", "60.0", "254.2", "D024N", "D000N", "D777I", "1.0", "88.50"})
        EXPECT_FALSE(ToneCode::IsOffered(other)) << other;
}

} // namespace
