// From process start to the first painted main window of build/zemtra800.
// Each iteration launches the program with ZEMTRA800_STARTUP_PROBE set: it
// prints "first-paint-ms N" once its window has been painted, then quits.
// The time measured here runs from the spawn to that line, so it includes
// loading the program and its libraries; the program's own figure (from
// main() on) is reported as the counter in_main_ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
std::string ProgramPath()
{
    // Benchmarks and the program are built into the same folder.
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "zemtra800").string();
}

struct Launch {
    double spawnToPaintMs = -1;
    double inMainMs = -1;
};

Launch LaunchOnce(const std::string& program, const std::string& configHome)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0)
            env.emplace_back(*e);
    env.emplace_back("ZEMTRA800_STARTUP_PROBE=1");
    env.emplace_back("XDG_CONFIG_HOME=" + configHome);
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string arg0 = program, arg1 = "--no-splash";
    char* argv[] = {arg0.data(), arg1.data(), nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    Launch result;
    if (rc != 0) {
        close(out[0]);
        return result;
    }
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.find('\n') != std::string::npos && result.spawnToPaintMs < 0)
            result.spawnToPaintMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::sscanf(text.c_str(), "first-paint-ms %lf", &result.inMainMs);
    return result;
}

void BM_StartToFirstPaint(benchmark::State& state)
{
    const std::string program = ProgramPath();
    if (!std::filesystem::exists(program)) {
        state.SkipWithError("build the zemtra800 target first");
        return;
    }
    const std::string configHome = (std::filesystem::temp_directory_path() / "zemtra800-bench-profile").string();
    std::filesystem::create_directories(configHome);
    double inMain = 0;
    for (auto _ : state) {
        const Launch launch = LaunchOnce(program, configHome);
        if (launch.spawnToPaintMs < 0) {
            state.SkipWithError("the program printed no first-paint line");
            break;
        }
        state.SetIterationTime(launch.spawnToPaintMs / 1000.0);
        inMain += launch.inMainMs;
    }
    state.counters["in_main_ms"] = benchmark::Counter(inMain, benchmark::Counter::kAvgIterations);
    std::filesystem::remove_all(configHome);
}
BENCHMARK(BM_StartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace

BENCHMARK_MAIN();
