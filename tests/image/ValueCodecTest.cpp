#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

#include "CImportData.h"
#include "TestImage.h"
#include "ValueCodec.h"

// The next allocation of the whole program fails once: how an out-of-memory
// inside a conversion is provoked. (malloc/free behind new/delete on purpose.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<bool> gFailNextAllocation{false};

void* operator new(std::size_t n)
{
    if (gFailNextAllocation.exchange(false))
        throw std::bad_alloc();
    if (void* p = std::malloc(n != 0 ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// The text a decoder makes of the given bytes.
template <class Decoder>
std::string Decoded(Decoder decode, const std::string& hex)
{
    ValueCodec codec;
    char text[32] = {};
    std::invoke(decode, codec, Bytes(hex).data(), text, sizeof text);
    return text;
}

TEST(ValueCodec, PackedDigitsPutTheLastPairFirst)
{
    ValueCodec codec;
    uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(1, codec.STR2BCD("43512500", out, 8));
    EXPECT_EQ(Bytes("00 25 51 43"), Bytes(out, 4));
    EXPECT_EQ(1, codec.STR2BCD("123", out, 8)); // odd count: leading 0
    EXPECT_EQ(Bytes("23 01 51 43"), Bytes(out, 4));
    EXPECT_EQ(0, codec.STR2BCD("", out, 8));
    EXPECT_EQ("43512500", codec.BCD2STR(Bytes("00 25 51 43").data(), 4));
    EXPECT_EQ("", codec.BCD2STR(Bytes("23 01 FF FF").data(), 4)); // stops at the first 0xFF from the end
}

TEST(ValueCodec, FrequencyIsEightDigitsOfMHzTruncated)
{
    ValueCodec codec;
    uint8_t out[6] = {0, 0, 0, 0, 0xAA, 0xAA};
    auto freq = [&](double mhz) {
        codec.Freq2BCD(mhz, out);
        return Bytes(out, 4);
    };
    EXPECT_EQ(Bytes("00 25 51 43"), freq(435.125));
    EXPECT_EQ(Bytes("00 00 75 06"), freq(67.5));
    EXPECT_EQ(Bytes("45 23 51 43"), freq(435.1234567)); // sixth decimal dropped
    EXPECT_EQ(Bytes("FF FF FF FF"), freq(0.0));
    EXPECT_EQ(Bytes("FF FF FF FF"), freq(-5.0));
    EXPECT_EQ(Bytes("00 00 00 10"), freq(1000.0)); // does not fit: first 8 digits, no more
    EXPECT_EQ(Bytes("78 56 34 12"), freq(123456789.0));
    EXPECT_EQ(Bytes("AA AA"), Bytes(out + 4, 2));

    EXPECT_DOUBLE_EQ(435.125, codec.BCD2Freq(Bytes("00 25 51 43").data()));
    EXPECT_DOUBLE_EQ(145.0, codec.BCD2Freq(Bytes("00 00 50 14").data()));
    EXPECT_DOUBLE_EQ(0.0, codec.BCD2Freq(Bytes("43 51 FF FF").data()));
    EXPECT_DOUBLE_EQ(0.0, codec.BCD2Freq(Bytes("FF FF FF FF").data()));
}

TEST(ValueCodec, QtDqtCodes)
{
    const struct {
        const char* text;
        const char* bytes;
        const char* readBack;
    } cases[] = {
        {"67.0", "70 06", "67.0"},   {"151.4", "14 15", "151.4"}, {"D023N", "23 80", "D023N"},
        {"D023I", "23 C0", "D023I"}, {"d023n", "23 80", "D023N"}, {"D754N", "54 87", "D754N"},
        {"", "FF FF", ""},
    };
    for (const auto& c : cases) {
        ValueCodec codec;
        uint8_t out[2] = {0, 0};
        codec.Code2BCD(c.text, out);
        EXPECT_EQ(Bytes(c.bytes), Bytes(out, 2)) << c.text;
        EXPECT_EQ(c.readBack, Decoded(&ValueCodec::BCD2Code, c.bytes)) << c.text;
    }
    // The text buffer of a channel holds 5 characters and the terminator.
    char small[3] = {'x', 'x', 'x'};
    ValueCodec().BCD2Code(Bytes("14 15").data(), small, sizeof small);
    EXPECT_STREQ("15", small);
}

TEST(ValueCodec, DtmfDigitsTwoPerByteWithStarAndHash)
{
    ValueCodec codec;
    uint8_t out[10];
    std::memset(out, 0xAA, sizeof out);
    codec.STR2MemID("*12#", out, 4);
    EXPECT_EQ(Bytes("2F E1 FF FF FF FF FF FF AA"), Bytes(out, 9));
    char text[17] = {};
    codec.BCD2MemID(out, 4, text, sizeof text);
    EXPECT_STREQ("*12#", text);

    codec.STR2MemID("0123456789ABCD*#", out, 16); // 16 digits fill all 8 bytes
    EXPECT_EQ(Bytes("EF CD AB 89 67 45 23 01 AA"), Bytes(out, 9));
    std::memset(text, 0, sizeof text);
    codec.BCD2MemID(out, 16, text, sizeof text);
    EXPECT_STREQ("0123456789ABCD*#", text);

    codec.STR2MemID("", out, 0);
    EXPECT_EQ(Bytes("FF FF FF FF FF FF FF FF AA"), Bytes(out, 9));
}

TEST(ValueCodec, OneDigitPerByteAndStunNeedsAllSix)
{
    ValueCodec codec;
    uint8_t out[10];
    std::memset(out, 0xFF, sizeof out);
    codec.Digits2BCD("12a*", out, 10);
    EXPECT_EQ(Bytes("01 02 0A 0E FF FF FF FF FF FF"), Bytes(out, 10));
    EXPECT_EQ("12A*", Decoded(&ValueCodec::BCD2IDCode, "01 02 0A 0E FF FF FF FF FF FF"));
    char stun[7] = {};
    codec.BCD2Stun(Bytes("01 02 03 0A 0B 0C").data(), 6, stun, sizeof stun);
    EXPECT_STREQ("123ABC", stun);
    codec.BCD2Stun(Bytes("01 02 03 FF FF FF").data(), 6, stun, sizeof stun);
    EXPECT_STREQ("", stun);
}

TEST(ValueCodec, ReversedAndForwardCharacters)
{
    ValueCodec codec;
    uint8_t out[12];
    std::memset(out, 0xAA, sizeof out);
    EXPECT_EQ(1, codec.Type2BCD("Q80103", out + 2));
    EXPECT_EQ(Bytes("AA AA FF FF 33 30 31 30 38 51 AA AA"), Bytes(out, 12));
    EXPECT_EQ("Q80103", Decoded(&ValueCodec::BCD2Type, "FF FF 33 30 31 30 38 51"));
    EXPECT_EQ("ABC", Decoded(&ValueCodec::BCD2TypeNum, "33 FF FF FF FF 43 42 41")); // stops at the first 0xFF

    uint8_t message[34];
    std::memset(message, 0xAA, sizeof message);
    codec.Text2Bytes("HELLO WORLD", message + 1, 32);
    EXPECT_EQ(0, std::memcmp("HELLO WORLD", message + 1, 11));
    EXPECT_EQ(std::vector<uint8_t>(21, 0xFF), Bytes(message + 12, 21));
    EXPECT_EQ(0xAA, message[0]);
    EXPECT_EQ(0xAA, message[33]);
    char text[33] = {};
    codec.Bytes2Text(message + 1, text, 32);
    EXPECT_STREQ("HELLO WORLD", text);
}

TEST(ValueCodec, BitsAndReversedBytes)
{
    ValueCodec codec;
    uint8_t b = 0x06;
    EXPECT_EQ(0x07, codec.SetBit(b, 0));
    EXPECT_EQ(0x03, codec.ClearBit(b, 2));
    EXPECT_EQ(1, ValueCodec::GetBit(b, 1));
    uint8_t out[4] = {};
    codec.ReverseBytes(0x12345678, out, 2);
    EXPECT_EQ(Bytes("56 78 00 00"), Bytes(out, 4));
    codec.ReverseBytes(0x12345678, out, 4);
    EXPECT_EQ(Bytes("12 34 56 78"), Bytes(out, 4));
}

// Whatever a caller passes, no encoder writes outside its field.
TEST(ValueCodec, OverLongTextsStayInsideTheirFields)
{
    ValueCodec codec;
    uint8_t buffer[24];
    uint8_t* field = buffer + 8;
    auto guardsIntact = [&] {
        for (int i = 0; i < 8; ++i)
            if (buffer[i] != 0xAA || buffer[16 + i] != 0xAA)
                return false;
        return true;
    };
    std::memset(buffer, 0xAA, sizeof buffer);
    codec.Type2BCD("ABCDEFGHIJKLMNOP", field); // keeps its first 8 characters
    EXPECT_TRUE(guardsIntact());
    EXPECT_EQ(Bytes("48 47 46 45 44 43 42 41"), Bytes(field, 8));

    codec.STR2MemID(std::string(40, '5'), field, 40); // keeps 16 digits
    EXPECT_TRUE(guardsIntact());
    EXPECT_EQ(std::vector<uint8_t>(8, 0x55), Bytes(field, 8));

    codec.Text2Bytes(std::string(40, 'x'), field, 8);
    codec.Digits2BCD(std::string(40, '7'), field, 8);
    codec.Freq2BCD(1e300, field);
    EXPECT_TRUE(guardsIntact());

    char text[6];
    std::memset(text, 'z', sizeof text);
    codec.BCD2MemID(Bytes("11 11 11 11 11 11 11 11").data(), 16, text, 4);
    EXPECT_EQ(std::string("111\0zz", 6), std::string(text, 6));
}

TEST(ValueCodec, AFailureInsideAConversionIsCaughtAndReported)
{
    RecordingSink sink;
    ValueCodec codec(&sink);
    uint8_t out[16] = {};
    const std::string digits(30, '1');
    gFailNextAllocation = true;
    codec.STR2BCD(digits, out, 30); // the working copy cannot be made
    gFailNextAllocation = false;
    EXPECT_EQ(1, codec.errorCode);
    ASSERT_EQ(1u, sink.messages.size());
    EXPECT_EQ("STR2BCD转换擦操作异常", sink.messages[0]);
    EXPECT_EQ(std::vector<uint8_t>(16, 0), Bytes(out, 16));

    // A failed save stops the pass and reports, and does not block the next one.
    CImportData data;
    data.SetMessageSink(&sink);
    SetText(data.GetSettings()->message1, "a message longer than fifteen");
    SetText(data.GetSettings()->modelCode, "Q80105");
    gFailNextAllocation = true;
    EXPECT_EQ(1, data.EncodeAll());
    gFailNextAllocation = false;
    EXPECT_EQ(2u, sink.messages.size());
    EXPECT_EQ(0xFF, data.Image()[1920]); // never reached
    EXPECT_EQ(0, data.EncodeAll());
    EXPECT_EQ('a', data.Image()[1920]);
    EXPECT_EQ(0, data.DecodeAll());
}

} // namespace
