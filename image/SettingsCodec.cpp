#include "image/SettingsCodec.h"

#include <cstring>
#include <string>

#include "image/DtmfCodec.h"
#include "image/ImageMap.h"

#define RETURN_ON_ERROR()              \
    do {                               \
        if (codec_.errorCode > 0)      \
            return codec_.errorCode;   \
    } while (0)

namespace {
uint8_t Low(uint32_t value) { return static_cast<uint8_t>(value); }
} // namespace

int SettingsCodec::DecodeSettings(const uint8_t* image, RadioSettings& s)
{
    using M = ImageMap;
    DtmfCodec dtmf(codec_);

    dtmf.DecodeDigits(image + M::kBotCode, s.botCode);
    RETURN_ON_ERROR();
    dtmf.DecodeDigits(image + M::kEotCode, s.eotCode);
    RETURN_ON_ERROR();

    dtmf.DecodeFlags(image, s);
    const uint8_t flagsA = image[M::kOptionFlagsA];
    s.batterySave = ValueCodec::GetBit(flagsA, 4);
    s.keyLock = ValueCodec::GetBit(flagsA, 3);
    s.beepTone = ValueCodec::GetBit(flagsA, 0);
    s.lampMode = image[M::kLampMode];
    const uint8_t flagsB = image[M::kOptionFlagsB];
    s.testMode = ValueCodec::GetBit(flagsB, 4);
    s.selfProgramming = ValueCodec::GetBit(flagsB, 3);
    s.wirelessClone = ValueCodec::GetBit(flagsB, 2);
    s.squelchLevel = image[M::kSquelchLevel];
    s.moniKey = image[M::kMoniKey];
    s.voxGain = image[M::kVoxGain];
    const uint8_t carried = image[M::kCarriedFlags];
    s.carriedFlag1038Bit2 = ValueCodec::GetBit(carried, 2);
    s.carriedFlag1038Bit1 = ValueCodec::GetBit(carried, 1);
    s.carriedFlag1038Bit0 = ValueCodec::GetBit(carried, 0);
    s.tot = image[M::kTot];
    s.totPreAlert = image[M::kTot + 1];
    s.totRekey = image[M::kTot + 2];
    s.totReset = image[M::kTot + 3];

    dtmf.DecodeSignallingBytes(image, s);
    dtmf.DecodeIdCode(image, s);
    RETURN_ON_ERROR();
    dtmf.DecodeTimingBytes(image, s);
    dtmf.DecodeStunCode(image, s);
    RETURN_ON_ERROR();
    dtmf.DecodeStunBytes(image, s);

    s.upperLimit = codec_.BCD2Freq(image + M::kUpperLimit);
    RETURN_ON_ERROR();
    s.lowerLimit = codec_.BCD2Freq(image + M::kLowerLimit);
    RETURN_ON_ERROR();
    s.firstIf = codec_.BCD2Freq(image + M::kFirstIf);
    RETURN_ON_ERROR();
    s.carriedByte1884 = image[M::kCarriedByte1884];
    s.highLocalOscillator = ValueCodec::GetBit(image[M::kLocalOscillator], 0);
    s.carriedByte1886 = image[M::kCarriedByte1886];
    s.carriedByte1887 = image[M::kCarriedByte1887];
    s.bandCentre = codec_.BCD2Freq(image + M::kBandCentre);
    s.carriedByte1902 = image[M::kCarriedByte1902];

    std::memset(s.message1, 0, sizeof s.message1);
    codec_.Bytes2Text(image + M::kMessage1, s.message1, static_cast<int>(M::kMessageLength));
    std::memset(s.message2, 0, sizeof s.message2);
    codec_.Bytes2Text(image + M::kMessage2, s.message2, static_cast<int>(M::kMessageLength));
    RETURN_ON_ERROR();

    std::memset(s.modelCode, 0, sizeof s.modelCode);
    codec_.BCD2Type(image + M::kModelCode, s.modelCode, sizeof s.modelCode);
    std::memset(s.infoText1, 0, sizeof s.infoText1);
    codec_.BCD2TypeNum(image + M::kInfoText1, s.infoText1, sizeof s.infoText1);
    std::memset(s.infoText2, 0, sizeof s.infoText2);
    codec_.BCD2TypeNum(image + M::kInfoText2, s.infoText2, sizeof s.infoText2);
    RETURN_ON_ERROR();
    return 0;
}

