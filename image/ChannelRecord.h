#pragma once
#include <cstdint>

// One memory channel as the view and the channel editor see it. The image
// holds it as a 16-byte record (see ChannelCodec).
struct ChannelRecord {
    double rxFrequency = 0.0;        // MHz; 0.0: the channel has no frequency
    double txFrequency = 0.0;        // MHz; 0.0: transmission off
    char txCode[6] = {};             // QT/DQT encode, e.g. "67.0", "D023N"; empty for none
    char rxCode[6] = {};             // QT/DQT decode
    uint32_t spUnmute = 1;
    uint32_t busyLockout = 3;        // 0..3, 3 is off
    uint32_t wideNarrow = 1;         // 1 wide, 0 narrow
    uint32_t beatShiftOff = 1;
    uint32_t optionalSignalling = 1; // 1 none, 0 DTMF
    uint32_t channelFree = 1;
    uint32_t scanAdd = 1;
    uint32_t carriedFlag13Bit3 = 1;
    uint32_t highPower = 1;
    uint32_t rxStep625 = 255;        // 1 on the 6.25 kHz raster, 0 off it, 255 blank
    uint32_t txStep625 = 255;

    // Field by field, the texts' bytes after their end included.
    bool operator==(const ChannelRecord&) const = default;
};
