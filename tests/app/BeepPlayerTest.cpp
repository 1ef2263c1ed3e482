#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstdlib>

#include "BeepPlayer.h"

TEST(BeepPlayerTest, ToneIsASineOfTheAskedPitchAndLengthWithoutClicks)
{
    for (int frequency : {2000, 3500}) {
        const std::vector<int16_t> samples = Beep::ToneSamples(frequency, 500, 48000);
        ASSERT_EQ(samples.size(), 24000u);
        int crossings = 0;
        int peak = 0;
        for (std::size_t i = 1; i < samples.size(); ++i) {
            if ((samples[i - 1] < 0) != (samples[i] < 0))
                ++crossings;
            peak = std::max(peak, std::abs(int(samples[i])));
        }
        // Two sign changes per period.
        EXPECT_NEAR(crossings, 2 * frequency / 2, 4) << frequency;
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32767);
        // Faded in and out.
        EXPECT_LT(std::abs(samples.front()), 50);
        EXPECT_LT(std::abs(samples.back()), 200);
    }
    EXPECT_TRUE(Beep::ToneSamples(0, 500).empty());
    EXPECT_TRUE(Beep::ToneSamples(2000, 0).empty());
    EXPECT_TRUE(Beep::ToneSamples(2000, -5).empty());
    EXPECT_TRUE(Beep::ToneSamples(50000, 500).empty());
}

TEST(BeepPlayerTest, ReturnsAtOnceAndNeverPilesUpTones)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 50; ++i) {
        PlayBeep(i % 2 ? 2000 : 3500, 500);
        EXPECT_LE(Beep::TonesInFlight(), 2);
    }
    // Fifty requests cost no more than a moment for the caller.
    EXPECT_LT(clock.elapsed(), 200);
    // With a sound device at most two half-second tones are heard; without
    // one the failed opens finish quickly.
    EXPECT_TRUE(Beep::WaitIdle(3000));
    EXPECT_EQ(Beep::TonesInFlight(), 0);

    PlayBeep(-1, 500); // nonsense is ignored, not queued
    EXPECT_EQ(Beep::TonesInFlight(), 0);
}
