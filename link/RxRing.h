#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// The receive ring between the port's watch thread and the job thread: 1024
// bytes, a read and a write index counted modulo 1024. Equal indices mean
// empty, and the ring never lets the write index catch up with the read
// index, so it holds at most 1023 bytes. It has no lock of its own; the link
// guards it with LinkLock.
class RxRing {
public:
    static constexpr std::size_t kSize = 1024;
    static constexpr std::size_t kCapacity = kSize - 1;

    void Clear() { readIndex_ = writeIndex_ = 0; }
    std::size_t Count() const { return (writeIndex_ + kSize - readIndex_) % kSize; }

    // Appends bytes one by one until the ring is full; the rest are dropped.
    // Returns how many were stored.
    std::size_t Append(const uint8_t* bytes, std::size_t n)
    {
        std::size_t stored = 0;
        while (stored < n) {
            std::size_t next = (writeIndex_ + 1) % kSize;
            if (next == readIndex_)
                break;
            bytes_[writeIndex_] = bytes[stored++];
            writeIndex_ = next;
        }
        return stored;
    }

    // Takes exactly n bytes when at least n are held; otherwise takes nothing.
    bool Take(uint8_t* dest, std::size_t n)
    {
        if (Count() < n)
            return false;
        for (std::size_t i = 0; i < n; ++i) {
            dest[i] = bytes_[readIndex_];
            readIndex_ = (readIndex_ + 1) % kSize;
        }
        return true;
    }

private:
    uint8_t bytes_[kSize] = {};
    std::size_t readIndex_ = 0;
    std::size_t writeIndex_ = 0;
};
