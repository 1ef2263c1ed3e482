#include "image/ValueCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "image/CodecMessageSink.h"
#include "image/ToneCode.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

// A..Z count from 10 (so hexadecimal letters get their value); anything else
// counts from '0'. Text that is not made of digits is packed by the same rule.
int DigitValue(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? u - 55 : u - 48;
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::size_t Clamp(std::size_t length, int maximum)
{
    return maximum <= 0 ? 0 : std::min(length, static_cast<std::size_t>(maximum));
}

// Stores a decoded text in a caller's buffer: never more than capacity - 1
// bytes, always terminated.
void CopyOut(std::string_view text, char* out, std::size_t capacity)
{
    if (out == nullptr || capacity == 0)
        return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    // An empty view may carry no pointer at all, which memcpy must not see.
    if (n > 0)
        std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// A short text of fixed capacity, for decoders that must not allocate.
struct SmallText {
    char data[24];
    std::size_t size = 0;
    void Append(char c)
    {
        if (size < sizeof data)
            data[size++] = c;
    }
    void AppendHexByte(uint8_t b)
    {
        Append(kHex[b >> 4]);
        Append(kHex[b & 0x0F]);
    }
    std::string_view View() const { return {data, size}; }
};

} // namespace

void ValueCodec::Report(const char* utf8Text)
{
    if (sink_ != nullptr)
        sink_->ShowCodecMessage(utf8Text);
}

void ValueCodec::Fail(const char* failText, int32_t failCode) noexcept
{
    if (failCode > 0)
        errorCode = failCode;
    try {
        Report(failText);
    } catch (...) {
        // Nothing more can be done about a sink that fails too.
    }
}

int ValueCodec::STR2BCD(const std::string& text, uint8_t* out, int maxLength)
{
    if (text.empty())
        return 0;
    errorCode = 0;
    Guarded(kMsgSTR2BCD, 1, [&] {
        const std::size_t n = Clamp(text.size(), maxLength);
        std::string digits;
        digits.reserve(n + 1);
        if (n % 2 != 0)
            digits.push_back('0');
        digits.append(text, 0, n);
        const std::size_t count = digits.size() / 2;
        for (std::size_t p = 0; p < count; ++p) {
            const int value = 16 * DigitValue(Upper(digits[2 * p])) + DigitValue(Upper(digits[2 * p + 1]));
            out[count - 1 - p] = static_cast<uint8_t>(value);
        }
    });
    return 1;
}

std::string ValueCodec::BCD2STR(const uint8_t* in, int count)
{
    std::string text;
    for (int i = count - 1; i >= 0 && in[i] != 0xFF; --i) {
        text.push_back(kHex[in[i] >> 4]);
        text.push_back(kHex[in[i] & 0x0F]);
    }
    return text;
}

int ValueCodec::Freq2BCD(double mhz, uint8_t* out4)
{
    // Nothing below 10 Hz is a frequency; NaN and infinity are none either.
    if (!(mhz >= kLowestFrequency) || !std::isfinite(mhz)) {
        std::memset(out4, 0xFF, 4);
        return 1;
    }
    // Fast path for the frequencies that fit: the "%f" text rounds the exact
    // value to 6 decimals, which the product below decides safely unless it
    // lies next to a rounding tie.
    if (mhz < 1000.0) {
        const double micro = mhz * 1e6;
        const double whole = std::floor(micro);
        if (std::fabs(micro - whole - 0.5) > 1e-6) {
            auto digits6 = static_cast<uint64_t>(micro - whole < 0.5 ? whole : whole + 1.0);
            if (digits6 < 1000000000) {
                char digits[8];
                uint64_t rest = digits6 / 10; // the sixth decimal is dropped
                for (int i = 7; i >= 0; --i, rest /= 10)
                    digits[i] = static_cast<char>('0' + rest % 10);
                return STR2BCD(std::string(digits, 8), out4, 8);
            }
        }
    }
    // "%f" form, but independent of the process locale.
    char formatted[400];
    const auto result = std::to_chars(formatted, formatted + sizeof formatted, mhz,
                                      std::chars_format::fixed, 6);
    const std::string_view text(formatted, static_cast<std::size_t>(result.ptr - formatted));
    const std::size_t point = text.find('.');
    const std::string_view integer = text.substr(0, point);
    const std::string_view decimals = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);

    // Three integer digits and five decimals; the sixth decimal is dropped,
    // not rounded. A value of 1000 MHz or more keeps its first eight digits,
    // which is wrong but stays inside the field.
    char digits[8];
    std::size_t n = 0;
    for (std::size_t pad = integer.size(); pad < 3 && n < 8; ++pad)
        digits[n++] = '0';
    for (std::size_t i = 0; i < integer.size() && n < 8; ++i)
        digits[n++] = integer[i];
    for (std::size_t i = 0; i < 5 && n < 8; ++i)
        digits[n++] = i < decimals.size() ? decimals[i] : '0';
    return STR2BCD(std::string(digits, n), out4, 8);
}

