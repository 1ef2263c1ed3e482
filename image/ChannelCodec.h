#pragma once
#include <cstdint>

#include "image/ChannelRecord.h"
#include "image/RadioSettings.h"
#include "image/ValueCodec.h"

// The channel table: 50 records of 16 bytes.
//   0..3 receive frequency, 4..7 transmit frequency, 8..9 QT/DQT encode,
//   10..11 QT/DQT decode,
//   12 flags: 6 SP unmute, 4..3 busy lockout, 2 wide, 1 beat shift off,
//      0 optional signalling (7 and 5 are the radio's own),
//   13 flags: 7 channel free, 6 scan add, 3 carried, 0 high power
//      (5, 4, 2, 1 are the radio's own),
//   14, 15 receive / transmit on the 6.25 kHz raster.
class ChannelCodec {
public:
    explicit ChannelCodec(ValueCodec& codec) : codec_(codec) {}

    // Each returns 0, or the codec's error code at the first failed conversion.
    int DecodeChannels(const uint8_t* image, RadioSettings& settings);
    int EncodeChannels(const RadioSettings& settings, uint8_t* image);

    int DecodeRecord(const uint8_t* record, ChannelRecord& channel);
    int EncodeRecord(const ChannelRecord& channel, uint8_t* record);

private:
    ValueCodec& codec_;
};
