#include "link/SerialPort.h"

#include "link/PortDiagnosis.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool BaudConstant(int baud, speed_t& out)
{
    switch (baud) {
    case 1200: out = B1200; return true;
    case 2400: out = B2400; return true;
    case 4800: out = B4800; return true;
    case 9600: out = B9600; return true;
    case 19200: out = B19200; return true;
    case 38400: out = B38400; return true;
    case 57600: out = B57600; return true;
    case 115200: out = B115200; return true;
    default: return false;
    }
}

// A pseudo-terminal or a simple adapter has no modem-control lines to set.
bool NoModemControl(int error)
{
    return error == ENOTTY || error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP;
}

// Exclusive use belongs to the terminal, not to our descriptor: a terminal
// that outlives our close (a pseudo-terminal whose other side stays open)
// would otherwise stay locked against the next open. A flag some other
// program set is its own to clear.
void CloseDevice(int fd, bool ownExclusive)
{
    if (ownExclusive)
        ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

// Errors by which a device tells that it is no longer there.
bool DeviceGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

} // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort()
{
    Close();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void SerialPort::Wake()
{
    if (wakeFd_ < 0)
        return;
    uint64_t one = 1;
    ssize_t r;
    do {
        r = ::write(wakeFd_, &one, sizeof one);
    } while (r < 0 && errno == EINTR);
}

// Asks the watch thread to end and waits for it, so that nothing it uses can
// go away under it. The caller holds controlLock_.
void SerialPort::StopAndJoin()
{
    if (!watchThread_.joinable())
        return;
    shutdownRequested_ = true;
    Wake();
    if (watchThread_.get_id() == std::this_thread::get_id()) {
        // Called from the owner's notification: the loop ends when it returns.
        watchThread_.detach();
        return;
    }
    watchThread_.join();
}

bool SerialPort::Open(SerialPortOwner* owner, const std::string& device, int portNumber,
                      int baud, char parity, int dataBits, int stopBits,
                      uint32_t eventMask, std::size_t transmitBufferSize)
{
    std::lock_guard<std::mutex> control(controlLock_);
    StopAndJoin();

    if (wakeFd_ < 0) {
        wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wakeFd_ < 0) {
            openError_ = errno;
            return false;
        }
    }
    {
        std::lock_guard<std::mutex> lock(portLock_);
        owner_ = owner;
        portNumber_ = portNumber;
        eventMask_ = eventMask;
        transmitBufferSize_ = transmitBufferSize;
        transmitQueue_.clear();
        transmitOffset_ = 0;
        receiveBuffer_.reset(new uint8_t[kReceiveBufferSize]());
        receivedCount_ = 0;
        if (fd_ >= 0) {
            CloseDevice(fd_, ownExclusive_);
            fd_ = -1;
            ownExclusive_ = false;
        }
        device_ = device;
    }
    openError_ = 0;
    lineLost_ = false;

    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openError_ = errno;
        return false;
    }
    // Exclusive use, refused to everyone alike: a terminal another program
    // holds with the exclusive flag (the kernel lets root open it anyway), or
    // one another program has locked. TIOCEXCL then keeps out plain opens.
    int exclusive = 0;
    if ((::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) ||
        (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)) {
        ::close(fd);
        openError_ = EBUSY;
        return false;
    }
    // A program that opened the line without locking it would read the
    // radio's answers too: the line is busy while anyone else holds it. The
    // far end of a pseudo-terminal (the simulated radio) does not count.
    struct stat node {};
    if (::isatty(fd) == 1 && ::fstat(fd, &node) == 0 && !FindPortHolders(node.st_rdev).empty()) {
        ::close(fd);
        openError_ = EBUSY;
        return false;
    }
    const bool ownExclusive = ::ioctl(fd, TIOCEXCL) == 0;

    auto fail = [&](const char* operation, int error) {
        CloseDevice(fd, ownExclusive);
        ReportError(operation, error);
        return false;
    };

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail("tcgetattr()", errno);
    ::cfmakeraw(&tio);
    speed_t speed;
    if (!BaudConstant(baud, speed))
        return fail("cfsetspeed()", EINVAL);
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return fail("cfsetspeed()", errno);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: return fail("tcsetattr()", EINVAL);
    }
    if (parity == 'E' || parity == 'e')
        tio.c_cflag |= PARENB;
    else if (parity == 'O' || parity == 'o')
        tio.c_cflag |= PARENB | PARODD;
    else if (parity != 'N' && parity != 'n')
        return fail("tcsetattr()", EINVAL);
    if (stopBits == 2)
        tio.c_cflag |= CSTOPB;
    else if (stopBits != 1)
        return fail("tcsetattr()", EINVAL);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    // The 1000 ms read time-out; writes never block (the descriptor is
    // non-blocking and a failing write is given up after a bound).
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 10;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail("tcsetattr()", errno);

    int rts = TIOCM_RTS;
    if (::ioctl(fd, TIOCMBIS, &rts) != 0 && !NoModemControl(errno))
        return fail("ioctl(TIOCMBIS)", errno);

    ::tcflush(fd, TCIOFLUSH);

    const int parityBits = (parity == 'N' || parity == 'n') ? 0 : 1;
    byteNanoseconds_ = 1000000000L * (1 + dataBits + parityBits + stopBits) / baud;
    expected_ = 0;

    std::lock_guard<std::mutex> lock(portLock_);
    fd_ = fd;
    ownExclusive_ = ownExclusive;
    return true;
}

