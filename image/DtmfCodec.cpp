#include "image/DtmfCodec.h"

#include <cstring>
#include <string>

#include "image/ImageMap.h"

void DtmfCodec::DecodeDigits(const uint8_t* field, char (&text)[17])
{
    std::memset(text, 0, sizeof text);
    codec_.BCD2MemID(field, field[ImageMap::kDigitsCount], text, sizeof text);
}

void DtmfCodec::EncodeDigits(const char (&text)[17], uint8_t* field)
{
    // Eight bytes hold 16 digits, and the count must say what was stored.
    std::string_view digits = GetText(text);
    if (digits.size() > 16)
        digits = digits.substr(0, 16);
    const int n = static_cast<int>(digits.size());
    codec_.STR2MemID(std::string(digits), field, n);
    field[ImageMap::kDigitsCount] = static_cast<uint8_t>(n);
}

void DtmfCodec::DecodeFlags(const uint8_t* image, RadioSettings& s)
{
    const uint8_t b = image[ImageMap::kOptionFlagsA];
    s.dtmfHoldTime = ValueCodec::GetBit(b, 7);
    s.storeAndSendOff = ValueCodec::GetBit(b, 6);
    s.clearTranspondOff = ValueCodec::GetBit(b, 5);
}

void DtmfCodec::EncodeFlags(const RadioSettings& s, uint8_t* image)
{
    uint8_t& b = image[ImageMap::kOptionFlagsA];
    codec_.PutBit(b, 7, s.dtmfHoldTime != 0);
    codec_.PutBit(b, 6, s.storeAndSendOff != 0);
    codec_.PutBit(b, 5, s.clearTranspondOff != 0);
}

namespace {

using ByteMember = uint32_t RadioSettings::*;

// Runs of one-byte settings, in image order.
constexpr ByteMember kSignallingBytes[] = {
    &RadioSettings::dtmfSignalling, &RadioSettings::groupCode, &RadioSettings::intermediateCode,
    &RadioSettings::pttId,          &RadioSettings::callAlert, &RadioSettings::transpond,
    &RadioSettings::autoResetTimer,
};
constexpr ByteMember kTimingBytes[] = {
    &RadioSettings::firstDigitTime, &RadioSettings::firstDigitDelay, &RadioSettings::dtmfSpeed,
    &RadioSettings::dKeyAssignment, &RadioSettings::dtmfKeyFormat,   &RadioSettings::starHashToneTime,
};

template <std::size_t N>
void DecodeRun(const uint8_t* p, const ByteMember (&run)[N], RadioSettings& s)
{
    for (std::size_t i = 0; i < N; ++i)
        s.*run[i] = p[i];
}

template <std::size_t N>
void EncodeRun(const RadioSettings& s, const ByteMember (&run)[N], uint8_t* p)
{
    for (std::size_t i = 0; i < N; ++i)
        p[i] = static_cast<uint8_t>(s.*run[i]);
}

} // namespace

void DtmfCodec::DecodeSignallingBytes(const uint8_t* image, RadioSettings& s)
{
    DecodeRun(image + ImageMap::kDtmfSignalling, kSignallingBytes, s);
}

void DtmfCodec::EncodeSignallingBytes(const RadioSettings& s, uint8_t* image)
{
    EncodeRun(s, kSignallingBytes, image + ImageMap::kDtmfSignalling);
}

void DtmfCodec::DecodeTimingBytes(const uint8_t* image, RadioSettings& s)
{
    DecodeRun(image + ImageMap::kFirstDigitTime, kTimingBytes, s);
}

void DtmfCodec::EncodeTimingBytes(const RadioSettings& s, uint8_t* image)
{
    EncodeRun(s, kTimingBytes, image + ImageMap::kFirstDigitTime);
}

void DtmfCodec::DecodeStunBytes(const uint8_t* image, RadioSettings& s)
{
    s.stunAllow = image[ImageMap::kStunAllow];
    s.carriedByte1079 = image[ImageMap::kCarriedByte1079];
}

void DtmfCodec::EncodeStunBytes(const RadioSettings& s, uint8_t* image)
{
    image[ImageMap::kStunAllow] = static_cast<uint8_t>(s.stunAllow);
    image[ImageMap::kCarriedByte1079] = static_cast<uint8_t>(s.carriedByte1079);
}

void DtmfCodec::DecodeIdCode(const uint8_t* image, RadioSettings& s)
{
    std::memset(s.idCode, 0, sizeof s.idCode);
    codec_.BCD2IDCode(image + ImageMap::kIdCode, s.idCode, sizeof s.idCode);
}

void DtmfCodec::EncodeIdCode(const RadioSettings& s, uint8_t* image)
{
    std::memset(image + ImageMap::kIdCode, 0xFF, ImageMap::kIdCodeLength);
    codec_.Digits2BCD(std::string(GetText(s.idCode)), image + ImageMap::kIdCode,
                      static_cast<int>(ImageMap::kIdCodeLength));
}

void DtmfCodec::DecodeStunCode(const uint8_t* image, RadioSettings& s)
{
    std::memset(s.stunCode, 0, sizeof s.stunCode);
    codec_.BCD2Stun(image + ImageMap::kStunCode, static_cast<int>(ImageMap::kStunCodeLength), s.stunCode,
                    sizeof s.stunCode);
}

void DtmfCodec::EncodeStunCode(const RadioSettings& s, uint8_t* image)
{
    std::memset(image + ImageMap::kStunCode, 0xFF, ImageMap::kStunCodeLength);
    codec_.Digits2BCD(std::string(GetText(s.stunCode)), image + ImageMap::kStunCode,
                      static_cast<int>(ImageMap::kStunCodeLength));
}

int DtmfCodec::DecodeAutodial(const uint8_t* image, RadioSettings& s)
{
    for (int k = 0; k < RadioSettings::kAutodials; ++k) {
        DecodeDigits(image + ImageMap::kAutodial + ImageMap::kAutodialSize * k, s.autodial[k]);
        if (codec_.errorCode > 0)
            return codec_.errorCode;
    }
    return 0;
}

int DtmfCodec::EncodeAutodial(const RadioSettings& s, uint8_t* image)
{
    for (int k = 0; k < RadioSettings::kAutodials; ++k) {
        EncodeDigits(s.autodial[k], image + ImageMap::kAutodial + ImageMap::kAutodialSize * k);
        if (codec_.errorCode > 0)
            return codec_.errorCode;
    }
    return 0;
}
