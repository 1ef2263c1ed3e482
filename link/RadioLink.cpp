#include "link/RadioLink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <sys/prctl.h>

#include "image/ImageMap.h"
#include "image/ModelTable.h"

namespace {

constexpr uint8_t kAck = 0x06;
constexpr uint8_t kIdentify = 0x02;
constexpr uint8_t kWakeUp[7] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
constexpr uint8_t kClose[2] = {0x06, 'E'};
constexpr uint8_t kBlockLength = 0x08;
constexpr int kImageSize = int(ImageMap::kSize);
constexpr int kWriteEnd = int(ImageMap::kWritableSize); // the rest is never written to the radio
constexpr int kInfoAddress = int(ImageMap::kInfoText1);

uint8_t Checksum(const uint8_t* data8)
{
    unsigned sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += data8[i];
    return static_cast<uint8_t>(sum);
}

} // namespace

RadioLink::RadioLink(JobObserver& observer) : observer_(observer) {}

RadioLink::~RadioLink()
{
    WaitForJob();
    port_.Close();
}

bool RadioLink::OpenPort(const std::string& device, int portNumber)
{
    if (IsBusy() || !jobThreadDone_)
        return false;
    device_ = device;
    return port_.Open(&portOwner_, device, portNumber, 9600, 'N', 8, 2, 9, 512);
}

bool RadioLink::StartJob(LinkJobMode mode, const uint8_t* image, const std::string& modelCode, bool readBack)
{
    if (mode == JobIdle || JobMode() != JobIdle || probing_ || !port_.IsOpen())
        return false;
    if (jobThread_.joinable()) {
        if (!jobThreadDone_)
            return false; // the last job is still reporting its end
        jobThread_.join();
    }
    if (mode == JobWrite && image == nullptr)
        return false;
    if (mode == JobInfo)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    readBack_ = mode == JobWrite && readBack;
    if (mode == JobWrite) {
        std::memcpy(jobBuffer_.data(), image, kImageSize);
        modelCode_ = modelCode;
    }
    {
        std::lock_guard<std::mutex> lock(linkLock_);
        ring_.Clear();
        needed_ = 0;
        lineLost_ = false;
        jobMode_ = mode;
    }
    if (!port_.StartWatching()) {
        jobMode_ = JobIdle;
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    jobThreadDone_ = false;
    try {
        jobThread_ = std::thread(&RadioLink::RadioJobThread, this);
    } catch (const std::system_error&) {
        jobThreadDone_ = true;
        jobMode_ = JobIdle;
        port_.StopWatching();
        return false;
    }
    return true;
}

bool RadioLink::Probe(LinkProbeResult& result)
{
    if (JobMode() != JobIdle || !jobThreadDone_ || !port_.IsOpen() || probing_.exchange(true))
        return false;
    if (jobThread_.joinable())
        jobThread_.join();
    result = LinkProbeResult();
    {
        std::lock_guard<std::mutex> lock(linkLock_);
        ring_.Clear();
        needed_ = 0;
        lineLost_ = false;
        probe_ = &result;
    }
    bool started = port_.StartWatching();
    if (started) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // as before a job
        if (LinkOpenSession(result.ident)) {
            result.identified = true;
            result.closed = LinkCloseSession();
        }
        port_.StopWatching();
    }
    {
        std::lock_guard<std::mutex> lock(linkLock_);
        probe_ = nullptr;
        result.lineLost = lineLost_;
    }
    probing_ = false;
    return started;
}

int RadioLink::ProgressTotal(LinkJobMode mode, bool readBack)
{
    switch (mode) {
    case JobRead: return int(ImageMap::kSize);
    case JobWrite: return readBack ? kVerifiedWriteTotal : int(ImageMap::kWritableSize);
    case JobInfo: return int(ImageMap::kInfoSize);
    case JobIdle: break;
    }
    return 0;
}

LinkJobMode RadioLink::JobMode() const
{
    return jobMode_.load();
}

void RadioLink::WaitForJob()
{
    if (jobThread_.joinable() && jobThread_.get_id() != std::this_thread::get_id())
        jobThread_.join();
}

// The port's watch thread hands each burst straight to the ring; the job
// thread is woken only once the bytes it waits for are all there.
void RadioLink::PortOwner::OnPortData(SerialPort& port, int)
{
    uint8_t bytes[SerialPort::kReceiveBufferSize];
    std::size_t n = port.TakeReceived(bytes);
    if (n == 0)
        return;
    bool wake;
    {
        std::lock_guard<std::mutex> lock(link_.linkLock_);
        link_.ring_.Append(bytes, n); // a full ring drops the rest of the burst
        if (LinkProbeResult* probe = link_.probe_) {
            probe->receivedCount += n;
            const std::size_t keep = std::min<std::size_t>(n, 64 - std::min<std::size_t>(64, probe->received.size()));
            probe->received.insert(probe->received.end(), bytes, bytes + keep);
        }
        wake = link_.needed_ != 0 && link_.ring_.Count() >= link_.needed_;
    }
    if (wake)
        link_.bytesArrived_.notify_one();
}

