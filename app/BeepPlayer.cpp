#include "app/BeepPlayer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#if defined(ZEMTRA_HAVE_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace {

struct Tone {
    int frequencyHz;
    int durationMs;
};

#if defined(ZEMTRA_HAVE_ALSA)
// ALSA prints its own complaints to stderr when there is no card; a missing
// device is normal here and not worth a line.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}
#endif

// The one sound thread, started at the first beep. It plays one tone at a
// time; a tone that fails to open the device is simply dropped.
class SoundThread {
public:
    void Request(const Tone& tone)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (pending_)
                return; // one is already waiting: drop this one
            if (!worker_.joinable()) {
                try {
                    worker_ = std::thread([this] { Run(); });
                } catch (const std::system_error&) {
                    return; // no thread to spare: no beep, nothing else lost
                }
            }
            pending_ = tone;
        }
        wake_.notify_all();
    }

    int InFlight()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return (pending_ ? 1 : 0) + (playing_ ? 1 : 0);
    }

    bool WaitIdle(int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return !pending_ && !playing_; });
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return pending_.has_value(); });
            const Tone tone = *pending_;
            pending_.reset();
            playing_ = true;
            lock.unlock();
            Play(tone);
            lock.lock();
            playing_ = false;
            idle_.notify_all();
        }
    }

    void Play(const Tone& tone)
    {
#if defined(ZEMTRA_HAVE_ALSA)
        const std::vector<int16_t> samples = Beep::ToneSamples(tone.frequencyHz, tone.durationMs);
        if (samples.empty())
            return;
        static std::once_flag quiet;
        std::call_once(quiet, [] { snd_lib_error_set_handler(SilentAlsaError); });

        snd_pcm_t* pcm = nullptr;
        // Non-blocking open: a device held by another program fails at once
        // instead of waiting for it.
        if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
            return;
        if (snd_pcm_nonblock(pcm, 0) < 0
            || snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                  Beep::kSampleRate, 1, 100000) < 0) {
            snd_pcm_close(pcm);
            return;
        }
        const std::size_t piece = Beep::kSampleRate / 50; // 20 ms per write
        std::size_t done = 0;
        while (done < samples.size()) {
            const std::size_t n = std::min(piece, samples.size() - done);
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples.data() + done, n);
            if (written < 0)
                written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
            if (written < 0)
                break;
            done += static_cast<std::size_t>(written);
        }
        snd_pcm_drain(pcm);
        snd_pcm_close(pcm);
#else
        (void)tone; // built without a sound system: beeps are silent
#endif
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::thread worker_;
    std::optional<Tone> pending_;
    bool playing_ = false;
};

SoundThread& Sound()
{
    // Never destroyed: the thread may be inside the sound driver when the
    // program exits, and must not find its state gone. Exit ends it.
    static SoundThread* thread = new SoundThread;
    return *thread;
}

} // namespace

void PlayBeep(int frequencyHz, int durationMs)
{
    if (frequencyHz < 20 || frequencyHz > 20000 || durationMs < 1 || durationMs > 5000)
        return;
    Sound().Request(Tone{frequencyHz, durationMs});
}

namespace Beep {

std::vector<int16_t> ToneSamples(int frequencyHz, int durationMs, int sampleRate)
{
    std::vector<int16_t> samples;
    if (frequencyHz < 20 || frequencyHz > 20000 || durationMs < 1 || durationMs > 5000
        || sampleRate < 8000)
        return samples;
    const std::size_t count = static_cast<std::size_t>(sampleRate) * durationMs / 1000;
    const std::size_t fade = std::min<std::size_t>(sampleRate / 200, count / 2);
    const double step = 2.0 * M_PI * frequencyHz / sampleRate;
    const double amplitude = 0.4 * 32767.0;
    samples.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        double gain = 1.0;
        const std::size_t edge = std::min(i, count - 1 - i);
        if (edge < fade)
            gain = 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(edge) / fade);
        samples[i] = static_cast<int16_t>(std::lround(amplitude * gain * std::sin(step * i)));
    }
    return samples;
}

int TonesInFlight() { return Sound().InFlight(); }

bool WaitIdle(int timeoutMs) { return Sound().WaitIdle(timeoutMs); }

} // namespace Beep
