#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "image/ImageMap.h"

// Faults and timing of the simulated radio.
struct SimulatedRadioOptions {
    // Pace every byte both ways as a 9600 baud 8N2 line does (11 bits, ~1.146 ms).
    bool lineTiming = false;
    // Answer nothing at all.
    bool silent = false;
    // Send this many stray bytes (not 0x06) before every acknowledge.
    int strayBytesBeforeAck = 0;
    // Read responses carry a wrong checksum / a wrong length byte (0x07),
    // from the block with this index on (0 = the first block of each
    // connection; the count starts again at every "PROGRAM"); -1 never.
    int badChecksumFromBlock = -1;
    int badLengthFromBlock = -1;
    // Stop answering after this many completed blocks (read or write) of a
    // connection; -1 never.
    // The radio then stays dead: no acknowledge for that block, nothing to any
    // later frame, not even a new "PROGRAM", until Stop.
    int hangUpAfterBlocks = -1;
    // Count hangUpAfterBlocks in this connection only (1 = the first
    // "PROGRAM" since Start, 2 = the next, ...); 0 in every connection.
    int hangUpInConnection = 0;
    // At the hang-up also close the line, as a pulled cable or an unplugged USB
    // adapter does: the program's open device then reports a hang-up (POLLHUP,
    // reads give end of file or EIO) and the device path disappears.
    bool hangUpClosesLine = false;
    // Wait this long before every answer.
    int answerDelayMs = 0;
    // Store the byte at this address wrongly (its lowest bit flipped)
    // whenever a write frame covers it, and acknowledge as usual, as a radio
    // with a bad memory cell or a line that flips a bit the sum misses; -1
    // never.
    int corruptWriteAddress = -1;
};

// A radio on the far side of a pseudo-terminal. It answers the programming
// protocol from a 2048-byte memory whose bytes 1984..1991 give the
// identification it sends, and stores what a write sends.
// (Private members are the implementation's; the public calls are fixed.)
class SimulatedRadio {
public:
    using Memory = std::array<uint8_t, ImageMap::kSize>;

    // The memory starts as the image that a new document saves.
    explicit SimulatedRadio(const SimulatedRadioOptions& options = {});
    ~SimulatedRadio(); // stops serving

    // Opens the pseudo-terminal and starts serving on a thread of its own.
    bool Start(std::string* error = nullptr);
    void Stop();
    // The device a programming tool opens, e.g. /dev/pts/7.
    std::string DevicePath() const;

    Memory GetMemory() const;
    void SetMemory(const Memory& memory);
    // Sets the model code the radio identifies with (written reversed into 1984..1991).
    void SetModelCode(const std::string& code);

    // The radio taken off its cable (false) and put back (true). Unplugged,
    // it hears and answers nothing, as a cable with no radio on it, and the
    // connection it was in is forgotten; its line stays open. Put back, it
    // answers the next "PROGRAM" again, a hang-up of the radio before it
    // forgotten: the radio is another one (give it a memory of its own with
    // SetMemory first).
    void SetPlugged(bool plugged);

    // Called on the serving thread after every completed write session
    // (close frame acknowledged), with the memory as it now stands. The radio
    // answers nothing while it runs. Stop from inside it only asks the thread
    // to end; the next Stop or the destructor waits for it.
    void SetOnWriteComplete(std::function<void(const Memory&)> callback);

    // What the radio has seen, for tests.
    struct Stats {
        int wakeUps = 0;        // "PROGRAM" frames
        int identifyRequests = 0;
        int blocksRead = 0;     // read requests answered (a resent one counts again)
        int blocksWritten = 0;  // write frames stored
        int closes = 0;
        int sessionsCompleted = 0;
        // Frames refused: a write frame with a wrong sum, length byte or
        // address (not stored, not acknowledged), a read request with a wrong
        // length byte or address (not answered).
        int badFrames = 0;
        long bytesReceived = 0;
        long bytesSent = 0;
        bool hungUp = false;
    };
    Stats GetStats() const;

    bool IsRunning() const;

    // One byte on a 9600 baud 8N2 line: 11 bits.
    static constexpr double kByteTimeMs = 11.0 * 1000.0 / 9600.0;

    SimulatedRadio(const SimulatedRadio&) = delete;
    SimulatedRadio& operator=(const SimulatedRadio&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
