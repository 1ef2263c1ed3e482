#pragma once
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "image/ImageMap.h"
#include "link/JobObserver.h"
#include "link/LinkJobMode.h"
#include "link/RxRing.h"
#include "link/SerialPort.h"

// What came back when the opening exchange was sent to see whether anything
// answers on a port.
struct LinkProbeResult {
    std::size_t receivedCount = 0; // bytes that came back, all told
    std::vector<uint8_t> received; // the first of them (up to 64), in order
    bool identified = false;       // a radio answered the whole opening exchange
    uint8_t ident[ImageMap::kIdentSize] = {}; // its identification, in stored order
    bool closed = false;           // and the closing exchange
    bool lineLost = false;         // the device went away meanwhile
};

// The radio link as a view owns it: the serial port, the receive ring and its
// lock, the job mode and the job thread. One job at a time.
// (Private members are the implementation's; the public calls are fixed.)
class RadioLink {
public:
    explicit RadioLink(JobObserver& observer);
    ~RadioLink(); // waits for a running job to end, then closes the port

    // Job start, step by step as the owner drives it (user-interface thread):
    // 1. OpenPort: false when the device cannot be opened (the owner shows
    //    "Failed to open COM%d,..."); nothing else happens then.
    bool OpenPort(const std::string& device, int portNumber);
    // 2. The owner prepares its progress bars (range 0..2048, 2000 or 16) and,
    //    for a write, encodes the document.
    // 3. StartJob: empties the ring, sets the mode, starts watching, waits
    //    100 ms (and 100 ms more before an info job), starts the job thread.
    //    For JobWrite, image holds the encoded 2048 bytes and modelCode the
    //    document's model code; with readBack the same job reads the whole
    //    radio back at once after the write's closing exchange and compares
    //    bytes 0..1999 with those sent (JobObserver::OnReadBack). false
    //    (nothing started) unless the mode was JobIdle and the port is open.
    bool StartJob(LinkJobMode mode, const uint8_t* image = nullptr,
                  const std::string& modelCode = std::string(), bool readBack = false);

    // Sends the opening exchange on the open port and, when a radio answers
    // it, the closing exchange, so the radio is left as it was found. Runs on
    // the calling thread and takes up to a second when nothing answers: the
    // window calls it off its user-interface thread. Frames are traced to the
    // observer. false (nothing sent) unless the port is open and no job runs.
    bool Probe(LinkProbeResult& result);

    LinkJobMode JobMode() const;
    bool IsBusy() const { return JobMode() != JobIdle; }
    // Blocks until the last job thread has ended (command line, tests, shutdown).
    void WaitForJob();

    // errno of the last OpenPort that could not open the device, else 0.
    int OpenErrorCode() const { return port_.OpenErrorCode(); }

    // Link periods and counts.
    static constexpr std::chrono::milliseconds kPeriod{200};
    static constexpr int kTries = 3;
    static constexpr std::chrono::milliseconds kSendPause{2};
    static constexpr int kSuccessBeepHz = 2000;
    static constexpr int kFailureBeepHz = 3500;
    static constexpr int kBeepMs = 500;
    // The progress range of a write with read-back: 2000 written, 2048 read.
    static constexpr int kVerifiedWriteTotal = int(ImageMap::kWritableSize + ImageMap::kSize);
    // The progress range an owner shows for a job: 2048 for a read, 2000
    // for a write (kVerifiedWriteTotal with read-back), 16 for info.
    static int ProgressTotal(LinkJobMode mode, bool readBack = false);

private:
    using Clock = std::chrono::steady_clock;

    class PortOwner : public SerialPortOwner {
    public:
        explicit PortOwner(RadioLink& link) : link_(link) {}
        void OnPortData(SerialPort& port, int portNumber) override;
        void OnPortError(const std::string& text) override;
        void OnLineLost(int error) override;

    private:
        RadioLink& link_;
    };

    // Link primitives and exchanges; job thread only.
    void LinkSend(const uint8_t* bytes, std::size_t n);
    bool LinkTake(uint8_t* dest, std::size_t n);
    void LinkTrace(const uint8_t* bytes, std::size_t n, bool transmit);
    bool LineLost();
    bool TakeWithinPeriod(uint8_t* dest, std::size_t n, Clock::time_point periodStart);
    bool AckWithinPeriod(Clock::time_point periodStart);
    bool ReadyWait(int& tries);
    template <class Answer>
    bool SendUntilAnswered(const uint8_t* frame, std::size_t n, int& tries, Answer answered);
    bool LinkOpenSession(uint8_t ident8[8]);
    bool LinkReadBlock(int address, uint8_t dest8[8]);
    bool LinkWriteBlock(int address, const uint8_t src8[8]);
    bool LinkCloseSession();

    void RadioJobThread();
    bool RunRead();
    bool RunWrite();
    bool RunInfo();
    bool ReadSession(int first, int last, std::array<uint8_t, ImageMap::kSize>& buffer, bool identify,
                     int progressBase);
    bool Failed();    // the failure beep; false
    bool Succeeded(); // the success beep; true

    JobObserver& observer_;
    PortOwner portOwner_{*this};
    SerialPort port_;
    std::mutex linkLock_; // LinkLock: guards ring_ and needed_
    std::condition_variable bytesArrived_;
    RxRing ring_;
    std::size_t needed_ = 0; // bytes the job thread waits for; 0 when it waits for none
    bool lineLost_ = false;  // the port's device went away during this job
    std::string device_;     // as the port was opened
    std::atomic<LinkJobMode> jobMode_{JobIdle};
    std::thread jobThread_;
    std::atomic<bool> jobThreadDone_{true};
    std::array<uint8_t, ImageMap::kSize> jobBuffer_{};
    std::string modelCode_;
    std::atomic<bool> probing_{false};
    LinkProbeResult* probe_ = nullptr; // guarded by linkLock_ while probing_
    bool readBack_ = false;
    std::array<uint8_t, ImageMap::kSize> readBackBuffer_{};
};
