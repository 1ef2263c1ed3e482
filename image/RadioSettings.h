#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "image/ChannelRecord.h"

// The decoded edit model of the whole memory image. Scalars hold the stored
// byte unchanged (0xFF: not set), flags hold 0 or 1, texts are NUL-terminated
// byte strings of fixed capacity (messages are GBK bytes).
class RadioSettings {
public:
    static constexpr int kChannels = 50;
    static constexpr int kAutodials = 9;

    RadioSettings() { Reset(); }
    virtual ~RadioSettings() = default;

    ChannelRecord channels[kChannels];
    char autodial[kAutodials][17];
    char botCode[17];
    char eotCode[17];
    uint32_t dtmfHoldTime, storeAndSendOff, clearTranspondOff;
    uint32_t batterySave, keyLock;
    uint32_t beepTone;
    uint32_t lampMode;
    uint32_t testMode, selfProgramming, wirelessClone;
    uint32_t squelchLevel, moniKey, voxGain;
    uint32_t carriedFlag1038Bit2, carriedFlag1038Bit1, carriedFlag1038Bit0;
    uint32_t tot, totPreAlert, totRekey, totReset;
    uint32_t dtmfSignalling, groupCode, intermediateCode, pttId, callAlert, transpond, autoResetTimer;
    char idCode[11];
    uint32_t firstDigitTime, firstDigitDelay, dtmfSpeed, dKeyAssignment, dtmfKeyFormat, starHashToneTime;
    char stunCode[7];
    uint32_t stunAllow, carriedByte1079;
    char message1[33];
    char message2[33];
    char modelCode[17];
    char infoText1[9];
    char infoText2[9];
    double upperLimit, lowerLimit, firstIf;
    uint32_t carriedByte1884;
    uint32_t highLocalOscillator;
    uint32_t carriedByte1886, carriedByte1887;
    double bandCentre;
    uint32_t carriedByte1902;

    // Member by member, the texts' bytes after their end included: an undo
    // step that changed nothing is not kept.
    bool operator==(const RadioSettings&) const = default;

    // Every member to its reset value.
    void Reset();
    // Channel n (1..50) to the blank channel; other numbers are ignored.
    void ResetChannel(int n);
    // The preset of the 476-478 MHz fixed-frequency model.
    void ApplyFixedPlan();
};

// Copies text into a fixed-capacity field: at most N-1 bytes, the rest of the
// field zero. Never writes outside the field.
template <std::size_t N>
inline void SetText(char (&field)[N], std::string_view text)
{
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memset(field, 0, N);
    if (n > 0) // an empty view may have no data pointer at all
        std::memcpy(field, text.data(), n);
}

template <std::size_t N>
inline std::string_view GetText(const char (&field)[N])
{
    return std::string_view(field, strnlen(field, N));
}