double ValueCodec::BCD2Freq(const uint8_t* in4)
{
    SmallText text;
    for (int i = 3; i >= 0 && in4[i] != 0xFF; --i)
        text.AppendHexByte(in4[i]);
    // Decimal point after the third digit (at the end of a shorter text).
    char decimal[16];
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size; ++i) {
        if (i == 3)
            decimal[n++] = '.';
        decimal[n++] = text.data[i];
    }
    if (text.size < 3)
        decimal[n++] = '.';
    // Plain digits: the quotient of two exact integers is rounded once, just
    // as reading the decimal text would round it.
    static const double kScale[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5};
    uint64_t integer = 0;
    bool plain = true;
    for (std::size_t i = 0; i < text.size && plain; ++i) {
        plain = text.data[i] >= '0' && text.data[i] <= '9';
        integer = integer * 10 + static_cast<uint64_t>(text.data[i] - '0');
    }
    if (plain)
        return static_cast<double>(integer) / kScale[text.size > 3 ? text.size - 3 : 0];
    // Like atof: the leading decimal number counts, no number gives 0. A
    // nibble E is no exponent here.
    double value = 0.0;
    if (std::from_chars(decimal, decimal + n, value, std::chars_format::fixed).ec != std::errc())
        return 0.0;
    return value;
}

void ValueCodec::Code2BCD(const std::string& code, uint8_t* out2)
{
    if (code.empty()) {
        out2[0] = 0xFF;
        out2[1] = 0xFF;
        return;
    }
    Guarded(kMsgSTR2BCD, 1, [&] {
        bool dcs = false;
        bool inverted = false;
        std::string digits;
        for (char c : code) {
            c = Upper(c);
            dcs = dcs || c == 'D';
            inverted = inverted || c == 'I';
            if (c != 'D' && c != 'N' && c != 'I' && c != '.')
                digits.push_back(c);
        }
        if (dcs)
            digits.insert(digits.begin(), '0');
        if (digits.size() < 4)
            digits.insert(0, 4 - digits.size(), '0');
        uint8_t packed[2] = {out2[0], out2[1]};
        STR2BCD(digits, packed, 4);
        if (errorCode > 0)
            return;
        if (dcs)
            packed[1] |= 0x80;
        if (inverted)
            packed[1] |= 0x40;
        out2[0] = packed[0];
        out2[1] = packed[1];
    });
}