void RadioLink::PortOwner::OnPortError(const std::string& text)
{
    link_.observer_.OnPortError(text);
}

// Nothing more will arrive: the job's wait ends now instead of running
// through its periods, and the job reports the lost port once at its end.
void RadioLink::PortOwner::OnLineLost(int)
{
    {
        std::lock_guard<std::mutex> lock(link_.linkLock_);
        link_.lineLost_ = true;
    }
    link_.bytesArrived_.notify_one();
}

bool RadioLink::LineLost()
{
    std::lock_guard<std::mutex> lock(linkLock_);
    return lineLost_;
}

void RadioLink::LinkTrace(const uint8_t* bytes, std::size_t n, bool transmit)
{
    std::string line = transmit ? "Tr : " : "Re : ";
    char hex[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(hex, sizeof hex, "%.2X ", bytes[i]);
        line += hex;
    }
    observer_.OnTrace(line);
}

void RadioLink::LinkSend(const uint8_t* bytes, std::size_t n)
{
    std::this_thread::sleep_for(kSendPause);
    port_.Send(bytes, n);
    LinkTrace(bytes, n, true);
}

bool RadioLink::LinkTake(uint8_t* dest, std::size_t n)
{
    {
        std::lock_guard<std::mutex> lock(linkLock_);
        if (!ring_.Take(dest, n))
            return false;
    }
    LinkTrace(dest, n, false);
    return true;
}

// Waits until n bytes can be taken at once, or until the period that began
// at periodStart has run out. Sleeps on the condition variable meanwhile.
bool RadioLink::TakeWithinPeriod(uint8_t* dest, std::size_t n, Clock::time_point periodStart)
{
    const Clock::time_point periodEnd = periodStart + kPeriod;
    {
        std::unique_lock<std::mutex> lock(linkLock_);
        needed_ = n;
        const std::size_t held = ring_.Count();
        port_.ExpectBytes(held < n ? n - held : 0);
        // Bytes that came before the line went away are still taken.
        bytesArrived_.wait_until(lock, periodEnd, [&] { return ring_.Count() >= n || lineLost_; });
        const bool got = ring_.Count() >= n;
        needed_ = 0;
        port_.ExpectBytes(0);
        if (!got)
            return false;
    }
    return LinkTake(dest, n);
}

// An acknowledge within the period; any other byte is discarded.
bool RadioLink::AckWithinPeriod(Clock::time_point periodStart)
{
    uint8_t byte;
    while (TakeWithinPeriod(&byte, 1, periodStart)) {
        if (byte == kAck)
            return true;
    }
    return false;
}

// The radio's 0x06 that says it is ready; nothing is sent meanwhile.
bool RadioLink::ReadyWait(int& tries)
{
    for (;;) {
        if (AckWithinPeriod(Clock::now()))
            return true;
        if (--tries == 0 || LineLost())
            return false;
    }
}

// Sends the frame and waits a period for its answer; silence sends it again
// while tries remain.
template <class Answer>
bool RadioLink::SendUntilAnswered(const uint8_t* frame, std::size_t n, int& tries, Answer answered)
{
    for (;;) {
        LinkSend(frame, n);
        if (answered(Clock::now()))
            return true;
        if (--tries == 0 || LineLost())
            return false;
    }
}

bool RadioLink::LinkOpenSession(uint8_t ident8[8])
{
    int tries = kTries;
    if (!SendUntilAnswered(kWakeUp, sizeof kWakeUp, tries,
                           [&](Clock::time_point start) { return AckWithinPeriod(start); }))
        return false;
    tries = kTries;
    uint8_t received[8];
    if (!SendUntilAnswered(&kIdentify, 1, tries,
                           [&](Clock::time_point start) { return TakeWithinPeriod(received, 8, start); }))
        return false;
    for (int i = 0; i < 8; ++i)
        ident8[i] = received[7 - i];
    LinkSend(&kAck, 1);
    return true;
}

