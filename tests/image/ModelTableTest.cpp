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

} // namespace
