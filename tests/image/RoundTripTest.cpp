#include <random>

#include "TestImage.h"
#include "image/SettingsFields.h"

namespace {

// Bytes of fields whose stored form is a conversion (frequencies, codes,
// digit texts, characters): odd bytes there may come back in their canonical
// form. Every other byte is untouched, carried, a flag or a plain byte.
bool IsConvertedField(std::size_t offset)
{
    for (const SettingsFields::ByteOwner& o : SettingsFields::OwnersOf(offset))
        if (o.field.member->kind == SettingsFields::Kind::Frequency || o.field.member->kind == SettingsFields::Kind::Text)
            return true;
    return false;
}

class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(engine_); }
    std::string Text(const std::string& alphabet, std::size_t maxLength, std::size_t minLength = 0)
    {
        std::string text(minLength + Below(static_cast<uint32_t>(maxLength - minLength + 1)), ' ');
        for (char& c : text)
            c = alphabet[Below(static_cast<uint32_t>(alphabet.size()))];
        return text;
    }
    // Bytes as radios hold them: often 0xFF (blank), anything otherwise.
    std::vector<uint8_t> Image()
    {
        std::vector<uint8_t> image(2048);
        for (uint8_t& b : image)
            b = Below(4) == 0 ? 0xFF : static_cast<uint8_t>(engine_());
        return image;
    }
    double Frequency() { return Below(5) == 0 ? 0.0 : Below(2000000000) / 1e6 + Below(1000) / 1e9 - 10.0; }
    // CTCSS tones stay below 400 Hz: a digit 4 would carry the DCS-inverted bit.
    std::string Code()
    {
        switch (Below(3)) {
        case 0: return "";
        case 1: return std::to_string(Below(400)) + "." + std::to_string(Below(10));
        default: return (Below(2) ? "D" : "d") + Text("01234567", 3, 3) + (Below(2) ? "N" : "I");
        }
    }
    // "##" pairs anywhere; only a code of nothing else packs to all-0xFF
    // bytes, which the radio reads as blank.
    std::string DtmfDigits()
    {
        const std::string text = Text("0123456789ABCD*#", 16);
        return text.size() % 2 == 0 && text.find_first_not_of('#') == std::string::npos ? "" : text;
    }

private:
    std::mt19937 engine_;
};

TEST(RoundTrip, DecodeThenEncodeKeepsEveryByteNoFieldConverts)
{
    Random random(20240611);
    for (int run = 0; run < 3000; ++run) {
        const std::vector<uint8_t> original = random.Image();
        CImportData data;
        data.SetBytes(original.data(), 0, original.size());
        ASSERT_EQ(0, data.DecodeAll());
        ASSERT_EQ(0, data.EncodeAll());
        for (std::size_t i = 0; i < 2048; ++i) {
            if (!IsConvertedField(i)) {
                ASSERT_EQ(original[i], data.Image()[i]) << "run " << run << ", byte " << i;
            }
        }
    }
}

TEST(RoundTrip, AnEncodedImageDecodesAndEncodesToTheSameBytes)
{
    Random random(7);
    std::string gbk; // every byte but 0x00 and 0xFF
    for (int i = 1; i < 255; ++i)
        gbk.push_back(static_cast<char>(i));
    for (int run = 0; run < 2000; ++run) {
        // Flags and bytes as a radio's image gives them; an empty reversed
        // text writes nothing, so those fields start blank.
        std::vector<uint8_t> base = random.Image();
        std::fill(base.begin() + 1984, base.begin() + 2016, 0xFF);
        CImportData data;
        data.SetBytes(base.data(), 0, base.size());
        ASSERT_EQ(0, data.DecodeAll());
        // Everything else as the editors produce it.
        RadioSettings& s = *data.GetSettings();
        for (ChannelRecord& c : s.channels) {
            c.rxFrequency = random.Frequency();
            c.txFrequency = random.Frequency();
            SetText(c.txCode, random.Code());
            SetText(c.rxCode, random.Code());
            c.busyLockout = random.Below(8);
        }
        for (auto& entry : s.autodial)
            SetText(entry, random.DtmfDigits());
        SetText(s.botCode, random.DtmfDigits());
        SetText(s.eotCode, random.DtmfDigits());
        SetText(s.idCode, random.Text("0123456789ABCDabcd*#", 10));
        SetText(s.stunCode, random.Below(2) ? "" : random.Text("0123456789ABC", 6, 6));
        SetText(s.message1, random.Text(gbk, 32));
        SetText(s.message2, random.Text(gbk, 32));
        SetText(s.modelCode, random.Text("Q0123456789", 8));
        SetText(s.infoText1, random.Text("ABCXYZ0123456789", 8));
        SetText(s.infoText2, random.Text("ABCXYZ0123456789", 8));
        for (double* f : {&s.upperLimit, &s.lowerLimit, &s.firstIf, &s.bandCentre})
            *f = random.Frequency();
        const RadioSettings written = s;
        ASSERT_EQ(0, data.EncodeAll());
        const std::vector<uint8_t> encoded = Bytes(data.Image(), 2048);

        data.ResetSettings();
        ASSERT_EQ(0, data.DecodeAll());
        EXPECT_STREQ(written.message1, s.message1);
        ASSERT_EQ(0, data.EncodeAll());
        ASSERT_TRUE(encoded == Bytes(data.Image(), 2048)) << "run " << run;
    }
}

} // namespace
