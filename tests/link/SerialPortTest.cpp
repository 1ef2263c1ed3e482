// The serial port engine over a bare pseudo-terminal pair.

#include "LinkTestKit.h"
#include "link/SerialPort.h"

namespace {

struct Owner : SerialPortOwner {
    void OnPortData(SerialPort& port, int portNumber) override
    {
        uint8_t buf[SerialPort::kReceiveBufferSize];
        const std::size_t n = port.TakeReceived(buf);
        Locked([&] { ++notifications, number = portNumber, received.insert(received.end(), buf, buf + n); });
    }
    void OnPortError(const std::string& text) override { Locked([&] { errors.push_back(text); }); }
    void OnLineLost(int error) override { Locked([&] { lost.push_back(error); }); }
    template <class F>
    void Locked(F f)
    {
        std::lock_guard<std::mutex> lock(mutex);
        f();
        changed.notify_all();
    }
    template <class Pred>
    bool WaitFor(Pred pred)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(1), pred);
    }

    std::mutex mutex;
    std::condition_variable changed;
    int notifications = 0, number = 0;
    Bytes received;
    std::vector<std::string> errors;
    std::vector<int> lost;
};

bool OpenRadioLine(SerialPort& port, Owner& owner, const std::string& device, int number = 7)
{
    return port.Open(&owner, device, number, 9600, 'N', 8, 2, 9, 512);
}

double CpuMs()
{
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

TEST(SerialPortTest, RawLineCarriesEveryByteBothWaysAndFramesLeaveInOrder)
{
    Pty pty;
    Owner owner;
    SerialPort port;
    ASSERT_TRUE(OpenRadioLine(port, owner, pty.path));
    // Queued before the watch thread runs: a 4-byte frame, then a 1-byte one.
    const uint8_t request[4] = {0x52, 0x07, 0xF8, 0x08};
    const uint8_t ack = 0x06;
    port.Send(request, 4);
    port.Send(&ack, 1);
    ASSERT_TRUE(port.StartWatching());
    EXPECT_EQ(ReadUpTo(pty.master, 5), (Bytes{0x52, 0x07, 0xF8, 0x08, 0x06}));

    // Every byte value, CR, ^C, XON/XOFF included, passes untouched, in
    // frames of 1..14 bytes sent back to back.
    Bytes all;
    for (int i = 0; i < 512; ++i)
        all.push_back(static_cast<uint8_t>(i));
    for (std::size_t at = 0, n = 1; at < all.size(); at += n, n = n % 14 + 1)
        port.Send(all.data() + at, std::min(n, all.size() - at));
    EXPECT_EQ(ReadUpTo(pty.master, all.size()), all);

    WriteAll(pty.master, all);
    ASSERT_TRUE(owner.WaitFor([&] { return owner.received.size() >= all.size(); }));
    EXPECT_EQ(owner.received, all);
    EXPECT_EQ(owner.number, 7);
    EXPECT_LT(owner.notifications, 100); // per burst, not per byte
    EXPECT_TRUE(owner.errors.empty());
}

// Another program holds the line with the exclusive flag. The kernel lets
// root open it anyway; the port refuses it to everyone, and the flag, which
// is that program's, stays set. Released, the line is ours: our flag while we
// hold it (a second port is refused), gone at our close.
TEST(SerialPortTest, OpenFailuresAndExclusiveUse)
{
    Owner owner;
    SerialPort port, other;
    // A missing device fails silently; the reason is kept for the caller.
    EXPECT_FALSE(OpenRadioLine(port, owner, "/dev/ttyUSB-missing"));
    EXPECT_EQ(port.OpenErrorCode(), ENOENT);
    EXPECT_TRUE(owner.errors.empty());
    // A device that is not a terminal fails configuring, with the warning text.
    EXPECT_FALSE(OpenRadioLine(port, owner, "/dev/null", 5));
    EXPECT_EQ(owner.errors, std::vector<std::string>{"WARNING:  tcgetattr() Failed with the following error: \n"
                                                     "Inappropriate ioctl for device\nPort: 5\n"});
    owner.errors.clear();

    Pty pty;
    const int holder = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
    auto exclusive = [&] {
        int flag = -1;
        EXPECT_EQ(::ioctl(holder, TIOCGEXCL, &flag), 0);
        return flag;
    };
    EXPECT_FALSE(OpenRadioLine(port, owner, pty.path));
    EXPECT_EQ(port.OpenErrorCode(), EBUSY) << "run as uid " << ::geteuid();
    EXPECT_FALSE(port.IsOpen());
    port.Close();
    EXPECT_EQ(exclusive(), 1);
    EXPECT_TRUE(ReadUpTo(pty.master, 1, 20).empty());

    ASSERT_EQ(::ioctl(holder, TIOCNXCL), 0);
    ASSERT_TRUE(OpenRadioLine(port, owner, pty.path));
    EXPECT_EQ(exclusive(), 1);
    EXPECT_FALSE(OpenRadioLine(other, owner, pty.path));
    EXPECT_EQ(other.OpenErrorCode(), EBUSY);
    // Reopening (after StopWatching, as every job does) closes the old handle.
    ASSERT_TRUE(port.StartWatching());
    port.StopWatching();
    ASSERT_TRUE(OpenRadioLine(port, owner, pty.path));
    ASSERT_TRUE(port.StartWatching());
    port.Close();
    EXPECT_EQ(exclusive(), 0);
    EXPECT_TRUE(OpenRadioLine(other, owner, pty.path)); // free again once closed
    ::close(holder);
    EXPECT_TRUE(owner.errors.empty());
}

TEST(SerialPortTest, LostLineIsReportedOnceAndNothingIsSentOrPolledAfter)
{
    Pty pty;
    Owner owner;
    auto port = std::make_unique<SerialPort>();
    ASSERT_TRUE(OpenRadioLine(*port, owner, pty.path, 3));
    ASSERT_TRUE(port->StartWatching());
    pty.Hang();
    ASSERT_TRUE(owner.WaitFor([&] { return !owner.lost.empty(); }));
    EXPECT_TRUE(port->LineLost());

    const double cpuBefore = CpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LT(CpuMs() - cpuBefore, 25.0); // the dead line is no longer polled

    // Frames for the dead line are dropped without a word each.
    const uint8_t frame[2] = {0x06, 0x45};
    for (int i = 0; i < 5; ++i)
        port->Send(frame, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard<std::mutex> lock(owner.mutex);
        EXPECT_EQ(owner.lost.size(), 1u);
        EXPECT_EQ(owner.lost[0], EIO);
        EXPECT_TRUE(owner.errors.empty()) << owner.errors[0];
    }

    // The destructor ends the watch thread before the buffers go.
    const auto start = Clock::now();
    port.reset();
    EXPECT_LT(Ms(start), 100.0);
}

} // namespace
