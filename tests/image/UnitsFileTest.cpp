// The units file of a production line: rows laid over the golden image as
// the radio will hold them, and every fault named by line and column before
// any radio is touched.
#include <algorithm>

#include "TestImage.h"
#include "image/ImageMap.h"
#include "image/ModelTable.h"
#include "image/UnitsFile.h"

namespace {

// GBK as far as the tests need it: ASCII and "你好" (C4 E3 BA C3).
bool TestGbk(std::string_view utf8, std::string* gbk)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8.substr(i, 6) == "\xE4\xBD\xA0\xE5\xA5\xBD") {
            out += "\xC4\xE3\xBA\xC3";
            i += 5;
        } else if (static_cast<unsigned char>(utf8[i]) < 0x80)
            out += utf8[i];
        else
            return false;
    }
    *gbk = out;
    return true;
}

class UnitsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        golden.ResetSettings();
        RadioSettings& s = *golden.GetSettings();
        SetText(s.idCode, "999");
        SetText(s.message1, "SHOP");
        SetText(s.modelCode, "Q80103");
        s.squelchLevel = 3;
        s.channels[0].rxFrequency = 455.0;
        s.channels[0].txFrequency = 455.0;
        ASSERT_EQ(golden.EncodeAll(), 0);
    }
    UnitsFile::Result Read(const std::string& text) { return UnitsFile::Read(text, golden, TestGbk); }
    static RadioSettings Decoded(const UnitsFile::Unit& unit)
    {
        CImportData data;
        data.SetBytes(unit.image.data(), 0, ImageMap::kSize);
        EXPECT_EQ(data.DecodeAll(), 0);
        return *data.GetSettings();
    }
    // The file is refused with exactly these lines and no units.
    void ExpectRefused(const std::string& text, const std::vector<std::string>& errors)
    {
        const UnitsFile::Result r = Read(text);
        EXPECT_FALSE(r.Ok());
        EXPECT_EQ(r.errors, errors) << text;
        EXPECT_TRUE(r.units.empty());
    }

    CImportData golden;
};

TEST_F(UnitsFileTest, RowsAreLaidOverTheGoldenImageAndEncoded)
{
    // A byte-order mark, CRLF, quoting with a comma, a doubled quote and
    // spaces kept inside quotes, a cell left empty, a Chinese message.
    const std::string text = "\xEF\xBB\xBFunit,idCode,stunCode,message1,squelchLevel,keyLock\r\n"
                             "R-01,101,123ABC,\"  Hi, \"\"A\"\" \",5,1\r\n"
                             "\"R-02\",102,,\xE4\xBD\xA0\xE5\xA5\xBD,,\r\n"
                             "\r\n"
                             "R-03,10a,,,0,0\r\n";
    const UnitsFile::Result r = Read(text);
    ASSERT_TRUE(r.Ok()) << r.errors.front();
    ASSERT_EQ(r.units.size(), 3u);
    EXPECT_EQ(r.units[1].label, "R-02");

    const RadioSettings one = Decoded(r.units[0]);
    EXPECT_STREQ(one.idCode, "101");
    EXPECT_STREQ(one.stunCode, "123ABC");
    EXPECT_STREQ(one.message1, "  Hi, \"A\" ");
    EXPECT_EQ(one.squelchLevel, 5u);
    EXPECT_EQ(one.keyLock, 1u);

    // Empty cells keep the golden image's values.
    const RadioSettings two = Decoded(r.units[1]);
    EXPECT_STREQ(two.idCode, "102");
    EXPECT_STREQ(two.message1, "\xC4\xE3\xBA\xC3");
    EXPECT_EQ(two.squelchLevel, 3u);
    EXPECT_STREQ(Decoded(r.units[2]).idCode, "10A"); // the codec's capitals

    // Only the fields a row names differ from the golden image, and the
    // model's own bytes are the golden image's.
    std::vector<uint8_t> rest(r.units[1].image.begin(), r.units[1].image.end());
    std::copy_n(golden.Image() + ImageMap::kIdCode, ImageMap::kIdCodeLength, rest.begin() + ImageMap::kIdCode);
    std::copy_n(golden.Image() + ImageMap::kMessage1, ImageMap::kMessageLength, rest.begin() + ImageMap::kMessage1);
    EXPECT_EQ(rest, Bytes(golden.Image(), ImageMap::kSize));
}

