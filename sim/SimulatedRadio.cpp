#include "sim/SimulatedRadio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "image/CImportData.h"

namespace {

using Clock = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

constexpr uint8_t kAck = 0x06;
constexpr uint8_t kIdentify = 0x02;
constexpr uint8_t kRead = 'R';
constexpr uint8_t kWrite = 'W';
constexpr uint8_t kClose = 'E';
constexpr uint8_t kLength = 0x08;
constexpr uint8_t kWake[] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr std::size_t kWakeSize = sizeof kWake;
constexpr std::size_t kReadRequestSize = 4;
constexpr std::size_t kWriteFrameSize = 14;
constexpr std::size_t kModelOffset = ImageMap::kModelCode;
// Not 0x06, and unlike anything that starts an answer.
constexpr uint8_t kStray[] = {0x00, 0xFF, 0x15};

const Nanos kByteTime{static_cast<long long>(SimulatedRadio::kByteTimeMs * 1e6)};
// A 0x06 inside a connection either starts a write or close frame or is an
// acknowledge on its own. The program sends a frame in one piece, so a 0x06
// with nothing behind it for this long stands alone.
constexpr auto kLoneAckWait = std::chrono::milliseconds(20);

uint8_t Sum8(const uint8_t* bytes)
{
    unsigned sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

bool ValidAddress(unsigned address)
{
    return address % 8 == 0 && address + 8 <= SimulatedRadio::Memory{}.size();
}

SimulatedRadio::Memory NewDocumentImage()
{
    CImportData data;
    data.ResetSettings();
    data.EncodeAll();
    SimulatedRadio::Memory memory;
    data.GetBytes(memory.data(), 0, memory.size());
    return memory;
}

timespec ToTimespec(Nanos d)
{
    if (d < Nanos::zero())
        d = Nanos::zero();
    timespec ts;
    ts.tv_sec = static_cast<time_t>(d.count() / 1000000000LL);
    ts.tv_nsec = static_cast<long>(d.count() % 1000000000LL);
    return ts;
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

struct SimulatedRadio::Impl {
    // Where the connection stands, as the radio sees it.
    enum class Stage { Idle, Woken, IdentSent, Ready, ResponseSent, Closed };
    // The frame being collected.
    enum class Collect { None, Wake, Read, AfterAck, Write };

    explicit Impl(const SimulatedRadioOptions& o) : options(o), memory(NewDocumentImage()) {}

    const SimulatedRadioOptions options;

    mutable std::mutex mutex; // guards memory, stats, callback, path
    Memory memory;
    Stats stats;
    std::function<void(const Memory&)> onWriteComplete;
    std::string path;

    std::thread thread;
    std::atomic<bool> running{false};
    std::atomic<bool> plugged{true};
    std::atomic<unsigned> plugChanges{0}; // counts SetPlugged calls that changed it
    int master = -1;
    int slave = -1; // kept open so the master never sees the program's close as a hang-up
    int portWatch = -1; // inotify on the slave path
    int wakeRead = -1, wakeWrite = -1;

    // Serving thread only from here on.
    bool stopping = false;
    bool lineClosed = false;
    bool hungUp = false;
    Stage stage = Stage::Idle;
    Collect collect = Collect::None;
    std::vector<uint8_t> frame;
    Clock::time_point loneAckDeadline;
    Clock::time_point arrival;    // when the byte being handled has fully arrived
    Clock::time_point rxLineFree; // line timing: end of the last received byte
    Clock::time_point txLineFree; // line timing: end of the last sent byte
    int sessionBlocks = 0;
    int connections = 0; // "PROGRAM" frames since Start
    bool sessionWrote = false;
    std::size_t strayIndex = 0;
    unsigned plugChangesSeen = 0;

    bool Open(std::string* error);
    void CloseAll();
    void Serve();
    void Feed(const uint8_t* bytes, std::size_t n);
    void Handle(uint8_t b);
    void AtBoundary(uint8_t b);
    void Begin(Collect what, uint8_t b); // the first byte of a frame
    void Drop();                         // back to frame boundaries
    void OnWake();
    void OnIdentify();
    void OnLoneAck();
    bool OnReadRequest();
    void OnWriteFrame();
    void OnClose();
    void AckOrHangUp();
    void SendAck();
    void Answer(const uint8_t* bytes, std::size_t n);
    void WriteAll(const uint8_t* bytes, std::size_t n);
    bool SleepUntil(Clock::time_point when);
    void PortEvents();
    bool LineHeldElsewhere() const;
    void LineTrouble();
    void HangUp();

    template <class F> void Count(F f)
    {
        std::lock_guard<std::mutex> lock(mutex);
        f(stats);
    }
};

bool SimulatedRadio::Impl::Open(std::string* error)
{
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        CloseAll();
        return false;
    };
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return fail("posix_openpt");
    if (::grantpt(master) != 0)
        return fail("grantpt");
    if (::unlockpt(master) != 0)
        return fail("unlockpt");
    char name[128];
    if (::ptsname_r(master, name, sizeof name) != 0)
        return fail("ptsname");
    // Raw on the master sets the terminal's own modes: no echo, no character
    // translation, before any program has opened it.
    termios tio{};
    if (::tcgetattr(master, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    tio.c_cflag |= CSTOPB | CLOCAL | CREAD;
    if (::tcsetattr(master, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave < 0)
        return fail(name);
    // A real port forgets exclusive use and unread input at its last close; a
    // pseudo-terminal lives on with its master, so the radio watches closes
    // of its line and does the same once nobody else holds it.
    portWatch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (portWatch >= 0 && ::inotify_add_watch(portWatch, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0)
        CloseFd(portWatch);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0)
        return fail("pipe");
    wakeRead = pipeFds[0];
    wakeWrite = pipeFds[1];
    std::lock_guard<std::mutex> lock(mutex);
    path = name;
    stats.hungUp = false;
    return true;
}

void SimulatedRadio::Impl::CloseAll()
{
    CloseFd(portWatch);
    CloseFd(slave);
    CloseFd(master);
    CloseFd(wakeRead);
    CloseFd(wakeWrite);
}

void SimulatedRadio::Impl::Serve()
{
    // Pacing wants sub-millisecond wake-ups; the default 50 us slack would add
    // up over thousands of bytes.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    uint8_t buffer[512];
    while (!stopping && !lineClosed) {
        pollfd fds[3] = {{wakeRead, POLLIN, 0}, {master, POLLIN, 0}, {portWatch, POLLIN, 0}};
        timespec ts;
        const timespec* timeout = nullptr;
        if (collect == Collect::AfterAck) {
            ts = ToTimespec(loneAckDeadline - Clock::now());
            timeout = &ts;
        }
        int r = ::ppoll(fds, portWatch >= 0 ? 3 : 2, timeout, nullptr);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents) {
            stopping = true;
            break;
        }
        if (portWatch >= 0 && fds[2].revents)
            PortEvents();
        if (r == 0 && collect == Collect::AfterAck) {
            Drop();
            OnLoneAck();
            continue;
        }
        if (fds[1].revents & POLLIN) {
            ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                Feed(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                LineTrouble();
        } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            LineTrouble();
        }
    }
}

void SimulatedRadio::Impl::Feed(const uint8_t* bytes, std::size_t n)
{
    const auto now = Clock::now();
    Count([n](Stats& s) { s.bytesReceived += static_cast<long>(n); });
    // Unplugged and plugged again since the last bytes: whatever connection
    // was under way belonged to the radio that left.
    if (const unsigned changes = plugChanges.load(); changes != plugChangesSeen) {
        plugChangesSeen = changes;
        stage = Stage::Idle;
        Drop();
        hungUp = false;
    }
    if (!plugged)
        return; // nobody there to hear it
    for (std::size_t i = 0; i < n && !stopping && !lineClosed; ++i) {
        if (options.lineTiming) {
            // The pseudo-terminal delivers a frame at once; on the line its
            // last byte arrives only after every byte has had its 11 bits.
            rxLineFree = std::max(rxLineFree, now) + kByteTime;
            arrival = rxLineFree;
        } else {
            arrival = now;
        }
        Handle(bytes[i]);
    }
}

void SimulatedRadio::Impl::Begin(Collect what, uint8_t b)
{
    collect = what;
    frame.assign(1, b);
    if (what == Collect::AfterAck)
        loneAckDeadline = arrival + kLoneAckWait;
}

void SimulatedRadio::Impl::Drop()
{
    collect = Collect::None;
    frame.clear();
}

void SimulatedRadio::Impl::Handle(uint8_t b)
{
    switch (collect) {
    case Collect::None:
        AtBoundary(b);
        return;
    case Collect::Wake:
        if (b != kWake[frame.size()]) {
            Drop();
            AtBoundary(b);
            return;
        }
        frame.push_back(b);
        if (frame.size() == kWakeSize) {
            Drop();
            OnWake();
        }
        return;
    case Collect::Read:
        frame.push_back(b);
        if (frame.size() == kReadRequestSize) {
            collect = Collect::None;
            if (!OnReadRequest()) {
                // Not a request after all: look for a frame in what followed the 'R'.
                std::vector<uint8_t> rest(frame.begin() + 1, frame.end());
                frame.clear();
                for (uint8_t r : rest)
                    Handle(r);
                return;
            }
            frame.clear();
        }
        return;
    case Collect::AfterAck:
        if (b == kWrite) {
            frame.push_back(b);
            collect = Collect::Write;
            return;
        }
        Drop();
        if (b == kClose) {
            OnClose();
        } else {
            OnLoneAck();
            AtBoundary(b);
        }
        return;
    case Collect::Write:
        frame.push_back(b);
        if (frame.size() == kWriteFrameSize) {
            collect = Collect::None;
            OnWriteFrame();
            frame.clear();
        }
        return;
    }
}

void SimulatedRadio::Impl::AtBoundary(uint8_t b)
{
    // "PROGRAM" starts a new connection from any stage: the program may have
    // given up on the last one half-way.
    if (b == kWake[0]) {
        Begin(Collect::Wake, b);
        return;
    }
    switch (stage) {
    case Stage::Idle:
        return;
    case Stage::Woken:
    case Stage::IdentSent:
        if (b == kIdentify)
            OnIdentify();
        else if (b == kAck && stage == Stage::IdentSent)
            OnLoneAck();
        return;
    case Stage::Ready:
    case Stage::ResponseSent:
        if (b == kRead)
            Begin(Collect::Read, b);
        else if (b == kAck && stage == Stage::ResponseSent)
            OnLoneAck();
        else if (b == kAck)
            Begin(Collect::AfterAck, b);
        return;
    case Stage::Closed:
        if (b == kAck)
            Begin(Collect::AfterAck, b);
        return;
    }
}

void SimulatedRadio::Impl::OnWake()
{
    Count([](Stats& s) { ++s.wakeUps; });
    stage = Stage::Woken;
    ++connections;
    sessionBlocks = 0;
    sessionWrote = false;
    SendAck();
}

void SimulatedRadio::Impl::OnIdentify()
{
    Count([](Stats& s) { ++s.identifyRequests; });
    stage = Stage::IdentSent;
    uint8_t ident[8];
    {
        // The model code's characters first to last: memory 1991 down to 1984.
        std::lock_guard<std::mutex> lock(mutex);
        for (int i = 0; i < 8; ++i)
            ident[i] = memory[kModelOffset + 7 - i];
    }
    Answer(ident, sizeof ident);
}

void SimulatedRadio::Impl::OnLoneAck()
{
    switch (stage) {
    case Stage::IdentSent: // the program's last word of the opening
        stage = Stage::Ready;
        AckOrHangUp();
        return;
    case Stage::ResponseSent: // the program took the block
        ++sessionBlocks;
        stage = Stage::Ready;
        AckOrHangUp();
        return;
    case Stage::Ready:
    case Stage::Closed:
        // Nothing asked for it, but an acknowledge is always answered in kind.
        SendAck();
        return;
    default:
        return;
    }
}

bool SimulatedRadio::Impl::OnReadRequest()
{
    const unsigned address = (unsigned(frame[1]) << 8) | frame[2];
    if (frame[3] != kLength || !ValidAddress(address)) {
        Count([](Stats& s) { ++s.badFrames; });
        return false;
    }
    Count([](Stats& s) { ++s.blocksRead; });
    stage = Stage::ResponseSent;
    uint8_t response[13] = {frame[0], frame[1], frame[2], kLength};
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::memcpy(response + 4, memory.data() + address, 8);
    }
    response[12] = Sum8(response + 4);
    const int block = sessionBlocks; // a repeated request is the same block
    if (options.badLengthFromBlock >= 0 && block >= options.badLengthFromBlock)
        response[3] = 0x07;
    if (options.badChecksumFromBlock >= 0 && block >= options.badChecksumFromBlock)
        response[12] = static_cast<uint8_t>(response[12] + 1);
    Answer(response, sizeof response);
    return true;
}

void SimulatedRadio::Impl::OnWriteFrame()
{
    const unsigned address = (unsigned(frame[2]) << 8) | frame[3];
    // A frame that arrived damaged is not stored and not acknowledged, so the
    // program's next wait for the radio runs out and its job fails, instead of
    // a radio that reports success while holding the wrong bytes.
    if (stage != Stage::Ready || frame[4] != kLength || !ValidAddress(address) ||
        Sum8(frame.data() + 5) != frame[13]) {
        Count([](Stats& s) { ++s.badFrames; });
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::memcpy(memory.data() + address, frame.data() + 5, 8);
        const int corrupt = options.corruptWriteAddress;
        if (corrupt >= int(address) && corrupt < int(address) + 8)
            memory[std::size_t(corrupt)] ^= 0x01;
        ++stats.blocksWritten;
    }
    ++sessionBlocks;
    sessionWrote = true;
    AckOrHangUp();
}

void SimulatedRadio::Impl::OnClose()
{
    Count([](Stats& s) { ++s.closes; });
    if (stage != Stage::Ready && stage != Stage::Closed)
        return;
    const bool completes = stage == Stage::Ready; // a repeated close is only answered
    stage = Stage::Closed;
    if (completes)
        Count([](Stats& s) { ++s.sessionsCompleted; });
    SendAck();
    if (!completes || !sessionWrote)
        return;
    std::function<void(const Memory&)> callback;
    Memory copy;
    {
        std::lock_guard<std::mutex> lock(mutex);
        callback = onWriteComplete;
        copy = memory;
    }
    if (callback)
        callback(copy);
}

void SimulatedRadio::Impl::AckOrHangUp()
{
    const bool thisConnection = options.hangUpInConnection <= 0 || options.hangUpInConnection == connections;
    if (options.hangUpAfterBlocks >= 0 && thisConnection && sessionBlocks >= options.hangUpAfterBlocks)
        HangUp();
    else
        SendAck();
}

void SimulatedRadio::Impl::HangUp()
{
    hungUp = true;
    Count([](Stats& s) { s.hungUp = true; });
    if (!options.hangUpClosesLine)
        return;
    // Closing both of the radio's ends frees the terminal: the program's
    // descriptor reads EIO and the device path goes away.
    CloseFd(portWatch);
    CloseFd(slave);
    CloseFd(master);
    lineClosed = true;
}

void SimulatedRadio::Impl::SendAck()
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < options.strayBytesBeforeAck; ++i)
        bytes.push_back(kStray[strayIndex++ % sizeof kStray]);
    bytes.push_back(kAck);
    Answer(bytes.data(), bytes.size());
}

void SimulatedRadio::Impl::Answer(const uint8_t* bytes, std::size_t n)
{
    if (options.silent || hungUp || !plugged)
        return;
    const auto at = arrival + std::chrono::milliseconds(std::max(0, options.answerDelayMs));
    if (!options.lineTiming) {
        if (options.answerDelayMs > 0 && !SleepUntil(at))
            return;
        WriteAll(bytes, n);
        return;
    }
    // Each byte is handed over when its 11 bits would have reached the
    // program; the next answer waits for the line to be free.
    const auto start = std::max({at, txLineFree, Clock::now()});
    txLineFree = start + kByteTime * static_cast<long>(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (!SleepUntil(start + kByteTime * static_cast<long>(i + 1)) || !plugged)
            return;
        WriteAll(bytes + i, 1);
    }
}

void SimulatedRadio::Impl::WriteAll(const uint8_t* bytes, std::size_t n)
{
    while (n > 0 && !stopping && !lineClosed) {
        ssize_t w = ::write(master, bytes, n);
        if (w > 0) {
            Count([w](Stats& s) { s.bytesSent += static_cast<long>(w); });
            bytes += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno == EAGAIN) {
            // Nobody is reading: wait for room, or for Stop.
            pollfd fds[2] = {{wakeRead, POLLIN, 0}, {master, POLLOUT, 0}};
            if (::poll(fds, 2, 100) > 0 && fds[0].revents)
                stopping = true;
            continue;
        }
        return; // the line is gone; what was not written is lost, as on a wire
    }
}

bool SimulatedRadio::Impl::SleepUntil(Clock::time_point when)
{
    for (;;) {
        const auto now = Clock::now();
        if (now >= when)
            return true;
        pollfd fds[2] = {{wakeRead, POLLIN, 0}, {portWatch, POLLIN, 0}};
        const timespec ts = ToTimespec(when - now);
        int r = ::ppoll(fds, portWatch >= 0 ? 2 : 1, &ts, nullptr);
        if (r > 0 && fds[0].revents) {
            stopping = true;
            return false;
        }
        if (r > 0 && portWatch >= 0 && fds[1].revents)
            PortEvents();
    }
}

void SimulatedRadio::Impl::PortEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool closed = false;
    ssize_t n;
    while ((n = ::read(portWatch, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            auto* ev = reinterpret_cast<inotify_event*>(p);
            if (ev->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE))
                closed = true;
            p += sizeof(inotify_event) + ev->len;
        }
    }
    if (!closed || slave < 0)
        return;
    // Someone else opening and closing the line (stty -F, a second program)
    // while the program still holds it changes nothing: its exchange runs on
    // and its exclusive use stays.
    if (LineHeldElsewhere())
        return;
    // The line's last user let go: drop exclusive use (which a pseudo-
    // terminal would otherwise keep, locking out the next job, even when the
    // program died without clearing it) and whatever was left unread.
    ::ioctl(slave, TIOCNXCL);
    ::tcflush(slave, TCIFLUSH);
}

