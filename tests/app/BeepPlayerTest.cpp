#include <gtest/gtest.h>

#include <cstdlib>

#include "app/BeepPlayer.h"

TEST(BeepPlayerTest, ToneIsAFadedSineOfTheAskedPitchAndLength)
{
    for (int frequency : {2000, 3500}) {
        const std::vector<int16_t> samples = Beep::ToneSamples(frequency, 500, 48000);
        ASSERT_EQ(samples.size(), 24000u);
        int crossings = 0, peak = 0;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            crossings += (samples[i - 1] < 0) != (samples[i] < 0);
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        EXPECT_NEAR(crossings, frequency, 4); // two per period, half a second
        EXPECT_GT(peak, 8000);
        EXPECT_LT(std::abs(samples.front()) + std::abs(samples.back()), 250); // no click
    }
    EXPECT_TRUE(Beep::ToneSamples(0, 500).empty());
    EXPECT_TRUE(Beep::ToneSamples(2000, -5).empty());
}
