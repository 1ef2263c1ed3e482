// Times `zemtra800-cli write` into N line-timed simulated radios at once,
// N = 1, 2, 4, 8, the way a shop runs it (backups and job log on):
//   wall(N) / wall(1)       must stay at or below 1.1: the link is bound
//                           by the 9600 baud line, so more cables cost
//                           next to nothing;
//   CPU(command) / wall(N)  must stay at or below 5%: the command's own
//                           user and system time, from wait4().
// The radios run in a child process of their own (zemtra800-cli simulate
// --line-timing --radios 8, found beside this program), so their pacing
// does not count as the command's, nor as this program's.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kMostRadios = 8;

std::string Beside(const char* program)
{
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string path = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
    return path.substr(0, path.rfind('/') + 1) + program;
}

std::vector<char*> Argv(std::vector<std::string>& words)
{
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    return argv;
}

// The eight radios: one child process serving them all.
class Radios {
public:
    explicit Radios(const std::string& cli)
    {
        int out[2], in[2];
        if (::pipe(out) != 0 || ::pipe(in) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        std::vector<std::string> words = {cli, "simulate", "--line-timing", "--radios", std::to_string(kMostRadios)};
        std::vector<char*> argv = Argv(words);
        const int rc = ::posix_spawn(&child_, cli.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(in[0]);
        stdin_ = in[1]; // kept open: the radios take commands until they are stopped
        if (rc != 0) {
            child_ = -1;
            ::close(out[0]);
            return;
        }
        std::string line;
        char c;
        while (devices_.size() < kMostRadios && ::read(out[0], &c, 1) == 1) {
            if (c != '\n') {
                line += c;
                continue;
            }
            devices_.push_back(line);
            line.clear();
        }
        ::close(out[0]);
    }
    ~Radios()
    {
        if (child_ > 0) {
            ::kill(child_, SIGTERM);
            ::waitpid(child_, nullptr, 0);
        }
        if (stdin_ >= 0)
            ::close(stdin_);
    }
    const std::vector<std::string>& Devices() const { return devices_; }

private:
    pid_t child_ = -1;
    int stdin_ = -1;
    std::vector<std::string> devices_;
};

struct Figures {
    double wall = 0, cpu = 0;
    bool ok = false;
};

// One run of the command, timed from spawn to exit, its CPU from wait4.
Figures RunCommand(std::vector<std::string> words)
{
    Figures f;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = Argv(words);
    pid_t pid = -1;
    const auto start = std::chrono::steady_clock::now();
    const int rc = ::posix_spawn(&pid, words[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return f;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return f;
    f.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return f;
}

std::string g_cli;
std::string g_image;
Radios* g_radios = nullptr;
double g_oneRadio = 0; // the best wall time of one radio

void BM_WriteRadiosAtOnce(benchmark::State& state)
{
    const int n = int(state.range(0));
    for (auto _ : state) {
        std::vector<std::string> words = {g_cli, "write", g_image};
        for (int i = 0; i < n; ++i) {
            words.push_back("--port");
            words.push_back(g_radios->Devices()[std::size_t(i)]);
        }
        const Figures f = RunCommand(words);
        if (!f.ok) {
            state.SkipWithError("the write failed");
            return;
        }
        state.SetIterationTime(f.wall);
        if (n == 1 && (g_oneRadio == 0 || f.wall < g_oneRadio))
            g_oneRadio = f.wall;
        const double ratio = g_oneRadio > 0 ? f.wall / g_oneRadio : 0;
        state.counters["wall/one"] = ratio;
        state.counters["cpu/wall%"] = 100.0 * f.cpu / f.wall;
        std::printf("%d radio%s: wall %.3f s, wall / one radio %.3f (limit 1.1), command CPU %.3f s, CPU/wall "
                    "%.2f%% (limit 5%%)\n",
                    n, n == 1 ? "" : "s", f.wall, ratio, f.cpu, 100.0 * f.cpu / f.wall);
    }
}

BENCHMARK(BM_WriteRadiosAtOnce)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Iterations(1)
    ->Repetitions(2)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    g_cli = Beside("zemtra800-cli");
    if (::access(g_cli.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "many_radios_bench: %s is not there; build zemtra800-cli first\n", g_cli.c_str());
        return 1;
    }
    // Backups and the job log go to a folder of the benchmark's own.
    char folder[] = "/tmp/many-radios-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        return 1;
    ::setenv("XDG_DATA_HOME", folder, 1);
    g_image = std::string(folder) + "/golden.dat";
    if (!RunCommand({g_cli, "new", "-o", g_image}).ok) {
        std::fprintf(stderr, "many_radios_bench: could not make %s\n", g_image.c_str());
        return 1;
    }
    Radios radios(g_cli);
    if (radios.Devices().size() != kMostRadios) {
        std::fprintf(stderr, "many_radios_bench: the simulated radios did not start\n");
        return 1;
    }
    g_radios = &radios;
    std::printf("%d line-timed simulated radios in a child process; backups and job log in %s\n", kMostRadios,
                folder);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::string cleanup = std::string("rm -rf '") + folder + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