void ValueCodec::BCD2Code(const uint8_t* in2, char* out, std::size_t capacity)
{
    CopyOut({}, out, capacity);
    if (in2[0] == 0xFF && in2[1] == 0xFF)
        return;
    uint8_t copy[2] = {in2[0], in2[1]};
    const bool dcs = (copy[1] & 0x80) != 0;
    const bool inverted = (copy[1] & 0x40) != 0;
    copy[1] &= 0x3F;

    SmallText digits;
    for (int i = 1; i >= 0 && copy[i] != 0xFF; --i)
        digits.AppendHexByte(copy[i]);

    SmallText text;
    if (dcs) {
        const std::size_t from = digits.size > 3 ? digits.size - 3 : 0;
        text.Append('D');
        for (std::size_t i = from; i < digits.size; ++i)
            text.Append(digits.data[i]);
        text.Append(inverted ? 'I' : 'N');
    } else {
        // Tenths of a hertz: point before the last digit, no leading zeros.
        SmallText tone;
        for (std::size_t i = 0; i < digits.size; ++i) {
            if (i == 3)
                tone.Append('.');
            tone.Append(digits.data[i]);
        }
        if (digits.size < 3)
            tone.Append('.');
        std::size_t first = 0;
        while (first < tone.size && tone.data[first] == '0')
            ++first;
        for (std::size_t i = first; i < tone.size; ++i)
            text.Append(tone.data[i]);
    }
    CopyOut(text.View().substr(0, ToneCode::kMaxLength), out, capacity);
}

int ValueCodec::STR2MemID(const std::string& text, uint8_t* out8, int maxLength)
{
    std::memset(out8, 0xFF, 8);
    if (text.empty())
        return 0;
    Guarded(kMsgSTR2BCD, 1, [&] {
        // Eight bytes hold 16 digits; a longer text keeps its first 16.
        const std::size_t n = std::min<std::size_t>(Clamp(text.size(), maxLength), 16);
        std::string digits(text, 0, n);
        std::replace(digits.begin(), digits.end(), '*', 'E');
        std::replace(digits.begin(), digits.end(), '#', 'F');
        STR2BCD(digits, out8, static_cast<int>(n));
    });
    return 0;
}

int ValueCodec::BCD2MemID(const uint8_t* in8, int storedCount, char* out, std::size_t capacity)
{
    Guarded(kMsgBCD2MemID, 0, [&] {
        // Bytes 0xFF are fill and are skipped...
        SmallText text;
        for (int i = 7; i >= 0; --i) {
            if (in8[i] != 0xFF)
                text.AppendHexByte(in8[i]);
        }
        // An odd count was packed behind a leading '0'.
        if (storedCount % 2 != 0 && text.size == static_cast<std::size_t>(storedCount) + 1)
            text.size = std::copy(text.data + 1, text.data + text.size, text.data) - text.data;
        // ...but "##" packs to 0xFF too. When skipping leaves fewer digits
        // than the stored count says, the count's digits are read where
        // STR2BCD put them: its last pair in byte 0, upwards from there.
        const bool allFill = std::all_of(in8, in8 + 8, [](uint8_t b) { return b == 0xFF; });
        if (storedCount >= 1 && storedCount <= 16 && !allFill && text.size < static_cast<std::size_t>(storedCount)) {
            text.size = 0;
            for (int i = (storedCount + 1) / 2 - 1; i >= 0; --i)
                text.AppendHexByte(in8[i]);
            if (storedCount % 2 != 0)
                text.size = std::copy(text.data + 1, text.data + text.size, text.data) - text.data;
        }
        for (std::size_t i = 0; i < text.size; ++i) {
            if (text.data[i] == 'E')
                text.data[i] = '*';
            else if (text.data[i] == 'F')
                text.data[i] = '#';
        }
        CopyOut(text.View(), out, capacity);
    });
    return 0;
}

void ValueCodec::Digits2BCD(const std::string& text, uint8_t* out, int maxDigits)
{
    const std::size_t n = Clamp(text.size(), maxDigits);
    if (n == 0)
        return;
    errorCode = 0;
    Guarded(kMsgSTR2BCD, 1, [&] {
        for (std::size_t i = 0; i < n; ++i) {
            char c = Upper(text[i]);
            if (c == '*')
                c = 'E';
            else if (c == '#')
                c = 'F';
            out[i] = static_cast<uint8_t>(DigitValue(c));
        }
    });
}

