#include <gtest/gtest.h>

#include "image/ModelTable.h"
#include "image/RadioSettings.h"

namespace {

TEST(ModelTableTest, FifteenRowsFirstMatchIgnoringCase)
{
    ASSERT_EQ(ModelTable::Rows().size(), 15u);
    const ModelRow* row = ModelTable::Find("q80103");
    ASSERT_EQ(row, &ModelTable::Rows()[2]);
    EXPECT_STREQ(row->modelName, "HX8100L1");
    EXPECT_STREQ(row->bandText, "UHF:450-470MHz");
    EXPECT_STREQ(ModelTable::Find("Q80104")->modelName, ""); // a row without a name
    EXPECT_STREQ(ModelTable::Find("Q7200E")->bandText, "UHF:350-390MHz");
    EXPECT_EQ(ModelTable::Find("Q8010"), nullptr); // whole codes only
    EXPECT_EQ(ModelTable::Find(""), nullptr);
}

TEST(ModelIdentifyTest, BandTextCustomModelAnd476)
{
    RadioSettings s;
    ModelState state;
    auto identify = [&](const char* code) { SetText(s.modelCode, code), ModelIdentify(state, s); };
    identify("Q80109");
    EXPECT_EQ(state.bandText, "UHF:476-478MHz");
    EXPECT_EQ(state.band476, 1);
    identify("Z99999"); // a code in no row keeps the band found before, and with it band 476
    EXPECT_EQ(state.band476, 1);

    // The custom model takes its limits from the settings and keeps the band text.
    s.lowerLimit = 400;
    s.upperLimit = 470.0125;
    s.firstIf = 21.4;
    s.highLocalOscillator = 0;
    identify("q80100");
    EXPECT_EQ(state.customModel, 1);
    EXPECT_EQ(state.band476, 0);
    EXPECT_EQ(state.bandText, "UHF:476-478MHz");
    EXPECT_EQ(state.lowestFrequency + " " + state.highestFrequency + " " + state.firstIntermediateFrequency,
              "400.00000 470.01250 21.40000");
    EXPECT_EQ(state.highSideOscillator, 0);
    identify(""); // changes nothing at all
    EXPECT_EQ(state.customModel, 1);

    identify("q70102");
    EXPECT_EQ(state.customModel, 0);
    EXPECT_EQ(state.bandText, "VHF:136-150MHz");
}

TEST(ModelIdentifyTest, TitleBandIsTheTableBandOrTheCustomLimits)
{
    RadioSettings s;
    ModelState state;
    auto identify = [&](const char* code) { SetText(s.modelCode, code), ModelIdentify(state, s); };
    identify("Q7200B");
    EXPECT_EQ(TitleBandText(state), "UHF:400-440MHz");

    s.lowerLimit = 400;
    s.upperLimit = 470.0125;
    identify("Q80100");
    EXPECT_EQ(TitleBandText(state), "UHF:400.00000-470.01250MHz");
    s.lowerLimit = 136;
    s.upperLimit = 200;
    identify("Q80100");
    EXPECT_EQ(TitleBandText(state), "VHF:136.00000-200.00000MHz");
    s.upperLimit = 200.00001;
    identify("Q80100");
    EXPECT_EQ(TitleBandText(state), "UHF:136.00000-200.00001MHz");
    // Limits written with a decimal comma still name the band.
    state.highestFrequency = "470,01250";
    EXPECT_EQ(TitleBandText(state).substr(0, 4), "UHF:");

    identify("Q80109"); // back to a table model: its band, not the custom limits
    EXPECT_EQ(TitleBandText(state), "UHF:476-478MHz");
}

TEST(BandLimitsTest, BandTextCustomLimitsAndTheFixedPlanModel)
{
    auto limits = [](BandLimits b) { return std::make_pair(b.lower, b.upper); };
    EXPECT_EQ(limits(BandLimitsOf("UHF:450-470MHz", "", "")), std::make_pair(450.0, 470.0));
    EXPECT_EQ(limits(BandLimitsOf("VHF:136-174MHz", "", "")), std::make_pair(136.0, 174.0));
    EXPECT_EQ(limits(BandLimitsOf("UHF:476-478MHz", "", "")), std::make_pair(476.0, 478.0));
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

    // From the settings, as an opened document identifies the model.
    RadioSettings s;
    EXPECT_EQ(limits(SettingsBandLimits(s)), std::make_pair(450.0, 470.0)) << "Q80103";
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
