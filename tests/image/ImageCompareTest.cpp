// Comparing images: decoded differences by member, the bytes no value
// shows and the check after a write.
#include "TestImage.h"
#include "image/ImageCompare.h"

namespace {

using namespace ImageCompare;

class ImageCompareTest : public ::testing::Test {
protected:
    ImageCompareTest()
    {
        a.ResetSettings();
        a.GetSettings()->channels[6].rxFrequency = 450.0125;
        EXPECT_EQ(a.EncodeAll(), 0);
        EXPECT_EQ(a.DecodeAll(), 0);
        b.SetBytes(a.Image(), 0, ImageMap::kSize); // b is a byte for byte
        EXPECT_EQ(b.DecodeAll(), 0);
    }
    static void PutDecoded(CImportData& image, std::size_t offset, const std::string& hex)
    {
        Put(image, offset, hex);
        EXPECT_EQ(image.DecodeAll(), 0);
    }
    void PutB(std::size_t offset, const std::string& hex) { PutDecoded(b, offset, hex); }
    std::vector<std::string> Lines() const
    {
        const Differences d = Compare(a, b);
        std::vector<std::string> lines;
        for (const ValueDifference& v : d.values)
            lines.push_back(v.field.Name());
        for (const ByteRun& r : d.bytes)
            lines.push_back(ByteRunText(r));
        return lines;
    }
    CImportData a, b;
};

// (A changed value, a run at the end and a stun code's run are the diff
// command's tests.)
TEST_F(ImageCompareTest, BytesNoValueShowsComeAsRunsSplitWhereTheirFieldChanges)
{
    // Bit 1 of 1032 belongs to no field; bit 0 (beepTone) does.
    PutDecoded(a, ImageMap::kOptionFlagsA, "00");
    PutB(ImageMap::kOptionFlagsA, "03");
    PutB(16 * 7 + 14, "00"); // channel 7's rxStep625 byte: a value of its own
    // A run splits where its bytes stop belonging to one field: 1055 belongs
    // to nothing, 1056.. is the ID code, read as 12 either way (0xFF skipped).
    PutDecoded(a, 1056, "01 02");
    PutB(1055, "00 FF 01 02");
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "channel 7 rxStep625",
                           "beepTone",
                           "byte 0x0408: 00 -> 03",
                           "byte 0x041F: ff -> 00",
                           "bytes 0x0420..0x0422 (idCode): 01 02 ff -> ff 01 02",
                       }));
}

TEST(VerifyTest, FirstDifferenceNamesItsFieldAndTheCount)
{
    uint8_t sent[ImageMap::kSize], back[ImageMap::kSize];
    for (std::size_t i = 0; i < ImageMap::kSize; ++i)
        sent[i] = back[i] = uint8_t(i * 7);
    back[2040] ^= 0xFF; // never sent: not compared
    EXPECT_TRUE(Verify(sent, back).equal);

    sent[0x123] = 0x45;
    back[0x123] = 0x44;
    back[1999] ^= 1;
    back[0x07F0 - 0x100] ^= 1;
    EXPECT_FALSE(Verify(sent, back).equal);
    EXPECT_EQ(VerifyText(Verify(sent, back)),
              "verify failed at 0x0123 (channel 18 rxFrequency): wrote 0x45, the radio holds 0x44 "
              "(3 bytes differ)");

    // A difference in bits no field owns names none.
    std::copy(std::begin(sent), std::end(sent), back);
    sent[ImageMap::kOptionFlagsA] = 0x00;
    back[ImageMap::kOptionFlagsA] = 0x02;
    EXPECT_EQ(VerifyText(Verify(sent, back)),
              "verify failed at 0x0408: wrote 0x00, the radio holds 0x02 (1 byte differs)");
}

} // namespace
