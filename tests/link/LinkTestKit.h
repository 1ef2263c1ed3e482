#pragma once
// What the link tests share: byte strings, time, a memory pattern, a bare
// pseudo-terminal and reads with a deadline on a descriptor.
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
#include <atomic>
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