int SettingsCodec::EncodeSettings(const RadioSettings& s, uint8_t* image)
{
    using M = ImageMap;
    DtmfCodec dtmf(codec_);

    dtmf.EncodeDigits(s.botCode, image + M::kBotCode);
    RETURN_ON_ERROR();
    dtmf.EncodeDigits(s.eotCode, image + M::kEotCode);
    RETURN_ON_ERROR();

    // Bit fields change in place: bits that no setting owns keep the radio's value.
    dtmf.EncodeFlags(s, image);
    uint8_t& flagsA = image[M::kOptionFlagsA];
    codec_.PutBit(flagsA, 4, s.batterySave != 0);
    codec_.PutBit(flagsA, 3, s.keyLock != 0);
    codec_.PutBit(flagsA, 0, s.beepTone != 0);
    image[M::kLampMode] = Low(s.lampMode);
    uint8_t& flagsB = image[M::kOptionFlagsB];
    codec_.PutBit(flagsB, 4, s.testMode != 0);
    codec_.PutBit(flagsB, 3, s.selfProgramming != 0);
    codec_.PutBit(flagsB, 2, s.wirelessClone != 0);
    image[M::kSquelchLevel] = Low(s.squelchLevel);
    image[M::kMoniKey] = Low(s.moniKey);
    image[M::kVoxGain] = Low(s.voxGain);
    uint8_t& carried = image[M::kCarriedFlags];
    codec_.PutBit(carried, 2, s.carriedFlag1038Bit2 != 0);
    codec_.PutBit(carried, 1, s.carriedFlag1038Bit1 != 0);
    codec_.PutBit(carried, 0, s.carriedFlag1038Bit0 != 0);
    image[M::kTot] = Low(s.tot);
    image[M::kTot + 1] = Low(s.totPreAlert);
    image[M::kTot + 2] = Low(s.totRekey);
    image[M::kTot + 3] = Low(s.totReset);

    dtmf.EncodeSignallingBytes(s, image);
    dtmf.EncodeIdCode(s, image);
    RETURN_ON_ERROR();
    dtmf.EncodeTimingBytes(s, image);
    dtmf.EncodeStunCode(s, image);
    RETURN_ON_ERROR();
    dtmf.EncodeStunBytes(s, image);

    codec_.Freq2BCD(s.upperLimit, image + M::kUpperLimit);
    RETURN_ON_ERROR();
    codec_.Freq2BCD(s.lowerLimit, image + M::kLowerLimit);
    RETURN_ON_ERROR();
    codec_.Freq2BCD(s.firstIf, image + M::kFirstIf);
    RETURN_ON_ERROR();
    image[M::kCarriedByte1884] = Low(s.carriedByte1884);
    codec_.PutBit(image[M::kLocalOscillator], 0, s.highLocalOscillator != 0);
    image[M::kCarriedByte1886] = Low(s.carriedByte1886);
    image[M::kCarriedByte1887] = Low(s.carriedByte1887);
    codec_.Freq2BCD(s.bandCentre, image + M::kBandCentre);
    RETURN_ON_ERROR();
    image[M::kCarriedByte1902] = Low(s.carriedByte1902);

    codec_.Text2Bytes(std::string(GetText(s.message1)), image + M::kMessage1, static_cast<int>(M::kMessageLength));
    codec_.Text2Bytes(std::string(GetText(s.message2)), image + M::kMessage2, static_cast<int>(M::kMessageLength));
    RETURN_ON_ERROR();

    // An empty model code or information text writes nothing: the radio's bytes stay.
    codec_.Type2BCD(std::string(GetText(s.modelCode)), image + M::kModelCode);
    codec_.Type2BCD(std::string(GetText(s.infoText1)), image + M::kInfoText1);
    codec_.Type2BCD(std::string(GetText(s.infoText2)), image + M::kInfoText2);
    RETURN_ON_ERROR();
    return 0;
}