TEST_F(UnitsFileTest, ABadHeaderIsRefusedNamingLineOneAndTheColumn)
{
    ExpectRefused("idCode\n1\n", {"line 1: the header names no unit column"});
    ExpectRefused("Unit,idCode\nA,1\n", {"line 1, column \"Unit\": unknown member; did you mean unit?",
                                         "line 1: the header names no unit column"});
    ExpectRefused("unit,idCode,idCode\nA,1,2\n", {"line 1, column idCode: named twice"});
    ExpectRefused("unit,rxFrequency\nA,450\n", {"line 1, column rxFrequency: not a member a units file sets: a "
                                                "channel member; the channels come from GOLDEN"});
    ExpectRefused("unit,idCode\r\n", {"no units: the file has a header and no rows"});
}

TEST_F(UnitsFileTest, ABadValueIsRefusedNamingItsLineAndColumn)
{
    const std::string smile = "\xF0\x9F\x98\x80"; // no GBK character
    ExpectRefused("unit,idCode,squelchLevel,message2\n"
                  "A,12X,3,ok\n"
                  "B,1,300,\n"
                  "E,1,1," + smile + "\n",
                  {"line 2, column idCode: \"12X\": 'X' is not allowed here (allowed: 0123456789ABCDabcd*#)",
                   "line 3, column squelchLevel: expected an integer 0..255 (the field is one byte)",
                   "line 4, column message2: \"" + smile + "\" holds characters GBK cannot write"});
    // Sixteen letters and ten Chinese characters: 36 bytes in GBK.
    std::string nihao;
    for (int i = 0; i < 5; ++i)
        nihao += "\xE4\xBD\xA0\xE5\xA5\xBD";
    ExpectRefused("unit,message1\nA,\"" + std::string(16, 'x') + nihao + "\"\n",
                  {"line 2, column message1: \"" + std::string(16, 'x') + nihao.substr(0, 24) +
                   "...\": 36 bytes in GBK, the field holds 32 (a Chinese character takes 2)"});
    // What the radio would read back differently is refused too.
    ExpectRefused("unit,stunCode\nA,12\n", {"line 2, column stunCode: \"12\" would reach the radio as \"\" (a stun "
                                            "code is read only when all six digits are given)"});
    // Labels: one each, no line breaks, none twice; too many cells.
    ExpectRefused("unit,idCode\n,1\n\"A\nB\",2\nC,3\nC,4\nD,5,6\n",
                  {"line 2, column unit: no label",
                   "line 3, column unit: \"A?B\": a label holds no line breaks or control characters",
                   "line 6, column unit: \"C\" is already the label of line 5",
                   "line 7: 3 fields, the header names 2 columns"});
    // A label that would turn the batch's lines around on a terminal.
    ExpectRefused("unit,idCode\nA\xE2\x80\xAE" "B,1\n",
                  {"line 2, column unit: \"A?B\": a label holds no line breaks or control characters"});
}

// The write's model rule, shared by the write job and the production line's
// check after its read.
TEST(ModelRuleTest, AWriteTakesARadioWhoseSixthCharacterIsTheCodesLast)
{
    const uint8_t q80103[8] = {0xFF, 0xFF, '3', '0', '1', '0', '8', 'Q'}; // stored order
    EXPECT_TRUE(ModelMatchesIdent("Q80103", q80103));
    EXPECT_FALSE(ModelMatchesIdent("Q80104", q80103));
    EXPECT_TRUE(ModelMatchesIdent("Q70103", q80103)); // only the last character counts
    EXPECT_FALSE(ModelMatchesIdent("", q80103));
    EXPECT_EQ(IdentModelCode(q80103), "Q80103");
}

} // namespace
