#include <gtest/gtest.h>

#include "image/ModelTable.h"
#include "image/RadioSettings.h"

namespace {

TEST(ModelTableTest, WholeCodesMatchIgnoringCase)
{
    EXPECT_STREQ(ModelTable::Find("q80103")->modelName, "HX8100L1");
    EXPECT_STREQ(ModelTable::Find("Q7200E")->bandText, "UHF:350-390MHz");
    EXPECT_EQ(ModelTable::Find("Q8010"), nullptr);
    EXPECT_EQ(ModelTable::Find(""), nullptr);
}

class ModelIdentifyTest : public ::testing::Test {
protected:
    void Identify(const char* code) { SetText(s.modelCode, code), ModelIdentify(state, s); }
    RadioSettings s;
    ModelState state;
};

TEST_F(ModelIdentifyTest, BandTextCustomModelAnd476)
{
    Identify("Q80109");
    EXPECT_EQ(state.bandText, "UHF:476-478MHz");
    EXPECT_EQ(state.band476, 1);
    Identify("Z99999"); // a code in no row keeps the band found before, and with it band 476
    EXPECT_EQ(state.band476, 1);

    // The custom model takes its limits from the settings and keeps the band text.
    s.lowerLimit = 400;
    s.upperLimit = 470.0125;
    s.firstIf = 21.4;
    s.highLocalOscillator = 1;
    Identify("q80100");
    EXPECT_EQ(state.customModel, 1);
    EXPECT_EQ(state.band476, 0);
    EXPECT_EQ(state.bandText, "UHF:476-478MHz");
    EXPECT_EQ(state.lowestFrequency + " " + state.highestFrequency + " " + state.firstIntermediateFrequency,
              "400.00000 470.01250 21.40000");
    EXPECT_EQ(state.highSideOscillator, 1);
    Identify(""); // changes nothing at all
    EXPECT_EQ(state.customModel, 1);
    Identify("q70102");
    EXPECT_EQ(state.customModel, 0);
    EXPECT_EQ(state.bandText, "VHF:136-150MHz");
}

TEST_F(ModelIdentifyTest, TitleBandIsTheTableBandOrTheCustomLimits)
{
    Identify("Q7200B");
    EXPECT_EQ(TitleBandText(state), "UHF:400-440MHz");
    // VHF up to 200 MHz.
    const struct {
        double lower, upper;
        const char* title;
    } custom[] = {{400, 470.0125, "UHF:400.00000-470.01250MHz"},
                  {136, 200, "VHF:136.00000-200.00000MHz"},
                  {136, 200.00001, "UHF:136.00000-200.00001MHz"}};
    for (const auto& c : custom) {
        s.lowerLimit = c.lower;
        s.upperLimit = c.upper;
        Identify("Q80100");
        EXPECT_EQ(TitleBandText(state), c.title);
    }
    state.highestFrequency = "470,01250"; // a decimal comma still names the band
    EXPECT_EQ(TitleBandText(state).substr(0, 4), "UHF:");
    Identify("Q80109"); // back to a table model: its band, not the custom limits
    EXPECT_EQ(TitleBandText(state), "UHF:476-478MHz");
}

TEST(BandLimitsTest, BandTextCustomLimitsAndTheSettingsModel)
{
    auto limits = [](BandLimits b) { return std::make_pair(b.lower, b.upper); };
    EXPECT_EQ(limits(BandLimitsOf("VHF:136-174MHz", "", "")), std::make_pair(136.0, 174.0));
    // The lower limit is the smaller number, the upper one the second.
    EXPECT_EQ(limits(BandLimitsOf("UHF:470-450MHz", "", "")), std::make_pair(450.0, 450.0));
    // No band text: the custom model's own texts.
    EXPECT_EQ(limits(BandLimitsOf("", "400.00000", "520.01250")), std::make_pair(400.0, 520.0125));
    EXPECT_EQ(limits(BandLimitsOf("", "", "")), std::make_pair(0.0, 0.0));

    const BandLimits band{450.0, 470.0};
    EXPECT_TRUE(band.Contains(450.0));
    EXPECT_TRUE(band.Contains(470.0));
    EXPECT_FALSE(band.Contains(449.99999));
    EXPECT_FALSE(band.Contains(470.00001));
    EXPECT_TRUE((BandLimits{470.0, 450.0}).Contains(460.0)) << "either way round";

    RadioSettings s;
    SetText(s.modelCode, "Q80109");
    EXPECT_EQ(limits(SettingsBandLimits(s)), std::make_pair(476.0, 478.0));
    SetText(s.modelCode, "Z99999");
    EXPECT_EQ(limits(SettingsBandLimits(s)), std::make_pair(450.0, 470.0)) << "unknown: the default band";
    SetText(s.modelCode, "Q80100");
    s.lowerLimit = 400.0;
    s.upperLimit = 520.0;
    EXPECT_EQ(limits(SettingsBandLimits(s)), std::make_pair(400.0, 520.0));
    ModelState custom;
    ModelIdentify(custom, s);
    EXPECT_EQ(limits(ModelBandLimits(custom)), std::make_pair(400.0, 520.0));
}

} // namespace
