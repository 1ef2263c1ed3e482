#pragma once
#include <cstdint>

#include "image/RadioSettings.h"
#include "image/ValueCodec.h"

// Everything outside the channel table and the autodial memories, in image
// order: BOT/EOT, option flags and bytes, time-out timer, DTMF options, ID
// and stun codes, model data (limits, IF, local oscillator, band centre),
// the two embedded messages, the model code and the information texts.
class SettingsCodec {
public:
    explicit SettingsCodec(ValueCodec& codec) : codec_(codec) {}

    // Each returns 0, or the codec's error code at the first failed check.
    int DecodeSettings(const uint8_t* image, RadioSettings& s);
    int EncodeSettings(const RadioSettings& s, uint8_t* image);

private:
    ValueCodec& codec_;
};
