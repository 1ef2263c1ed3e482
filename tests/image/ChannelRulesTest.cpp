// The channel rules the editor, the grid and the command-line tool share.
#include <gtest/gtest.h>

#include "image/ChannelRecord.h"
#include "image/ChannelRules.h"
#include "image/NumberText.h"
#include "image/RadioSettings.h"

namespace {

TEST(ChannelRules, InUseAboveOneTenthMegahertzTransmitsFromTenHertz)
{
    ChannelRecord ch;
    const std::pair<double, bool> rx[] = {{0.0, false}, {0.09, false}, {0.1, false}, {0.1000001, true}, {450.0, true}};
    for (const auto& [f, inUse] : rx) {
        ch.rxFrequency = f;
        EXPECT_EQ(ChannelInUse(ch), inUse) << f;
    }
    // The transmit side counts as set wherever the image holds a frequency.
    const std::pair<double, bool> tx[] = {{0.0, false}, {0.000009, false}, {0.00001, true}};
    for (const auto& [f, set] : tx) {
        ch.txFrequency = f;
        EXPECT_EQ(HasTransmitFrequency(ch), set) << f;
    }
}

TEST(ChannelRules, OffRasterMovesDownToSixPointTwoFiveAndStepFlagsFollow)
{
    const struct {
        double given;
        double stored;
        uint32_t step625;
    } cases[] = {
        {450.0125, 450.0125, 1},   // on the 6.25 kHz raster
        {450.1, 450.1, 1},         // 450100000 Hz = 16016 x 6250
        {450.005, 450.005, 0},     // on the 5 kHz raster only: kept, flag 0
        {450.003, 450.0, 1},       // on neither: down to 6.25 kHz
        {450.0124, 450.00625, 1},  // down, never up to the nearer step
        {477.4, 477.4, 1},         // the fixed plan's last channel
        {136.00001, 136.0, 1},     // a ten-hertz slip
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_DOUBLE_EQ(MoveToRaster(c.given), c.stored);
        EXPECT_EQ(Step625Flag(MoveToRaster(c.given)), c.step625);
    }
    EXPECT_EQ(Step625Flag(0.0), 0u) << "no frequency is on no raster";

    ChannelRecord ch;
    ch.rxFrequency = 450.0125;
    ch.txFrequency = 0.0;
    MarkInUse(ch);
    EXPECT_EQ(ch.rxStep625, 1u);
    EXPECT_EQ(ch.txStep625, 0u) << "a channel without transmit frequency gets 0, not the blank 255";
    EXPECT_EQ(ch.channelFree, 0u);
    ch.txFrequency = 455.0;
    SetStepFlags(ch);
    EXPECT_EQ(ch.txStep625, 1u);
}

TEST(ChannelRules, FrequencyTextLeftInAFieldIsClampedRasteredAndPadded)
{
    const struct {
        const char* typed;
        double lower, upper;
        const char* shown;
    } cases[] = {
        {"450.003", 450, 470, "450.00000"},
        {"480", 450, 470, "470.00000"},      // above the band
        {"480", 470, 450, "470.00000"},      // limits either way round
        {"", 450, 470, ""},                  // empty stays empty
        {"450", 0, 0, "0.00000"},            // a custom model without limits
        {"50.5", 10, 60, "50.50000"},        // below 100 MHz the point is not shuffled
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalisedFrequencyText(c.typed, c.lower, c.upper), c.shown)
            << c.typed << " in " << c.lower << ".." << c.upper;
}

TEST(ChannelRules, FixedPlanFillsChannels1To21And24To40)
{
    for (int n = 1; n <= RadioSettings::kChannels; ++n)
        EXPECT_EQ(InFixedPlan(n), n <= 40 && n != 22 && n != 23) << n;
    EXPECT_FALSE(InFixedPlan(0));

    RadioSettings s;
    s.channels[21].rxFrequency = 123.0; // channel 22, kept
    s.channels[40].txFrequency = 456.0; // channel 41, kept
    s.ApplyFixedPlan();
    EXPECT_DOUBLE_EQ(s.channels[23].txFrequency, 477.0);
    EXPECT_DOUBLE_EQ(s.channels[21].rxFrequency, 123.0);
    EXPECT_DOUBLE_EQ(s.channels[40].txFrequency, 456.0);
    EXPECT_STREQ(s.modelCode, "Q80109");
    EXPECT_EQ(s.carriedByte1902, 0xFFFFFFFFu);
}

TEST(ChannelRules, BusyLockoutPositionsAndCodesGoBothWays)
{
    // Entries OFF, carrier, QT/DQT (or DTMF), DTMF store 3, 0, 1, 2.
    const std::pair<int, uint32_t> pairs[] = {{0, 3}, {1, 0}, {2, 1}, {3, 2}};
    for (const auto& [position, code] : pairs) {
        EXPECT_EQ(BusyLockoutCode(position), code) << position;
        EXPECT_EQ(BusyLockoutPosition(code), position) << code;
    }
    // No entry chosen stores 2; a stored byte the list has no entry for shows OFF.
    EXPECT_EQ(BusyLockoutCode(-1), 2u);
    EXPECT_EQ(BusyLockoutPosition(0xFF), 0);
}

TEST(NumberText, TheLeadingDecimalNumberCountsWhateverFollows)
{
    const std::pair<const char*, double> cases[] = {
        {"450.1abc", 450.1}, {"450.", 450.0}, {".5", 0.5},  {".", 0.0},   {"", 0.0},     {"  12", 12.0},
        {"-3.5", -3.5},      {"+2", 2.0},     {"1e5", 1.0}, {"abc", 0.0}, {"-", 0.0},    {"7,5", 7.0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
    EXPECT_EQ(LeadingInteger("136.9"), 136);
    EXPECT_EQ(LeadingInteger("-2.7"), -2);
    EXPECT_EQ(LeadingInteger(std::string(400, '9')), 0) << "too large to be a count";
}

} // namespace
