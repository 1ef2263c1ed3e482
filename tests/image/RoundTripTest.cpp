#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "CImportData.h"
#include "TestImage.h"

namespace {

// Fields whose stored form is a conversion (frequencies, codes, digit texts,
// characters): a radio's odd bytes there may read back in their canonical
// form. Every other byte and bit of the image is untouched, carried, a flag
// or a plain byte, and must come back exactly.
bool IsConvertedField(std::size_t offset)
{
    if (offset >= 16 && offset < 816)
        return (offset - 16) % 16 < 12; // frequencies and QT/DQT codes
    if (offset >= 816 && offset < 960)
        return (offset - 816) % 16 < 9; // autodial digits and count
    const std::pair<std::size_t, std::size_t> fields[] = {
        {992, 1001},  {1008, 1017}, {1056, 1066}, {1072, 1078},
        {1872, 1884}, {1888, 1892}, {1920, 1992}, {2000, 2016},
    };
    for (const auto& [from, to] : fields)
        if (offset >= from && offset < to)
            return true;
    return false;
}

// Where two images first differ, as text for a failure message.
std::string FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            char text[64];
            std::snprintf(text, sizeof text, "byte %zu: %02X then %02X", i, a[i], b[i]);
            return text;
        }
    }
    return "none";
}

class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(engine_); }
    uint32_t Any() { return engine_(); }
    std::string Text(const std::string& alphabet, std::size_t maxLength, std::size_t minLength = 0)
    {
        std::string text(minLength + Below(static_cast<uint32_t>(maxLength - minLength + 1)), ' ');
        for (char& c : text)
            c = alphabet[Below(static_cast<uint32_t>(alphabet.size()))];
        return text;
    }
    // Bytes as radios hold them: 0xFF (blank) often, anything else otherwise.
    std::vector<uint8_t> Image()
    {
        std::vector<uint8_t> image(2048);
        for (uint8_t& b : image)
            b = Below(4) == 0 ? 0xFF : static_cast<uint8_t>(Any());
        return image;
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
        const std::vector<uint8_t> saved = Bytes(data.Image(), 2048);
        for (std::size_t i = 0; i < 2048; ++i) {
            if (!IsConvertedField(i)) {
                ASSERT_EQ(original[i], saved[i]) << "run " << run << ", byte " << i;
            }
        }
    }
}

// Settings as the editors produce them, with every scalar and flag at an
// arbitrary 32-bit value.
void RandomSettings(Random& random, RadioSettings& s)
{
    const std::string dtmf = "0123456789ABCD*#";
    // A byte-aligned "##" packs to 0xFF, which the radio reads as blank.
    auto digits = [&](std::size_t max) {
        for (;;) {
            std::string text = random.Text(dtmf, max);
            const std::string packed = (text.size() % 2 ? "0" : "") + text;
            bool blankByte = false;
            for (std::size_t i = 0; i + 1 < packed.size(); i += 2)
                blankByte = blankByte || packed.compare(i, 2, "##") == 0;
            if (!blankByte)
                return text;
        }
    };
    auto frequency = [&]() { return random.Below(5) == 0 ? 0.0 : random.Any() / 2147483648.0 * 1000.0 - 10.0; };
    // CTCSS tones stay below 400 Hz: the digit 4 would carry the DCS-inverted bit.
    auto code = [&]() -> std::string {
        switch (random.Below(3)) {
        case 0: return "";
        case 1: return std::to_string(random.Below(400)) + "." + std::to_string(random.Below(10));
        default: return (random.Below(2) ? "D" : "d") + random.Text("01234567", 3, 3) + (random.Below(2) ? "N" : "I");
        }
    };
    for (ChannelRecord& c : s.channels) {
        c.rxFrequency = frequency();
        c.txFrequency = frequency();
        SetText(c.txCode, code());
        SetText(c.rxCode, code());
        for (uint32_t* field : {&c.spUnmute, &c.busyLockout, &c.wideNarrow, &c.beatShiftOff, &c.optionalSignalling,
                                &c.channelFree, &c.scanAdd, &c.carriedFlag13Bit3, &c.highPower, &c.rxStep625,
                                &c.txStep625})
            *field = random.Any();
    }
    for (auto& entry : s.autodial)
        SetText(entry, digits(16));
    SetText(s.botCode, digits(16));
    SetText(s.eotCode, digits(16));
    SetText(s.idCode, random.Text("0123456789ABCDabcd*#", 10));
    SetText(s.stunCode, random.Below(2) ? "" : random.Text("0123456789ABC", 6, 6));
    std::string gbk;
    for (int i = 0; i < 256; ++i)
        gbk.push_back(static_cast<char>(i == 0 || i == 255 ? ' ' : i));
    SetText(s.message1, random.Text(gbk, 32));
    SetText(s.message2, random.Text(gbk, 32));
    SetText(s.modelCode, random.Text("Q0123456789", 8));
    SetText(s.infoText1, random.Text("ABCXYZ0123456789", 8));
    SetText(s.infoText2, random.Text("ABCXYZ0123456789", 8));
    for (uint32_t* field :
         {&s.dtmfHoldTime, &s.storeAndSendOff, &s.clearTranspondOff, &s.batterySave, &s.keyLock, &s.beepTone,
          &s.lampMode, &s.testMode, &s.selfProgramming, &s.wirelessClone, &s.squelchLevel, &s.moniKey, &s.voxGain,
          &s.carriedFlag1038Bit2, &s.carriedFlag1038Bit1, &s.carriedFlag1038Bit0, &s.tot, &s.totPreAlert, &s.totRekey,
          &s.totReset, &s.dtmfSignalling, &s.groupCode, &s.intermediateCode, &s.pttId, &s.callAlert, &s.transpond,
          &s.autoResetTimer, &s.firstDigitTime, &s.firstDigitDelay, &s.dtmfSpeed, &s.dKeyAssignment,
          &s.dtmfKeyFormat, &s.starHashToneTime, &s.stunAllow, &s.carriedByte1079, &s.carriedByte1884,
          &s.highLocalOscillator, &s.carriedByte1886, &s.carriedByte1887, &s.carriedByte1902})
        *field = random.Any();
    s.upperLimit = frequency();
    s.lowerLimit = frequency();
    s.firstIf = frequency();
    s.bandCentre = frequency();
}

TEST(RoundTrip, AnEncodedImageDecodesAndEncodesToTheSameBytes)
{
    Random random(7);
    for (int run = 0; run < 2000; ++run) {
        CImportData data;
        std::vector<uint8_t> base = random.Image();
        // An empty reversed text writes nothing; over a blank field it reads back empty.
        std::fill(base.begin() + 1984, base.begin() + 1992, 0xFF);
        std::fill(base.begin() + 2000, base.begin() + 2016, 0xFF);
        data.SetBytes(base.data(), 0, base.size());
        RadioSettings& s = *data.GetSettings();
        RandomSettings(random, s);
        const RadioSettings written = s;
        ASSERT_EQ(0, data.EncodeAll());
        const std::vector<uint8_t> encoded = Bytes(data.Image(), 2048);

        data.ResetSettings();
        ASSERT_EQ(0, data.DecodeAll());
        EXPECT_STREQ(written.botCode, s.botCode);
        EXPECT_STREQ(written.autodial[8], s.autodial[8]);
        EXPECT_STREQ(written.message1, s.message1);
        EXPECT_EQ(written.lampMode & 0xFF, s.lampMode);
        ASSERT_EQ(0, data.EncodeAll());
        ASSERT_EQ("none", FirstDifference(encoded, Bytes(data.Image(), 2048))) << "run " << run;
    }
}

} // namespace