bool SerialPort::StartWatching()
{
    std::lock_guard<std::mutex> control(controlLock_);
    int fd;
    {
        std::lock_guard<std::mutex> lock(portLock_);
        fd = fd_;
    }
    if (fd < 0 || wakeFd_ < 0)
        return false;
    if (watchThread_.joinable()) {
        if (!shutdownRequested_ && alive_)
            return true; // already watching
        StopAndJoin();
    }
    uint64_t stale;
    while (::read(wakeFd_, &stale, sizeof stale) > 0) {
    }
    // Whatever arrived before anyone listened is not an answer to us. Done
    // here rather than on the new thread, so that nothing arriving after
    // StartWatching returns can be discarded.
    ::tcflush(fd, TCIOFLUSH);
    shutdownRequested_ = false;
    alive_ = true;
    try {
        watchThread_ = std::thread(&SerialPort::WatchThread, this, fd, wakeFd_);
    } catch (const std::system_error&) {
        alive_ = false;
        return false;
    }
    return true;
}

bool SerialPort::StopWatching()
{
    std::lock_guard<std::mutex> control(controlLock_);
    shutdownRequested_ = true;
    Wake();
    return true;
}

void SerialPort::Close()
{
    std::lock_guard<std::mutex> control(controlLock_);
    StopAndJoin();
    std::lock_guard<std::mutex> lock(portLock_);
    if (fd_ >= 0) {
        CloseDevice(fd_, ownExclusive_);
        fd_ = -1;
        ownExclusive_ = false;
    }
    transmitQueue_.clear();
    transmitOffset_ = 0;
}

bool SerialPort::IsOpen() const
{
    std::lock_guard<std::mutex> lock(portLock_);
    return fd_ >= 0;
}

void SerialPort::Send(const uint8_t* bytes, std::size_t n)
{
    {
        std::lock_guard<std::mutex> lock(portLock_);
        // A device that went away takes nothing more; that was said once.
        if (fd_ < 0 || n == 0 || lineLost_)
            return;
        if (n <= transmitBufferSize_) {
            // With nothing waiting, hand the frame to the driver at once (the
            // descriptor never blocks) rather than waking the watch thread for
            // it: one thread hop less per frame.
            std::size_t written = 0;
            if (transmitQueue_.empty() && alive_ && !shutdownRequested_) {
                ssize_t w;
                do {
                    w = ::write(fd_, bytes, n);
                } while (w < 0 && errno == EINTR);
                if (w > 0)
                    written = static_cast<std::size_t>(w);
            }
            if (written == n)
                return;
            // Frames queue behind one another: one not yet written is never
            // overwritten. The watch thread writes the rest, retries and reports.
            transmitQueue_.emplace_back(bytes + written, bytes + n);
            n = 0;
        }
    }
    if (n != 0) {
        ReportError("Send()", EMSGSIZE);
        return;
    }
    Wake();
}

std::size_t SerialPort::TakeReceived(uint8_t* dest)
{
    std::lock_guard<std::mutex> lock(portLock_);
    std::size_t n = receivedCount_;
    if (n != 0)
        std::memcpy(dest, receiveBuffer_.get(), n);
    receivedCount_ = 0;
    return n;
}

