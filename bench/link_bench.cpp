// Times a read job and a write job against the simulated radio with line
// timing on, and compares them with what the line itself allows:
//   wall / line time  (every byte both ways x 11/9600 s, plus 2 ms per
//                      transmission) must stay at or below 1.05;
//   CPU / wall        (this process only) must stay at or below 5%.
// The radio runs as a child process (zemtra800-cli simulate --line-timing,
// found beside this program) so that its pacing does not count as ours. The
// fixed 100 ms settle pause before a job's thread starts is not timed.
// A write with read-back (verify) is timed against the line time of a plain
// write plus a read: it must stay at or below 1.1 of it, so the verify costs
// one read and nothing more.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/RadioLink.h"
#include "sim/SimulatedRadio.h"

extern char** environ;

namespace {

constexpr double kByteSeconds = 11.0 / 9600.0;
constexpr double kPauseSeconds = 0.002;

double ProcessCpuSeconds()
{
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// The radio on the far side: a child process when the command-line tool is
// there, else a simulator inside this process (whose CPU then counts too).
class Radio {
public:
    Radio()
    {
        char self[4096] = {};
        ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        std::string cli = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
        cli = cli.substr(0, cli.rfind('/') + 1) + "zemtra800-cli";
        if (::access(cli.c_str(), X_OK) == 0 && SpawnChild(cli))
            return;
        SimulatedRadioOptions options;
        options.lineTiming = true;
        inProcess_ = std::make_unique<SimulatedRadio>(options);
        if (inProcess_->Start())
            device_ = inProcess_->DevicePath();
    }
    ~Radio()
    {
        if (child_ > 0) {
            ::kill(child_, SIGTERM);
            ::waitpid(child_, nullptr, 0);
        }
    }
    const std::string& Device() const { return device_; }
    bool InProcess() const { return inProcess_ != nullptr; }

private:
    bool SpawnChild(const std::string& cli)
    {
        int out[2];
        if (::pipe(out) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char* argv[] = {const_cast<char*>(cli.c_str()), const_cast<char*>("simulate"),
                        const_cast<char*>("--line-timing"), nullptr};
        int rc = ::posix_spawn(&child_, cli.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (rc != 0) {
            ::close(out[0]);
            child_ = -1;
            return false;
        }
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            device_ += c;
        ::close(out[0]);
        return !device_.empty();
    }

    pid_t child_ = -1;
    std::string device_;
    std::unique_ptr<SimulatedRadio> inProcess_;
};

class CountingObserver : public JobObserver {
public:
    void OnTrace(const std::string& line) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        bytes += static_cast<long>((line.size() - 5) / 3);
        if (line.rfind("Tr", 0) == 0) {
            ++transmissions;
            // The job's own turnaround: from taking the answer to handing
            // over the next frame, beyond the fixed pause.
            if (lastReceive_.time_since_epoch().count() != 0)
                turnaround += std::chrono::duration<double>(now - lastReceive_).count() - kPauseSeconds;
            lastReceive_ = {};
        } else {
            lastReceive_ = now;
        }
    }
    void OnProgress(int) override {}
    void OnBeep(int, int) override {}
    bool AskModelOverwrite() override { return true; }
    void OnIdentification(const uint8_t*) override {}
    void OnReadComplete(const uint8_t image[2048]) override { this->image.assign(image, image + 2048); }
    void OnInfoComplete(const uint8_t*) override {}
    void OnJobEnded(LinkJobMode, bool ok) override { success = ok; }

    std::mutex mutex_;
    std::chrono::steady_clock::time_point lastReceive_{};
    double turnaround = 0;
    long bytes = 0;
    long transmissions = 0;
    bool success = false;
    std::vector<uint8_t> image;
};

struct JobFigures {
    double wall = 0, line = 0, cpu = 0, turnaround = 0;
    bool ok = false;
};

JobFigures RunJob(const std::string& device, LinkJobMode mode, const uint8_t* image, bool readBack = false)
{
    CountingObserver observer;
    RadioLink link(observer);
    JobFigures f;
    if (!link.OpenPort(device, 0))
        return f;
    if (!link.StartJob(mode, image, "Q80103", readBack))
        return f;
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = ProcessCpuSeconds();
    link.WaitForJob();
    f.cpu = ProcessCpuSeconds() - cpu0;
    f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    f.line = static_cast<double>(observer.bytes) * kByteSeconds +
             static_cast<double>(observer.transmissions) * kPauseSeconds;
    f.turnaround = observer.turnaround;
    f.ok = observer.success;
    return f;
}

Radio* g_radio = nullptr;
std::vector<uint8_t> g_image(2048, 0xFF);

void Report(benchmark::State& state, const char* name, const JobFigures& f)
{
    if (!f.ok) {
        state.SkipWithError("the job failed");
        return;
    }
    state.SetIterationTime(f.wall);
    state.counters["wall/line"] = f.wall / f.line;
    state.counters["cpu/wall%"] = 100.0 * f.cpu / f.wall;
    std::printf("%s job: wall %.3f s, line %.3f s, wall/line %.3f (limit 1.05), CPU %.3f s, CPU/wall %.2f%% "
                "(limit 5%%%s)\n",
                name, f.wall, f.line, f.wall / f.line, f.cpu, 100.0 * f.cpu / f.wall,
                g_radio->InProcess() ? ", simulator included" : "");
    std::printf("  of which the job's own turnaround beyond the 2 ms pauses: %.1f ms (%.2f%% of line time)\n",
                1000.0 * f.turnaround, 100.0 * f.turnaround / f.line);
}

// The last plain read and write, for the verified write to be set against.
JobFigures g_lastRead, g_lastWrite;

void BM_ReadJob(benchmark::State& state)
{
    for (auto _ : state) {
        JobFigures f = RunJob(g_radio->Device(), JobRead, nullptr);
        Report(state, "read", f);
        g_lastRead = f;
    }
}

void BM_WriteJob(benchmark::State& state)
{
    for (auto _ : state) {
        JobFigures f = RunJob(g_radio->Device(), JobWrite, g_image.data());
        Report(state, "write", f);
        g_lastWrite = f;
    }
}

void BM_VerifiedWriteJob(benchmark::State& state)
{
    for (auto _ : state) {
        JobFigures f = RunJob(g_radio->Device(), JobWrite, g_image.data(), true);
        Report(state, "verified write", f);
        if (!f.ok || !g_lastRead.ok || !g_lastWrite.ok)
            continue;
        const double line = g_lastWrite.line + g_lastRead.line;
        const double plain = g_lastWrite.wall + g_lastRead.wall;
        state.counters["wall/(write+read line)"] = f.wall / line;
        std::printf("  against a plain write and a read: their line time %.3f s, their wall time %.3f s; "
                    "verified wall / (write+read line) %.3f (limit 1.1), verified - (write+read) wall %+.3f s\n",
                    line, plain, f.wall / line, f.wall - plain);
    }
}

BENCHMARK(BM_ReadJob)->Iterations(1)->Repetitions(2)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_WriteJob)->Iterations(1)->Repetitions(2)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_VerifiedWriteJob)->Iterations(1)->Repetitions(2)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Radio radio;
    if (radio.Device().empty()) {
        std::fprintf(stderr, "link_bench: no simulated radio could be started\n");
        return 1;
    }
    g_radio = &radio;
    std::printf("simulated radio on %s (%s)\n", radio.Device().c_str(),
                radio.InProcess() ? "in this process" : "child process zemtra800-cli simulate --line-timing");
    // What the write job sends: the image a new document saves, with the
    // radio's own model code so that no question is asked.
    SimulatedRadio::Memory fresh = SimulatedRadio().GetMemory();
    g_image.assign(fresh.begin(), fresh.end());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
