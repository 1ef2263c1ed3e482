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
};

TEST(SimulatedRadioTest, ForgetsExclusiveUseAndUnreadAnswersAtTheProgramsClose)
{
    auto radio = StartedRadio(Pattern());
    {
        Line line(radio->DevicePath());
        ASSERT_EQ(::ioctl(line.fd, TIOCEXCL), 0);
        WriteAll(line.fd, Bytes{'P', 'R', 'O', 'G', 'R', 'A', 'M'});
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

} // namespace