// Whether a descriptor other than the radio's own still has the line open,
// in this process or any other: every process's open files are compared by
// device number, so any name of the line counts. A process whose files
// cannot be seen (another user's, which could not open the line anyway) is
// passed over.
bool SimulatedRadio::Impl::LineHeldElsewhere() const
{
    struct stat line {};
    if (::fstat(slave, &line) != 0)
        return false;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return true; // cannot tell: leave the line as it is
    const std::string self = std::to_string(::getpid());
    bool held = false;
    while (!held) {
        const dirent* process = ::readdir(proc);
        if (process == nullptr)
            break;
        if (process->d_name[0] < '1' || process->d_name[0] > '9')
            continue;
        const bool isSelf = self == process->d_name;
        const std::string fdDir = std::string("/proc/") + process->d_name + "/fd";
        DIR* files = ::opendir(fdDir.c_str());
        if (files == nullptr)
            continue;
        while (const dirent* file = ::readdir(files)) {
            if (file->d_name[0] < '0' || file->d_name[0] > '9')
                continue;
            if (isSelf && std::atoi(file->d_name) == slave)
                continue;
            struct stat target {};
            if (::fstatat(::dirfd(files), file->d_name, &target, 0) == 0 && S_ISCHR(target.st_mode) &&
                target.st_rdev == line.st_rdev) {
                held = true;
                break;
            }
        }
        ::closedir(files);
    }
    ::closedir(proc);
    return held;
}