bool RadioLink::LinkReadBlock(int address, uint8_t dest8[8])
{
    int tries = kTries; // one counter for both waits
    if (!ReadyWait(tries))
        return false;
    const uint8_t request[4] = {'R', static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF),
                                kBlockLength};
    uint8_t response[13];
    if (!SendUntilAnswered(request, sizeof request, tries, [&](Clock::time_point start) {
            return TakeWithinPeriod(response, sizeof response, start);
        }))
        return false;
    // Bytes 0..2 are not examined; a bad length or sum fails the block at once.
    if (response[3] != kBlockLength || response[12] != Checksum(response + 4))
        return false;
    std::memcpy(dest8, response + 4, 8);
    LinkSend(&kAck, 1);
    return true;
}

// Succeeds once the frame is handed over; the radio's 0x06 for it is taken
// by the ready wait of the next step.
bool RadioLink::LinkWriteBlock(int address, const uint8_t src8[8])
{
    int tries = kTries;
    if (!ReadyWait(tries))
        return false;
    uint8_t frame[14] = {kAck, 'W', static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF),
                         kBlockLength};
    std::memcpy(frame + 5, src8, 8);
    frame[13] = Checksum(src8);
    LinkSend(frame, sizeof frame);
    return true;
}

bool RadioLink::LinkCloseSession()
{
    int tries = kTries;
    if (!ReadyWait(tries))
        return false;
    tries = kTries;
    return SendUntilAnswered(kClose, sizeof kClose, tries,
                             [&](Clock::time_point start) { return AckWithinPeriod(start); });
}

void RadioLink::RadioJobThread()
{
    // The 2 ms pause before each of some 500 frames should not grow by the
    // default 50 us timer slack each time.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    const LinkJobMode mode = jobMode_.load();
    bool success = false;
    switch (mode) {
    case JobRead: success = RunRead(); break;
    case JobWrite: success = RunWrite(); break;
    case JobInfo: success = RunInfo(); break;
    case JobIdle: break;
    }
    jobMode_ = JobIdle;
    port_.StopWatching();
    if (!success && LineLost())
        observer_.OnPortLost(device_, mode);
    observer_.OnJobEnded(mode, success);
    jobThreadDone_ = true;
}

bool RadioLink::Failed()
{
    observer_.OnBeep(kFailureBeepHz, kBeepMs);
    return false;
}

bool RadioLink::Succeeded()
{
    observer_.OnBeep(kSuccessBeepHz, kBeepMs);
    return true;
}

// Opens a session, reads blocks first..last into buffer, closes. A failed
// opening of a read or info job has no beep. identify: the owner gets the
// identification (a read or info job lays it into its document); a
// read-back does not, and even a radio that no longer answers its wake-up
// fails it audibly, since the write before it ended without a beep.
bool RadioLink::ReadSession(int first, int last, std::array<uint8_t, ImageMap::kSize>& buffer, bool identify,
                            int progressBase)
{
    buffer.fill(0);
    if (!LinkOpenSession(buffer.data()))
        return identify ? false : Failed();
    if (identify)
        observer_.OnIdentification(buffer.data());
    for (int address = first; address <= last; address += 8) {
        observer_.OnProgress(progressBase + address);
        if (!LinkReadBlock(address, buffer.data() + address))
            return Failed();
    }
    return LinkCloseSession() || Failed();
}

bool RadioLink::RunRead()
{
    if (!ReadSession(0, kImageSize - 8, jobBuffer_, true, 0))
        return false;
    observer_.OnReadComplete(jobBuffer_.data());
    return Succeeded();
}

bool RadioLink::RunWrite()
{
    uint8_t ident[8];
    if (!LinkOpenSession(ident))
        return false;
    if (!ModelMatchesIdent(modelCode_, ident) && !observer_.AskModelOverwrite())
        return false;
    for (int address = 0; address < kWriteEnd; address += 8) {
        observer_.OnProgress(address);
        if (!LinkWriteBlock(address, jobBuffer_.data() + address))
            return Failed();
    }
    if (!LinkCloseSession())
        return Failed();
    if (!readBack_)
        return Succeeded();
    // The read-back follows the closing exchange at once: a verified write
    // costs one read and nothing more.
    observer_.OnWriteClosed();
    if (!ReadSession(0, kImageSize - 8, readBackBuffer_, false, kWriteEnd))
        return false;
    const ImageCompare::VerifyResult result = ImageCompare::Verify(jobBuffer_, readBackBuffer_);
    observer_.OnReadBack(readBackBuffer_.data(), result);
    return result.equal ? Succeeded() : Failed();
}

bool RadioLink::RunInfo()
{
    if (!ReadSession(kInfoAddress, kInfoAddress + 8, jobBuffer_, true, 0))
        return false;
    observer_.OnInfoComplete(jobBuffer_.data() + kInfoAddress);
    return Succeeded();
}
