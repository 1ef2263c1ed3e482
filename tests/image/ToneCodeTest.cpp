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
        {"D754N", "54 87", "D754N"}, {"d754i", "54 C7", "D754I"},
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
    // A DCS code is D, three octal digits, N or I, in either case.
    for (const char* code : {"67", "151.45", "1234.5", "6a.0", ".", "D023", "D0234", "D823N", "D083N", "D02:N",
                             "D02/N", "D023X", "D.5", "DD23N", "D023NN", " 67.0", "X023N"})
        EXPECT_FALSE(ToneCode::IsStorable(code)) << code;
    // The tone box's keystroke filter: a DCS code has no sixth character.
    EXPECT_FALSE(ToneCode::FitsDcs(5, 'N'));
    EXPECT_FALSE(ToneCode::IsDcs(""));
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
