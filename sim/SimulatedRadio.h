#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

// Faults and timing of the simulated radio.
struct SimulatedRadioOptions {
    // Pace every byte both ways as a 9600 baud 8N2 line does (11 bits, ~1.146 ms).
    bool lineTiming = false;
    // Answer nothing at all.
    bool silent = false;
    // Send this many stray bytes (not 0x06) before every acknowledge.
    int strayBytesBeforeAck = 0;
    // Read responses carry a wrong checksum / a wrong length byte (0x07),
    // from the block with this index on (0 = the first block); -1 never.
    int badChecksumFromBlock = -1;
    int badLengthFromBlock = -1;
    // Stop answering after this many completed blocks (read or write); -1 never.
    int hangUpAfterBlocks = -1;
    // Wait this long before every answer.
    int answerDelayMs = 0;
};

// A radio on the far side of a pseudo-terminal. It answers the programming
// protocol from a 2048-byte memory whose bytes 1984..1991 give the
// identification it sends, and stores what a write sends.
// (Private members are the implementation's; the public calls are fixed.)
class SimulatedRadio {
public:
    using Memory = std::array<uint8_t, 2048>;

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

    // Called on the serving thread after every completed write session
    // (close frame acknowledged), with the memory as it now stands.
    void SetOnWriteComplete(std::function<void(const Memory&)> callback);

    // What the radio has seen, for tests.
    struct Stats {
        int wakeUps = 0;        // "PROGRAM" frames
        int identifyRequests = 0;
        int blocksRead = 0;
        int blocksWritten = 0;
        int closes = 0;
        int sessionsCompleted = 0;
    };
    Stats GetStats() const;
};
