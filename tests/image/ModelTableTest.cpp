#include <gtest/gtest.h>

#include "image/ModelTable.h"
#include "image/RadioSettings.h"

namespace {

std::pair<double, double> Limits(BandLimits b) { return {b.lower, b.upper}; }

class ModelIdentifyTest : public ::testing::Test {
protected:
    void Identify(const char* code) { SetText(s.modelCode, code), ModelIdentify(state, s); }
    RadioSettings s;
    ModelState state;
};

TEST_F(ModelIdentifyTest, BandTextCustomModelAnd476)
{
    EXPECT_STREQ(ModelTable::Find("q80103")->modelName, "HX8100L1") << "whole codes, any case";
    EXPECT_EQ(ModelTable::Find("Q8010"), nullptr);
    Identify("Q80109");
    EXPECT_EQ(state.bandText, "UHF:476-478MHz");
    EXPECT_EQ(state.band476, 1);
    Identify("Z99999"); // a code in no row keeps the band found before, and with it band 476
    EXPECT_EQ(state.band476, 1);

    // The custom model takes its limits from the settings.
    s.lowerLimit = 400;
    s.upperLimit = 470.0125;
    Identify("q80100");
    EXPECT_EQ(state.customModel, 1);
    EXPECT_EQ(state.band476, 0);
    EXPECT_EQ(Limits(ModelBandLimits(state)), std::make_pair(400.0, 470.0125));
    Identify(""); // changes nothing at all
    EXPECT_EQ(state.customModel, 1);
    Identify("q70102");
    EXPECT_EQ(state.customModel, 0);
    EXPECT_EQ(state.bandText, "VHF:136-150MHz");
}

TEST(BandLimitsTest, BandTextCustomLimitsAndTheSettingsModel)
{
    EXPECT_EQ(Limits(BandLimitsOf("VHF:136-174MHz", "", "")), std::make_pair(136.0, 174.0));
    // The lower limit is the smaller number, the upper one the second.
    EXPECT_EQ(Limits(BandLimitsOf("UHF:470-450MHz", "", "")), std::make_pair(450.0, 450.0));
    // No band text: the custom model's own texts.
    EXPECT_EQ(Limits(BandLimitsOf("", "400.00000", "520.01250")), std::make_pair(400.0, 520.0125));

    const BandLimits band{450.0, 470.0};
    EXPECT_TRUE(band.Contains(450.0) && band.Contains(470.0));
    EXPECT_FALSE(band.Contains(449.99999) || band.Contains(470.00001));
    EXPECT_TRUE((BandLimits{470.0, 450.0}).Contains(460.0)) << "either way round";

    RadioSettings s;
    SetText(s.modelCode, "Q80109");
    EXPECT_EQ(Limits(SettingsBandLimits(s)), std::make_pair(476.0, 478.0));
    SetText(s.modelCode, "Z99999");
    EXPECT_EQ(Limits(SettingsBandLimits(s)), std::make_pair(450.0, 470.0)) << "unknown: the default band";
    SetText(s.modelCode, "Q80100");
    s.lowerLimit = 400.0;
    s.upperLimit = 520.0;
    EXPECT_EQ(Limits(SettingsBandLimits(s)), std::make_pair(400.0, 520.0));
}

} // namespace
