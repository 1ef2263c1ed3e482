#pragma once
#include <cstdint>

#include "image/RadioSettings.h"
#include "image/ValueCodec.h"

// DTMF signalling: BOT/EOT codes and the nine autodial memories (DTMF digits
// with a count byte), the DTMF bits of byte 1032, the option bytes, and the
// ID and stun codes (one digit per byte). The settings pass calls the pieces
// in image order; the autodial memories are a pass of their own.
class DtmfCodec {
public:
    explicit DtmfCodec(ValueCodec& codec) : codec_(codec) {}

    // One digit field of 8 bytes followed by its count byte (BOT, EOT, an
    // autodial memory).
    void DecodeDigits(const uint8_t* field, char (&text)[17]);
    void EncodeDigits(const char (&text)[17], uint8_t* field);

    // Byte 1032 bits 7, 6, 5.
    void DecodeFlags(const uint8_t* image, RadioSettings& s);
    void EncodeFlags(const RadioSettings& s, uint8_t* image);

    // Bytes 1046..1052, 1066..1071, 1078..1079.
    void DecodeSignallingBytes(const uint8_t* image, RadioSettings& s);
    void EncodeSignallingBytes(const RadioSettings& s, uint8_t* image);
    void DecodeTimingBytes(const uint8_t* image, RadioSettings& s);
    void EncodeTimingBytes(const RadioSettings& s, uint8_t* image);
    void DecodeStunBytes(const uint8_t* image, RadioSettings& s);
    void EncodeStunBytes(const RadioSettings& s, uint8_t* image);

    void DecodeIdCode(const uint8_t* image, RadioSettings& s);
    void EncodeIdCode(const RadioSettings& s, uint8_t* image);
    void DecodeStunCode(const uint8_t* image, RadioSettings& s);
    void EncodeStunCode(const RadioSettings& s, uint8_t* image);

    // The third pass: 0, or the codec's error code at the first failure.
    int DecodeAutodial(const uint8_t* image, RadioSettings& s);
    int EncodeAutodial(const RadioSettings& s, uint8_t* image);

private:
    ValueCodec& codec_;
};