void SimulatedRadio::Impl::LineTrouble()
{
    // Reading the master fails with EIO while no slave descriptor is open. The
    // radio keeps one, so this means it was hung up: take a fresh one, and
    // never spin while the terminal stays unusable.
    std::string name;
    {
        std::lock_guard<std::mutex> lock(mutex);
        name = path;
    }
    CloseFd(slave);
    slave = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    SleepUntil(Clock::now() + std::chrono::milliseconds(10));
}

// ---------------------------------------------------------------------------

SimulatedRadio::SimulatedRadio(const SimulatedRadioOptions& options)
    : impl_(std::make_unique<Impl>(options))
{
}

SimulatedRadio::~SimulatedRadio()
{
    Stop();
}

bool SimulatedRadio::Start(std::string* error)
{
    Impl& d = *impl_;
    if (d.running)
        return true;
    if (!d.Open(error))
        return false;
    d.stopping = false;
    d.lineClosed = false;
    d.hungUp = false;
    d.stage = Impl::Stage::Idle;
    d.collect = Impl::Collect::None;
    d.frame.clear();
    d.rxLineFree = d.txLineFree = Clock::time_point{};
    d.connections = 0;
    d.running = true;
    d.thread = std::thread([&d] { d.Serve(); });
    return true;
}

void SimulatedRadio::Stop()
{
    Impl& d = *impl_;
    if (!d.running)
        return;
    const uint8_t b = 1;
    [[maybe_unused]] ssize_t w = ::write(d.wakeWrite, &b, 1);
    // From the write-complete callback: the serving thread ends its loop when
    // the callback returns; the owner's next Stop (or the destructor) joins it.
    if (std::this_thread::get_id() == d.thread.get_id())
        return;
    if (d.thread.joinable())
        d.thread.join();
    d.CloseAll();
    d.running = false;
}

bool SimulatedRadio::IsRunning() const
{
    return impl_->running;
}

std::string SimulatedRadio::DevicePath() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->path;
}

SimulatedRadio::Memory SimulatedRadio::GetMemory() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->memory;
}

void SimulatedRadio::SetMemory(const Memory& memory)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->memory = memory;
}

void SimulatedRadio::SetModelCode(const std::string& code)
{
    // Reversed characters: the first character in byte 1991, 0xFF in front of
    // a shorter code.
    std::lock_guard<std::mutex> lock(impl_->mutex);
    const std::size_t n = std::min<std::size_t>(code.size(), 8);
    for (std::size_t i = 0; i < 8; ++i)
        impl_->memory[kModelOffset + 7 - i] = i < n ? static_cast<uint8_t>(code[i]) : 0xFF;
}

void SimulatedRadio::SetPlugged(bool plugged)
{
    if (impl_->plugged.exchange(plugged) != plugged)
        ++impl_->plugChanges;
}

void SimulatedRadio::SetOnWriteComplete(std::function<void(const Memory&)> callback)
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->onWriteComplete = std::move(callback);
}

SimulatedRadio::Stats SimulatedRadio::GetStats() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->stats;
}