void SerialPort::WatchThread(int fd, int wakeFd)
{
    bool lineUp = true;
    // Frames queued before watching began leave now.
    bool waitForRoom = TransmitPending(fd);
    while (!shutdownRequested_) {
        pollfd fds[2] = {};
        fds[0].fd = wakeFd;
        fds[0].events = POLLIN;
        nfds_t count = 1;
        if (lineUp) {
            fds[1].fd = fd;
            fds[1].events = static_cast<short>(((eventMask_ & 0x0001) ? POLLIN : 0) |
                                               (waitForRoom ? POLLOUT : 0));
            count = 2;
        }
        // Bytes the owner waits for arrive one character time apart: let all
        // but the last of them come in before looking, rather than waking for
        // each. A shutdown or a frame to send still wakes the thread at once.
        const std::size_t due = expected_;
        if (lineUp && due > 1 && !waitForRoom) {
            const long pause = static_cast<long>(due - 1) * byteNanoseconds_;
            timespec ts{pause / 1000000000L, pause % 1000000000L};
            pollfd wake{wakeFd, POLLIN, 0};
            if (::ppoll(&wake, 1, &ts, nullptr) > 0) {
                uint64_t value;
                while (::read(wakeFd, &value, sizeof value) > 0) {
                }
                if (shutdownRequested_)
                    break;
                waitForRoom = TransmitPending(fd);
            }
        }
        int r = ::poll(fds, count, -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            ReportError("poll()", errno);
            break;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t value;
            while (::read(wakeFd, &value, sizeof value) > 0) {
            }
        }
        if (shutdownRequested_)
            break;
        if (lineUp && (fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            lineUp = ReadAvailable(fd, fds[1].revents);
        waitForRoom = TransmitPending(fd);
        if (lineLost_)
            lineUp = false;
    }
    alive_ = false;
}

// Reads everything waiting on the line into the receive buffer (bytes beyond
// its 1024 are dropped) and tells the owner once. false when the line is gone:
// it is then no longer watched, so a hung-up device cannot make the thread
// spin, and the owner hears of it once.
bool SerialPort::ReadAvailable(int fd, short revents)
{
    bool gotBytes = false;
    bool lineUp = true;
    int error = 0;
    uint8_t chunk[256];
    for (;;) {
        ssize_t r = ::read(fd, chunk, sizeof chunk);
        if (r > 0) {
            std::lock_guard<std::mutex> lock(portLock_);
            std::size_t room = kReceiveBufferSize - receivedCount_;
            std::size_t keep = static_cast<std::size_t>(r) < room ? static_cast<std::size_t>(r) : room;
            std::memcpy(receiveBuffer_.get() + receivedCount_, chunk, keep);
            receivedCount_ += keep;
            gotBytes = true;
            const std::size_t due = expected_;
            expected_ = due > static_cast<std::size_t>(r) ? due - static_cast<std::size_t>(r) : 0;
            if (static_cast<std::size_t>(r) < sizeof chunk)
                break; // drained; the next byte wakes poll again
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN) {
            error = errno;
            lineUp = false;
        } else if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
            error = EIO;
            lineUp = false;
        }
        break;
    }
    if (gotBytes && owner_ != nullptr) {
        bool pending;
        {
            std::lock_guard<std::mutex> lock(portLock_);
            pending = receivedCount_ > 0;
        }
        if (pending)
            owner_->OnPortData(*this, portNumber_);
    }
    if (!lineUp)
        LoseLine(error);
    return lineUp;
}

// Writes queued frames in order. Returns true while a frame waits for room
// in the driver. The line is not purged before a transmission: the radio's
// answer to an earlier frame may already sit in the driver, and a frame
// written just before may not have left yet.
bool SerialPort::TransmitPending(int fd)
{
    int failed = 0;
    bool waitForRoom = false;
    {
        std::lock_guard<std::mutex> lock(portLock_);
        if (lineLost_) {
            transmitQueue_.clear();
            transmitOffset_ = 0;
        }
        int attempts = 0;
        while (!transmitQueue_.empty()) {
            std::vector<uint8_t>& frame = transmitQueue_.front();
            ssize_t w = ::write(fd, frame.data() + transmitOffset_, frame.size() - transmitOffset_);
            if (w > 0) {
                attempts = 0;
                transmitOffset_ += static_cast<std::size_t>(w);
                if (transmitOffset_ == frame.size()) {
                    transmitQueue_.pop_front();
                    transmitOffset_ = 0;
                }
                continue;
            }
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0 && errno == EAGAIN) {
                waitForRoom = true;
                break;
            }
            if (w < 0 && DeviceGone(errno)) {
                failed = errno;
                transmitQueue_.clear();
                transmitOffset_ = 0;
                break;
            }
            if (++attempts < kWriteAttempts)
                continue;
            // The line refuses the frame: give it up together with every frame
            // behind it, which the radio could not make sense of alone.
            failed = (w < 0) ? errno : EIO;
            transmitQueue_.clear();
            transmitOffset_ = 0;
        }
    }
    if (DeviceGone(failed))
        LoseLine(failed);
    else if (failed != 0)
        ReportError("write()", failed);
    return waitForRoom;
}

void SerialPort::ReportError(const char* operation, int error)
{
    // A device given by its path has no number: it is named instead.
    const std::string port = portNumber_ > 0 ? std::to_string(portNumber_) : device_;
    char text[512];
    std::snprintf(text, sizeof text, "WARNING:  %s Failed with the following error: \n%s\nPort: %s\n",
                  operation, std::strerror(error), port.c_str());
    if (owner_ != nullptr)
        owner_->OnPortError(text);
    else
        std::fputs(text, stderr);
}

void SerialPort::LoseLine(int error)
{
    if (lineLost_.exchange(true))
        return;
    if (owner_ != nullptr)
        owner_->OnLineLost(error);
    else
        std::fprintf(stderr, "%s: the port went away (%s)\n", device_.c_str(), std::strerror(error));
}
