// The member table against the codec: the bytes and bits it gives each
// member are the ones the codec reads and writes, so that an address names
// the right field.
#include "TestImage.h"
#include "image/ImageMap.h"
#include "image/SettingsFields.h"

namespace {

using namespace SettingsFields;

// A radio's image: channels in use with codes, digit texts, messages.
std::vector<uint8_t> BusyImage()
{
    CImportData data;
    RadioSettings& s = *data.GetSettings();
    for (int n = 1; n <= RadioSettings::kChannels; n += 3) {
        s.channels[n - 1].rxFrequency = 440.0 + n * 0.0125;
        s.channels[n - 1].txFrequency = 445.0 + n * 0.0125;
        SetText(s.channels[n - 1].txCode, n % 2 ? "67.0" : "D023I");
        s.channels[n - 1].busyLockout = n % 4;
    }
    SetText(s.autodial[2], "12*#");
    SetText(s.botCode, "123");
    SetText(s.idCode, "12A*");
    SetText(s.stunCode, "123ABC");
    SetText(s.message1, "HELLO");
    SetText(s.infoText1, "V1");
    s.upperLimit = 470.0;
    s.lowerLimit = 450.0;
    EXPECT_EQ(data.EncodeAll(), 0);
    return Bytes(data.Image(), ImageMap::kSize);
}

// Changing one field and encoding touches only the bits the table gives it.
TEST(SettingsFieldsTest, EncodingAFieldWritesOnlyItsBits)
{
    const std::vector<uint8_t> base = BusyImage();
    for (const Field& f : AllFields()) {
        CImportData data;
        data.SetBytes(base.data(), 0, base.size());
        ASSERT_EQ(data.DecodeAll(), 0);
        RadioSettings& s = *data.GetSettings();
        const Value old = GetValue(s, f);
        std::string why;
        switch (f.member->kind) {
        case Kind::Scalar: ASSERT_TRUE(SetInteger(s, f, old.integer == 1 ? 2 : 1, &why)) << why; break;
        case Kind::Flag: ASSERT_TRUE(SetInteger(s, f, old.integer ? 0 : 1, &why)) << why; break;
        case Kind::Frequency: ASSERT_TRUE(SetFrequency(s, f, old.frequency == 0 ? 123.45 : 0, &why)) << why; break;
        case Kind::Text: {
            const char* text = f.member->charset == Charset::Tone ? (old.text.empty() ? "D754N" : "")
                             : f.member->maxBytes == 6                ? (old.text.empty() ? "1A2B3C" : "")
                                                                      : (old.text == "1" ? "2" : "1");
            ASSERT_TRUE(SetText(s, f, text, &why)) << f.Name() << ": " << why;
            break;
        }
        }
        if (f.member->reversed && GetValue(s, f).text.empty())
            continue; // the encoder leaves an empty reversed text alone
        ASSERT_EQ(data.EncodeAll(), 0);
        bool changed = false;
        for (std::size_t address = 0; address < ImageMap::kSize; ++address) {
            const uint8_t diff = base[address] ^ data.Image()[address];
            if (diff == 0)
                continue;
            changed = true;
            uint8_t owned = 0;
            if (address >= f.Offset() && address < f.Offset() + f.Length())
                owned = f.member->bits;
            ASSERT_EQ(diff & ~owned, 0) << f.Name() << " wrote byte " << address;
        }
        EXPECT_TRUE(changed) << f.Name();
    }
}

// A refused value leaves the settings as they were, so a caller can try
// the next one without undoing anything.
TEST(SettingsFieldsTest, RefusedValuesChangeNothing)
{
    RadioSettings s;
    SetText(s.stunCode, "123ABC");
    const RadioSettings before = s;
    auto radio = [](const char* name) { return Field{FindRadioMember(name), 0}; };
    const bool accepted[] = {
        SetText(s, radio("stunCode"), "12G", nullptr),
        SetText(s, radio("stunCode"), std::string_view("1\0", 2), nullptr),
        SetText(s, Field{FindChannelMember("rxCode"), 50}, "D029N", nullptr),
        SetText(s, radio("message1"), std::string(33, 'x'), nullptr),
        SetInteger(s, radio("squelchLevel"), 256, nullptr),
        SetInteger(s, radio("squelchLevel"), 2.5, nullptr),
        SetFrequency(s, radio("upperLimit"), 999.9999996, nullptr),
        SetFrequency(s, Field{FindChannelMember("txFrequency"), 1}, 1000, nullptr),
    };
    for (std::size_t i = 0; i < std::size(accepted); ++i)
        EXPECT_FALSE(accepted[i]) << "case " << i;
    EXPECT_TRUE(s == before);

    std::string why;
    EXPECT_FALSE(SetInteger(s, Field{FindChannelMember("busyLockout"), 3}, 4, &why));
    EXPECT_EQ(why, "expected an integer 0..3");
    EXPECT_TRUE(SetInteger(s, radio("beepTone"), 7, &why)); // a flag takes any integer
    EXPECT_EQ(s.beepTone, 7u);
}

} // namespace
