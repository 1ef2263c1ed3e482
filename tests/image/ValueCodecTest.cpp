#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

#include "image/CImportData.h"
#include "TestImage.h"

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

// The digits are those of the "%f" text, rounded to six decimals and the
// sixth dropped, also right next to a rounding tie.
TEST(ValueCodec, FrequencyDigitsMatchTheSixDecimalText)
{
    ValueCodec codec;
    uint8_t out[6] = {0, 0, 0, 0, 0xAA, 0xAA};
    auto freq = [&](double mhz) {
        codec.Freq2BCD(mhz, out);
        return Bytes(out, 4);
    };
    EXPECT_EQ(Bytes("FF FF FF FF"), freq(0.0));
    EXPECT_EQ(Bytes("FF FF FF FF"), freq(-5.0));
    EXPECT_EQ(Bytes("78 56 34 12"), freq(123456789.0)); // does not fit: the first 8 digits, no more
    EXPECT_EQ(Bytes("AA AA"), Bytes(out + 4, 2));
    EXPECT_DOUBLE_EQ(0.0, codec.BCD2Freq(Bytes("43 51 FF FF").data()));

    std::mt19937_64 random(3);
    for (int i = 0; i < 200000; ++i) {
        const double tie = static_cast<double>(random() % 999999000) / 1e6 + 5e-7;
        const double f = i % 2 ? std::nextafter(tie, (i % 4 == 1) ? 0.0 : 1e9)
                               : std::uniform_real_distribution<double>(0.00001, 999.99999)(random);
        char text[64];
        std::snprintf(text, sizeof text, "%010.6f", f);
        const std::string digits = std::string(text, 3) + std::string(text + 4, 5);
        ASSERT_EQ(digits, codec.BCD2STR(freq(f).data(), 4)) << text;
        ASSERT_DOUBLE_EQ(std::stod(digits) / 1e5, codec.BCD2Freq(out)) << text;
    }
}

// Blank fields decode to empty texts, overwriting what the buffer held; the
// copy of an empty text must not hand memcpy a null pointer (the sanitizer
// build stops on that).
TEST(ValueCodec, BlankFieldsDecodeToEmptyTexts)
{
    ValueCodec codec;
    const auto blank = Bytes("FF FF FF FF FF FF FF FF FF FF");
    char text[17];
    auto decoded = [&](auto decode) {
        std::memset(text, 'z', sizeof text);
        decode();
        return std::string(text, 2);
    };
    const std::string empty("\0z", 2);
    EXPECT_EQ(empty, decoded([&] { codec.BCD2Code(blank.data(), text, sizeof text); }));
    EXPECT_EQ(empty, decoded([&] { codec.BCD2MemID(blank.data(), 0, text, sizeof text); }));
    EXPECT_EQ(empty, decoded([&] { codec.BCD2IDCode(blank.data(), text, sizeof text); }));
    EXPECT_EQ(empty, decoded([&] { codec.BCD2Stun(blank.data(), 6, text, sizeof text); }));
    EXPECT_EQ(empty, decoded([&] { codec.BCD2Type(blank.data(), text, sizeof text); }));
    EXPECT_EQ(empty, decoded([&] { codec.BCD2TypeNum(blank.data(), text, sizeof text); }));
    EXPECT_EQ(codec.errorCode, 0);

    char field[6];
    std::memset(field, 'z', sizeof field);
    SetText(field, std::string_view());
    EXPECT_EQ(std::string(6, '\0'), std::string(field, 6));
}

// Whatever a caller passes, no conversion writes outside its field.
TEST(ValueCodec, OverLongTextsStayInsideTheirFields)
{
    ValueCodec codec;
    uint8_t buffer[24];
    std::memset(buffer, 0xAA, sizeof buffer);
    uint8_t* field = buffer + 8;
    codec.Type2BCD("ABCDEFGHIJKLMNOP", field); // its first 8 characters
    EXPECT_EQ(Bytes("48 47 46 45 44 43 42 41"), Bytes(field, 8));
    codec.STR2MemID(std::string(40, '5'), field, 40); // its first 16 digits
    EXPECT_EQ(std::vector<uint8_t>(8, 0x55), Bytes(field, 8));
    codec.Text2Bytes(std::string(40, 'x'), field, 8);
    codec.Digits2BCD(std::string(40, '7'), field, 8);
    codec.Freq2BCD(1e300, field);
    EXPECT_EQ(std::vector<uint8_t>(8, 0xAA), Bytes(buffer, 8));
    EXPECT_EQ(std::vector<uint8_t>(8, 0xAA), Bytes(buffer + 16, 8));

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

    // A failed encode stops the pass, and does not block the next one.
    CImportData data;
    data.SetMessageSink(&sink);
    SetText(data.GetSettings()->message1, "a message longer than fifteen");
    gFailNextAllocation = true;
    EXPECT_EQ(1, data.EncodeAll());
    gFailNextAllocation = false;
    EXPECT_EQ(2u, sink.messages.size());
    EXPECT_EQ(0xFF, data.Image()[1984]); // the model code was never reached
    EXPECT_EQ(0, data.EncodeAll());
    EXPECT_EQ('a', data.Image()[1920]);
}

} // namespace
