#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SerialPort;

// The owner of a SerialPort: stands where the port's window message stands.
class SerialPortOwner {
public:
    virtual ~SerialPortOwner() = default;
    // Received data: called on the watch thread once per burst, without the
    // port lock held. The owner takes the bytes with TakeReceived before returning.
    virtual void OnPortData(SerialPort& port, int portNumber) = 0;
    // A failure text built by ReportError ("WARNING:  ... Port: N\n"). The
    // owner decides how to show it; it may come from the watch thread.
    virtual void OnPortError(const std::string& text) = 0;
    // The device went away under the open port (cable pulled, adapter
    // unplugged, the far end of a pseudo-terminal closed): called once, from
    // the watch thread, with the errno that showed it. Nothing is read or
    // sent on the port after that; the next Open starts afresh.
    virtual void OnLineLost(int error) = 0;
};

// One serial line, opened exclusively and configured raw; a watch thread of
// its own moves bytes between the device and two buffers.
// (Private members are the implementation's; the public calls are fixed.)
class SerialPort {
public:
    static constexpr std::size_t kReceiveBufferSize = 1024;

    SerialPort();
    ~SerialPort(); // ends and joins the watch thread before the buffers go

    // Opens device (a path) for port number portNumber. parity is 'N', 'E' or 'O'.
    // false when the device cannot be opened (silently) or configured (reported).
    bool Open(SerialPortOwner* owner, const std::string& device, int portNumber,
              int baud, char parity, int dataBits, int stopBits,
              uint32_t eventMask, std::size_t transmitBufferSize);
    bool StartWatching();
    bool StopWatching(); // asks the watch thread to end; does not wait
    // Queues one frame (n <= transmit-buffer size) and returns at once.
    void Send(const uint8_t* bytes, std::size_t n);
    // Moves every buffered received byte to dest (room for 1024); returns the count.
    std::size_t TakeReceived(uint8_t* dest);
    bool IsOpen() const;
    // The open port's device went away (see SerialPortOwner::OnLineLost).
    bool LineLost() const { return lineLost_; }
    void Close();

    // The owner waits for this many more bytes (0: for none in particular).
    // While more than one is still due, the watch thread lets the line fill
    // for the time those bytes take at the line's speed before it looks again,
    // instead of waking for every single byte; the last byte is taken as soon
    // as it arrives, so nothing is delivered later than it would be otherwise.
    void ExpectBytes(std::size_t count) { expected_ = count; }

    // errno of the last Open that could not open the device (EBUSY when
    // another program holds it, whoever runs this one), 0 when the last Open
    // got that far.
    int OpenErrorCode() const { return openError_; }
    // A failing write is tried this many times before its frame, and every
    // frame queued behind it, is given up and the failure reported.
    static constexpr int kWriteAttempts = 3;

private:
    void StopAndJoin();
    void WatchThread(int fd, int wakeFd);
    bool ReadAvailable(int fd, short revents);
    bool TransmitPending(int fd);
    void Wake();
    void ReportError(const char* operation, int error);
    void LoseLine(int error);

    std::mutex controlLock_;      // Open, StartWatching, StopWatching, Close
    mutable std::mutex portLock_; // the handle, the transmit queue, the receive buffer
    std::thread watchThread_;
    std::atomic<bool> alive_{false};
    std::atomic<bool> shutdownRequested_{false};
    std::atomic<std::size_t> expected_{0};
    long byteNanoseconds_ = 0; // one character on the line: start, data, parity and stop bits
    int fd_ = -1;
    bool ownExclusive_ = false; // fd_'s exclusive flag was set by this port
    std::atomic<bool> lineLost_{false};
    std::string device_;
    int wakeFd_ = -1; // eventfd: shutdown and write requests
    SerialPortOwner* owner_ = nullptr;
    int portNumber_ = 0;
    uint32_t eventMask_ = 0;
    std::size_t transmitBufferSize_ = 0;
    std::deque<std::vector<uint8_t>> transmitQueue_;
    std::size_t transmitOffset_ = 0; // bytes of the front frame already written
    std::unique_ptr<uint8_t[]> receiveBuffer_;
    std::size_t receivedCount_ = 0;
    int openError_ = 0;
};
