#pragma once
// What the link tests share: byte strings, time, a memory pattern, a bare
// pseudo-terminal, reads with a deadline on a descriptor, job logs read back,
// and a simulated radio with a radio link whose reports are recorded.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/RadioLink.h"
#include "sim/SimulatedRadio.h"

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point from, Clock::time_point to = Clock::now())
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Every byte different from its neighbours, so that a shifted block shows.
inline SimulatedRadio::Memory Pattern()
{
    SimulatedRadio::Memory m;
    for (std::size_t i = 0; i < m.size(); ++i)
        m[i] = static_cast<uint8_t>(i * 7 + 3);
    return m;
}

inline void WriteAll(int fd, const Bytes& b)
{
    EXPECT_EQ(::write(fd, b.data(), b.size()), ssize_t(b.size()));
}

// Up to n bytes, waiting at most timeoutMs for all of them.
inline Bytes ReadUpTo(int fd, std::size_t n, int timeoutMs = 1000)
{
    Bytes out;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out.size() < n && Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        uint8_t buf[512];
        if (::poll(&p, 1, 5) <= 0)
            continue;
        const ssize_t r = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (r <= 0)
            break;
        out.insert(out.end(), buf, buf + r);
    }
    return out;
}

// A file's lines, and a job log's "port job result" of each line.
inline std::vector<std::string> FileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
inline std::vector<std::string> LoggedJobs(const std::string& path)
{
    const std::regex job(R"re("job":"(\w+)","port":"([^"]*)","device":"[^"]*","result":"(\w+))re");
    std::vector<std::string> jobs;
    for (const std::string& line : FileLines(path)) {
        std::smatch m;
        jobs.push_back(std::regex_search(line, m, job) ? m[2].str() + " " + m[1].str() + " " + m[3].str() : line);
    }
    return jobs;
}

// The far end of a line: the master side of a pseudo-terminal, path its
// slave.
struct Pty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::string path = (::grantpt(master), ::unlockpt(master), std::string(::ptsname(master)));
    ~Pty() { Hang(); }
    void Hang()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
};

// Records everything a job reports. All but port errors come from the job
// thread, and the test reads them only after WaitForJob has joined it; port
// errors may come from the port's watch thread at any time (PortErrors).
struct Recorder : JobObserver {
    struct Trace {
        std::string line;
        Clock::time_point at;
    };
    void OnTrace(const std::string& line) override { traces.push_back({line, Clock::now()}); }
    void OnProgress(int position) override { events.push_back("progress"), progress.push_back(position); }
    void OnBeep(int hz, int ms) override { beeps.push_back(ms == 500 ? hz : -1); }
    bool AskModelOverwrite() override { return ++questions, answerYes; }
    void OnIdentification(const uint8_t* b) override { events.push_back("ident"), ident.assign(b, b + 8); }
    void OnReadComplete(const uint8_t* b) override { events.push_back("image"), image.assign(b, b + 2048); }
    void OnInfoComplete(const uint8_t* b) override { info.assign(b, b + 16); }
    void OnWriteClosed() override { events.push_back("closed"); }
    void OnReadBack(const uint8_t* b, const ImageCompare::VerifyResult& r) override
    {
        events.push_back("readback"), readBack.assign(b, b + 2048), verify = r;
    }
    void OnJobEnded(LinkJobMode mode, bool ok) override { events.push_back("ended"), endedMode = mode, ended = ok; }
    void OnPortError(const std::string& text) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        portErrors.push_back(text);
    }
    void OnArchiveProblem(const std::string& text) override { problems.push_back(text); }
    void OnPortLost(const std::string& device, LinkJobMode mode) override
    {
        events.push_back("lost");
        lost.push_back(device + " " + std::to_string(mode));
    }
    std::vector<std::string> PortErrors()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return portErrors;
    }

    std::vector<std::string> Texts(std::size_t from, std::size_t n) const
    {
        std::vector<std::string> out;
        for (std::size_t i = from; i < from + n && i < traces.size(); ++i)
            out.push_back(traces[i].line);
        return out;
    }
    // Trace lines that start with prefix (e.g. "Tr : 52 07 D0 ").
    std::vector<Trace> Lines(const std::string& prefix) const
    {
        std::vector<Trace> out;
        for (const Trace& t : traces)
            if (t.line.rfind(prefix, 0) == 0)
                out.push_back(t);
        return out;
    }

    std::mutex mutex;
    bool answerYes = false;
    int questions = 0;
    int ended = -1;
    LinkJobMode endedMode = JobIdle;
    std::vector<Trace> traces;
    std::vector<std::string> events, lost, problems;
    std::vector<int> progress, beeps;
    std::vector<uint8_t> ident, image, info, readBack;
    ImageCompare::VerifyResult verify;

private:
    std::vector<std::string> portErrors;
};

struct Bench {
    std::unique_ptr<SimulatedRadio> radio;
    Recorder observer;
    std::unique_ptr<RadioLink> link;

    explicit Bench(const SimulatedRadioOptions& options = {}, const std::string& model = "Q80103")
        : radio(std::make_unique<SimulatedRadio>(options))
    {
        radio->SetMemory(Pattern());
        radio->SetModelCode(model);
        std::string error;
        EXPECT_TRUE(radio->Start(&error)) << error;
        link = std::make_unique<RadioLink>(observer);
    }
    // The jobs' reports go through another observer (which passes them on).
    void Through(JobObserver& first) { link = std::make_unique<RadioLink>(first); }
    bool Run(LinkJobMode mode, const uint8_t* image = nullptr, const std::string& modelCode = {},
             bool readBack = false)
    {
        if (!link->OpenPort(radio->DevicePath(), 0))
            return false;
        if (!link->StartJob(mode, image, modelCode, readBack))
            return false;
        link->WaitForJob();
        return observer.ended == 1;
    }
};
