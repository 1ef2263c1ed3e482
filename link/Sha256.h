#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 (FIPS 180-4), for the fingerprints of kept images in the job log.
class Sha256 {
public:
    Sha256() { Reset(); }
    void Reset();
    void Update(const void* data, std::size_t n);
    // The digest of everything given since the last Reset; the object is
    // reset afterwards.
    std::array<uint8_t, 32> Finish();

    // Lower-case hexadecimal digest of one buffer.
    static std::string Hex(const void* data, std::size_t n);

private:
    void Block(const uint8_t* p);

    uint32_t h_[8];
    uint8_t buffer_[64];
    std::size_t used_ = 0;
    uint64_t length_ = 0; // bytes given
};
