#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "SimulatedRadio.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

double MsSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The program's end of the line: a raw descriptor on the radio's device.
struct Line {
    int fd;
    explicit Line(const std::string& path) : fd(::open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    ~Line() { ::close(fd); }
    void Send(const Bytes& b) { EXPECT_EQ(::write(fd, b.data(), b.size()), ssize_t(b.size())); }
    // Up to n bytes, waiting at most timeoutMs for all of them.
    Bytes Receive(std::size_t n, int timeoutMs = 1000)
    {
        Bytes out;
        const auto end = Clock::now() + milliseconds(timeoutMs);
        while (out.size() < n && Clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            uint8_t buf[64];
            if (::poll(&p, 1, 5) <= 0)
                continue;
            ssize_t r = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
            if (r <= 0)
                break;
            out.insert(out.end(), buf, buf + r);
        }
        return out;
    }
    Bytes Ask(const Bytes& b, std::size_t n, int timeoutMs = 1000) { Send(b); return Receive(n, timeoutMs); }
};

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
const Bytes kAck{0x06};
const Bytes kWake = B("PROGRAM");
const Bytes kClose{0x06, 'E'};

uint8_t Sum(const uint8_t* p) { unsigned s = 0; for (int i = 0; i < 8; ++i) s += p[i]; return uint8_t(s); }
Bytes ReadRequest(unsigned a) { return {'R', uint8_t(a >> 8), uint8_t(a), 0x08}; }
Bytes WriteFrame(unsigned a, const Bytes& d)
{
    Bytes f{0x06, 'W', uint8_t(a >> 8), uint8_t(a), 0x08};
    for (uint8_t b : d)
        f.push_back(b);
    f.push_back(Sum(d.data()));
    return f;
}

// The opening exchange as the program runs it; returns the identification.
Bytes Open(Line& line)
{
    EXPECT_EQ(line.Ask(kWake, 1), kAck);
    Bytes ident = line.Ask({0x02}, 8);
    EXPECT_EQ(line.Ask(kAck, 1), kAck);
    return ident;
}

std::unique_ptr<SimulatedRadio> Started(const SimulatedRadioOptions& o = {})
{
    auto radio = std::make_unique<SimulatedRadio>(o);
    std::string error;
    EXPECT_TRUE(radio->Start(&error)) << error;
    return radio;
}

TEST(SimulatedRadioTest, IdentifiesWithTheModelCodeFirstToLastAndAnswersRetries)
{
    auto radio = Started();
    Line line(radio->DevicePath());
    ASSERT_GE(line.fd, 0);
    // A new radio holds the image a new document saves: model "Q80103".
    EXPECT_EQ(Open(line), B("Q80103\xFF\xFF"));

    radio->SetModelCode("ABCDEFGH");
    const auto m = radio->GetMemory();
    EXPECT_EQ(Bytes(m.begin() + 1984, m.begin() + 1992), B("HGFEDCBA"));
    line.Send(kWake); // resent, as the program does when an answer is late
    EXPECT_EQ(line.Ask(kWake, 2), (Bytes{0x06, 0x06}));
    EXPECT_EQ(line.Ask({0x02, 0x02}, 16), B("ABCDEFGHABCDEFGH"));
    const auto s = radio->GetStats();
    EXPECT_EQ(s.wakeUps, 3);
    EXPECT_EQ(s.identifyRequests, 3);
}

TEST(SimulatedRadioTest, ReadRequestGetsThirteenBytesAndACloseEndsTheSession)
{
    auto radio = Started();
    SimulatedRadio::Memory m;
    for (std::size_t i = 0; i < m.size(); ++i)
        m[i] = uint8_t(i * 7 + 3);
    radio->SetMemory(m);
    int writeCallbacks = 0;
    radio->SetOnWriteComplete([&](const SimulatedRadio::Memory&) { ++writeCallbacks; });
    Line line(radio->DevicePath());
    Open(line);

    Bytes r = line.Ask(ReadRequest(2040), 13);
    ASSERT_EQ(r.size(), 13u);
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 4), (Bytes{'R', 0x07, 0xF8, 0x08}));
    EXPECT_EQ(Bytes(r.begin() + 4, r.begin() + 12), Bytes(m.begin() + 2040, m.end()));
    EXPECT_EQ(r[12], Sum(m.data() + 2040));
    EXPECT_EQ(line.Ask(kAck, 1), kAck);

    // Split across reads, then asked again: answered twice.
    line.Send({'R', 0x00});
    std::this_thread::sleep_for(milliseconds(5));
    line.Send({0x10, 0x08});
    r = line.Ask(ReadRequest(16), 26);
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(Bytes(r.begin() + 4, r.begin() + 12), Bytes(m.begin() + 16, m.begin() + 24));
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 13), Bytes(r.begin() + 13, r.end()));
    EXPECT_EQ(line.Ask(kAck, 1), kAck);

    EXPECT_EQ(line.Ask(kClose, 1), kAck);
    const auto s = radio->GetStats();
    EXPECT_EQ(s.blocksRead, 3);
    EXPECT_EQ(s.sessionsCompleted, 1);
    EXPECT_EQ(writeCallbacks, 0);
}

