#include <gtest/gtest.h>

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

} // namespace