int ValueCodec::BCD2IDCode(const uint8_t* in10, char* out, std::size_t capacity)
{
    Guarded(kMsgBCD2Stun, 0, [&] {
        SmallText text;
        for (int i = 0; i < 10; ++i) {
            if (in10[i] == 0xFF)
                continue;
            const int digit = in10[i] & 0x0F;
            text.Append(digit == 14 ? '*' : digit == 15 ? '#' : kHex[digit]);
        }
        CopyOut(text.View(), out, capacity);
    });
    return 0;
}

void ValueCodec::BCD2Stun(const uint8_t* in, int count, char* out, std::size_t capacity)
{
    Guarded(kMsgBCD2Stun, 0, [&] {
        CopyOut({}, out, capacity);
        if (count <= 0 || BCD2STR(in, count).size() != 2 * static_cast<std::size_t>(count))
            return;
        std::string text;
        for (int i = 0; i < count; ++i)
            text.push_back(kHex[in[i] & 0x0F]);
        CopyOut(text, out, capacity);
    });
}

int ValueCodec::Type2BCD(const std::string& text, uint8_t* out8)
{
    if (text.empty())
        return 0;
    errorCode = 0;
    Guarded(kMsgType2BCD, 2, [&] {
        // The field holds 8 characters; a longer text keeps its first 8.
        const std::size_t length = std::min<std::size_t>(text.size(), 8);
        std::memset(out8, 0xFF, 8 - length);
        for (std::size_t i = 0; i < length; ++i)
            out8[7 - i] = static_cast<uint8_t>(text[i]);
    });
    return 1;
}

namespace {
void ReadReversed(const uint8_t* in8, char* out, std::size_t capacity)
{
    SmallText text;
    for (int i = 7; i >= 0 && in8[i] != 0xFF; --i)
        text.Append(static_cast<char>(in8[i]));
    CopyOut(text.View(), out, capacity);
}
} // namespace

int ValueCodec::BCD2Type(const uint8_t* in8, char* out, std::size_t capacity)
{
    Guarded(kMsgBCD2Type, 0, [&] { ReadReversed(in8, out, capacity); });
    return 0;
}

int ValueCodec::BCD2TypeNum(const uint8_t* in8, char* out, std::size_t capacity)
{
    Guarded(kMsgBCD2TypeNum, 0, [&] { ReadReversed(in8, out, capacity); });
    return 0;
}

std::string ReversedText(const uint8_t* in8)
{
    ValueCodec codec;
    char text[17] = {};
    codec.BCD2Type(in8, text, sizeof text);
    return text;
}

int ValueCodec::Text2Bytes(const std::string& text, uint8_t* out, int length)
{
    if (length > 0)
        std::memset(out, 0xFF, static_cast<std::size_t>(length));
    if (text.empty())
        return 0;
    errorCode = 0;
    const std::size_t n = Clamp(text.size(), length);
    std::memcpy(out, text.data(), n);
    return 1;
}

int ValueCodec::Bytes2Text(const uint8_t* in, char* out, int length)
{
    Guarded(kMsgEmbed2BCD, 15, [&] {
        for (int i = 0; i < length; ++i) {
            if (in[i] != 0xFF)
                out[i] = static_cast<char>(in[i]);
        }
    });
    return 1;
}

uint8_t ValueCodec::SetBit(uint8_t& b, int k)
{
    errorCode = 0;
    if (k >= 0 && k <= 7)
        b = static_cast<uint8_t>(b | (1u << k));
    return b;
}

uint8_t ValueCodec::ClearBit(uint8_t& b, int k)
{
    errorCode = 0;
    if (k >= 0 && k <= 7)
        b = static_cast<uint8_t>(b & ~(1u << k));
    return b;
}

void ValueCodec::ReverseBytes(uint32_t value, uint8_t* out, int count)
{
    if (count < 1 || count > 4)
        return;
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * (count - 1 - i)));
}
