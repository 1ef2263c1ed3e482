#include "image/ChannelCodec.h"

#include <cstring>
#include <string>

#include "image/ImageMap.h"

#define RETURN_ON_ERROR()              \
    do {                               \
        if (codec_.errorCode > 0)      \
            return codec_.errorCode;   \
    } while (0)

int ChannelCodec::DecodeChannels(const uint8_t* image, RadioSettings& settings)
{
    for (int i = 0; i < RadioSettings::kChannels; ++i) {
        const int error = DecodeRecord(image + ImageMap::kChannels + ImageMap::kChannelSize * i,
                                       settings.channels[i]);
        if (error > 0)
            return error;
    }
    return 0;
}

int ChannelCodec::EncodeChannels(const RadioSettings& settings, uint8_t* image)
{
    for (int i = 0; i < RadioSettings::kChannels; ++i) {
        const int error = EncodeRecord(settings.channels[i],
                                       image + ImageMap::kChannels + ImageMap::kChannelSize * i);
        if (error > 0)
            return error;
    }
    return 0;
}

int ChannelCodec::DecodeRecord(const uint8_t* record, ChannelRecord& channel)
{
    channel.rxFrequency = codec_.BCD2Freq(record + 0);
    RETURN_ON_ERROR();
    channel.txFrequency = codec_.BCD2Freq(record + 4);
    RETURN_ON_ERROR();
    std::memset(channel.txCode, 0, sizeof channel.txCode);
    codec_.BCD2Code(record + 8, channel.txCode, sizeof channel.txCode);
    RETURN_ON_ERROR();
    std::memset(channel.rxCode, 0, sizeof channel.rxCode);
    codec_.BCD2Code(record + 10, channel.rxCode, sizeof channel.rxCode);
    RETURN_ON_ERROR();

    const uint8_t a = record[12];
    channel.spUnmute = ValueCodec::GetBit(a, 6);
    channel.busyLockout = 2 * ValueCodec::GetBit(a, 4) + ValueCodec::GetBit(a, 3);
    channel.wideNarrow = ValueCodec::GetBit(a, 2);
    channel.beatShiftOff = ValueCodec::GetBit(a, 1);
    channel.optionalSignalling = ValueCodec::GetBit(a, 0);

    const uint8_t b = record[13];
    channel.channelFree = ValueCodec::GetBit(b, 7);
    channel.scanAdd = ValueCodec::GetBit(b, 6);
    channel.carriedFlag13Bit3 = ValueCodec::GetBit(b, 3);
    channel.highPower = ValueCodec::GetBit(b, 0);

    channel.rxStep625 = record[14];
    channel.txStep625 = record[15];
    return 0;
}

int ChannelCodec::EncodeRecord(const ChannelRecord& channel, uint8_t* record)
{
    codec_.Freq2BCD(channel.rxFrequency, record + 0);
    RETURN_ON_ERROR();
    codec_.Freq2BCD(channel.txFrequency, record + 4);
    RETURN_ON_ERROR();
    codec_.Code2BCD(std::string(GetText(channel.txCode)), record + 8);
    RETURN_ON_ERROR();
    codec_.Code2BCD(std::string(GetText(channel.rxCode)), record + 10);
    RETURN_ON_ERROR();

    uint8_t& a = record[12];
    codec_.PutBit(a, 6, channel.spUnmute != 0);
    codec_.PutBit(a, 4, (channel.busyLockout & 2) != 0);
    codec_.PutBit(a, 3, (channel.busyLockout & 1) != 0);
    codec_.PutBit(a, 2, channel.wideNarrow != 0);
    codec_.PutBit(a, 1, channel.beatShiftOff != 0);
    codec_.PutBit(a, 0, channel.optionalSignalling != 0);

    uint8_t& b = record[13];
    codec_.PutBit(b, 7, channel.channelFree != 0);
    codec_.PutBit(b, 6, channel.scanAdd != 0);
    codec_.PutBit(b, 3, channel.carriedFlag13Bit3 != 0);
    codec_.PutBit(b, 0, channel.highPower != 0);

    record[14] = static_cast<uint8_t>(channel.rxStep625);
    record[15] = static_cast<uint8_t>(channel.txStep625);
    return 0;
}