TEST(SimulatedRadioTest, WriteIsStoredAcknowledgedAndReportedOnceAtClose)
{
    auto radio = Started();
    std::vector<SimulatedRadio::Memory> reported;
    radio->SetOnWriteComplete([&](const SimulatedRadio::Memory& mem) { reported.push_back(mem); });
    Line line(radio->DevicePath());
    Open(line);

    const Bytes data{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(line.Ask(WriteFrame(1992, data), 1), kAck);
    // A damaged frame is neither stored nor acknowledged.
    Bytes bad = WriteFrame(0, data);
    bad.back() ^= 1;
    EXPECT_TRUE(line.Ask(bad, 1, 100).empty());
    const auto m = radio->GetMemory();
    EXPECT_EQ(Bytes(m.begin() + 1992, m.begin() + 2000), data);
    EXPECT_EQ(m[0], 0xFF);

    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(line.Ask(kClose, 1), kAck);
    EXPECT_EQ(line.Ask(kClose, 1), kAck); // a repeated close is answered, not reported
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], m);
    const auto s = radio->GetStats();
    EXPECT_EQ(s.blocksWritten, 1);
    EXPECT_EQ(s.sessionsCompleted, 1);
}

TEST(SimulatedRadioTest, ServesSessionAfterSessionAndStopsPromptly)
{
    auto radio = Started();
    for (int job = 0; job < 3; ++job) {
        {
            SCOPED_TRACE(job);
            Line line(radio->DevicePath());
            ASSERT_GE(line.fd, 0);
            ASSERT_EQ(::ioctl(line.fd, TIOCEXCL), 0);
            Open(line);
            EXPECT_EQ(line.Ask(kClose, 1), kAck);
            line.Send(kWake); // an answer nobody reads before the port closes
            std::this_thread::sleep_for(milliseconds(10));
        }
        std::this_thread::sleep_for(milliseconds(30)); // jobs are apart
    }
    Line line(radio->DevicePath());
    int exclusive = -1;
    ASSERT_EQ(::ioctl(line.fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0); // as a real port, it forgets exclusive use at close
    EXPECT_TRUE(line.Receive(1, 50).empty()); // and the unread answer
    EXPECT_EQ(radio->GetStats().sessionsCompleted, 3);

    auto slow = Started({.answerDelayMs = 5000});
    Line slowLine(slow->DevicePath());
    slowLine.Send(kWake);
    std::this_thread::sleep_for(milliseconds(20));
    const auto t0 = Clock::now();
    slow->Stop();
    EXPECT_LT(MsSince(t0), 500);
    EXPECT_FALSE(slow->IsRunning());
}

TEST(SimulatedRadioFaultTest, SilentStrayAndLateAnswers)
{
    auto silent = Started({.silent = true});
    Line quiet(silent->DevicePath());
    quiet.Send(kWake);
    quiet.Send(kWake);
    EXPECT_TRUE(quiet.Ask(kWake, 1, 100).empty());
    EXPECT_EQ(silent->GetStats().wakeUps, 3);

    auto stray = Started({.strayBytesBeforeAck = 2});
    Line line(stray->DevicePath());
    const Bytes r = line.Ask(kWake, 3);
    EXPECT_EQ(r.size(), 3u);
    EXPECT_EQ(std::count(r.begin(), r.end(), 0x06), 1);
    EXPECT_EQ(r.back(), 0x06);

    auto late = Started({.answerDelayMs = 60});
    Line lateLine(late->DevicePath());
    const auto t0 = Clock::now();
    EXPECT_EQ(lateLine.Ask(kWake, 1), kAck);
    EXPECT_GE(MsSince(t0), 59);
    EXPECT_LT(MsSince(t0), 300);
}

TEST(SimulatedRadioFaultTest, BadChecksumAndLengthFromTheirBlock)
{
    auto radio = Started({.badChecksumFromBlock = 1, .badLengthFromBlock = 2});
    const auto m = radio->GetMemory();
    Line line(radio->DevicePath());
    Open(line);
    for (unsigned block = 0; block < 3; ++block) {
        const Bytes r = line.Ask(ReadRequest(block * 8), 13);
        ASSERT_EQ(r.size(), 13u);
        const uint8_t sum = Sum(m.data() + block * 8);
        EXPECT_EQ(r[3], block < 2 ? 0x08 : 0x07) << block;
        EXPECT_EQ(r[12], block < 1 ? sum : uint8_t(sum + 1)) << block;
        EXPECT_EQ(line.Ask(kAck, 1), kAck);
    }
}

TEST(SimulatedRadioFaultTest, HangUpStopsAnsweringOrClosesTheLine)
{
    auto radio = Started({.hangUpAfterBlocks = 2});
    Line line(radio->DevicePath());
    Open(line);
    EXPECT_EQ(line.Ask(ReadRequest(0), 13).size(), 13u);
    EXPECT_EQ(line.Ask(kAck, 1), kAck);
    // The second block is stored but never acknowledged; then nothing at all.
    EXPECT_TRUE(line.Ask(WriteFrame(8, Bytes(8, 0x11)), 1, 100).empty());
    EXPECT_EQ(radio->GetMemory()[8], 0x11);
    EXPECT_TRUE(line.Ask(kWake, 1, 100).empty());
    EXPECT_TRUE(radio->GetStats().hungUp);

    auto unplugged = Started({.hangUpAfterBlocks = 0, .hangUpClosesLine = true});
    Line cut(unplugged->DevicePath());
    EXPECT_EQ(cut.Ask(kWake, 1), kAck);
    EXPECT_EQ(cut.Ask({0x02}, 8).size(), 8u);
    cut.Send(kAck);
    pollfd p{cut.fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    uint8_t b;
    EXPECT_LE(::read(cut.fd, &b, 1), 0);
}

TEST(SimulatedRadioFaultTest, LineTimingPacesEveryByteBothWays)
{
    auto radio = Started({.lineTiming = true});
    Line line(radio->DevicePath());
    Open(line);
    const double byteMs = SimulatedRadio::kByteTimeMs;
    const auto t0 = Clock::now();
    EXPECT_EQ(line.Ask(ReadRequest(0), 1).size(), 1u);
    const double first = MsSince(t0);
    EXPECT_EQ(line.Receive(12).size(), 12u);
    const double last = MsSince(t0);
    // 4 bytes in, then 13 out: ~19.5 ms, the response itself ~15 ms. A late
    // wake-up may delay a byte but the pace never runs ahead of the line.
    EXPECT_GE(first, 5 * byteMs * 0.95);
    EXPECT_GE(last, 17 * byteMs * 0.95);
    EXPECT_LT(last, 17 * byteMs + 25);
}

} // namespace
