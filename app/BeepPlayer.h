#pragma once
#include <cstdint>
#include <vector>

// Plays a sine tone (the job beeps: 2000 Hz or 3500 Hz for 500 ms) through
// the sound system on the program's one sound thread and returns at once.
// Where there is no sound device the tone is silently skipped. While one
// tone plays, at most one more waits; further requests are dropped, so a
// burst of calls never piles up tones or threads. Safe from any thread.
void PlayBeep(int frequencyHz, int durationMs);

namespace Beep {
constexpr int kSampleRate = 48000;

// Signed 16-bit mono samples of the tone at sampleRate, with 5 ms fades so
// the tone starts and stops without a click. Empty for a frequency outside
// 20..20000 Hz or a duration outside 1..5000 ms.
std::vector<int16_t> ToneSamples(int frequencyHz, int durationMs, int sampleRate = kSampleRate);

// Tones playing or waiting now (0, 1 or 2).
int TonesInFlight();
// Waits until no tone is playing or waiting; false when timeoutMs passed first.
bool WaitIdle(int timeoutMs);
} // namespace Beep
