// The simulated radio as the program's end of the line sees it. Whole jobs
// against it are in RadioLinkTest; here is what they don't reach.

#include "../SimulatedRadios.h"
#include "LinkTestKit.h"

namespace {

using std::chrono::milliseconds;

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
    void Send(const Bytes& b) { WriteAll(fd, b); }
    Bytes Ask(const Bytes& b, std::size_t n, int timeoutMs = 1000) { Send(b); return ReadUpTo(fd, n, timeoutMs); }
};

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
const Bytes kAck{0x06};
const Bytes kWake = B("PROGRAM");
Bytes ReadRequest(unsigned a) { return {'R', uint8_t(a >> 8), uint8_t(a), 0x08}; }
// The opening exchange as the program runs it.
void Open(Line& line)
{
    EXPECT_EQ(line.Ask(kWake, 1), kAck);
    EXPECT_EQ(line.Ask({0x02}, 8).size(), 8u);
    EXPECT_EQ(line.Ask(kAck, 1), kAck);
}

TEST(SimulatedRadioTest, ForgetsExclusiveUseAndUnreadAnswersAtTheProgramsClose)
{
    auto radio = StartedRadio(Pattern());
    {
        Line line(radio->DevicePath());
        ASSERT_EQ(::ioctl(line.fd, TIOCEXCL), 0);
        line.Send(kWake);
        pollfd answered{line.fd, POLLIN, 0}; // the answer is there, unread, when the port closes
        ASSERT_EQ(::poll(&answered, 1, 2000), 1);
    }
    // The radio looks through every process's open files before it lets go
    // of the line, which takes a while on a busy machine: ask until it has.
    const auto deadline = Clock::now() + milliseconds(2000);
    int exclusive = -1, unread = -1;
    do {
        std::this_thread::sleep_for(milliseconds(30)); // jobs are apart
        Line line(radio->DevicePath()); // root opens an exclusive line anyway: ask
        ASSERT_EQ(::ioctl(line.fd, TIOCGEXCL, &exclusive), 0);
        ASSERT_EQ(::ioctl(line.fd, FIONREAD, &unread), 0);
    } while ((exclusive != 0 || unread != 0) && Clock::now() < deadline);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(unread, 0);
}

// Line timing paces every byte both ways.
TEST(SimulatedRadioFaultTest, LineTiming)
{
    auto radio = StartedRadio(Pattern(), {.lineTiming = true});
    Line line(radio->DevicePath());
    Open(line);
    const double byteMs = SimulatedRadio::kByteTimeMs;
    const auto t0 = Clock::now();
    EXPECT_EQ(line.Ask(ReadRequest(0), 1).size(), 1u);
    const double first = Ms(t0);
    EXPECT_EQ(ReadUpTo(line.fd, 12).size(), 12u);
    const double last = Ms(t0);
    // 4 bytes in, then 13 out: ~19.5 ms, the response itself ~15 ms. A late
    // wake-up may delay a byte but the pace never runs ahead of the line.
    EXPECT_GE(first, 5 * byteMs * 0.95);
    EXPECT_GE(last, 17 * byteMs * 0.95);
    EXPECT_LT(last, 17 * byteMs + 25);
}

} // namespace
