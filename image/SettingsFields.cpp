#include "image/SettingsFields.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "image/ChannelRecord.h"
#include "image/ImageMap.h"
#include "image/RadioSettings.h"
#include "image/ToneCode.h"

namespace SettingsFields {

namespace {

template <auto M>
uint32_t* ChannelInteger(RadioSettings& s, int n)
{
    return &(s.channels[n - 1].*M);
}
template <auto M>
double* ChannelFrequency(RadioSettings& s, int n)
{
    return &(s.channels[n - 1].*M);
}
template <auto M>
std::span<char> ChannelText(RadioSettings& s, int n)
{
    return std::span<char>(s.channels[n - 1].*M);
}
template <auto M>
uint32_t* RadioInteger(RadioSettings& s, int)
{
    return &(s.*M);
}
template <auto M>
double* RadioFrequency(RadioSettings& s, int)
{
    return &(s.*M);
}
template <auto M>
std::span<char> RadioText(RadioSettings& s, int)
{
    return std::span<char>(s.*M);
}
std::span<char> AutodialText(RadioSettings& s, int n)
{
    return std::span<char>(s.autodial[n - 1]);
}

constexpr uint32_t kAnyInteger = UINT32_MAX;

// The name is taken from the member itself, so the two cannot drift apart.
#define ZT_CH_FREQ(m, at)                                                                              \
    Member{.name = #m, .kind = Kind::Frequency, .group = Group::Channel, .offset = at, .length = 4,   \
           .frequency = &ChannelFrequency<&ChannelRecord::m>}
#define ZT_CH_TONE(m, at)                                                                              \
    Member{.name = #m, .kind = Kind::Text, .group = Group::Channel, .offset = at, .length = 2,        \
           .maxBytes = int(ToneCode::kMaxLength), .charset = Charset::Tone,                            \
           .text = &ChannelText<&ChannelRecord::m>}
#define ZT_CH_BITS(m, kind_, at, bits_, max)                                                           \
    Member{.name = #m, .kind = kind_, .group = Group::Channel, .offset = at, .length = 1, .bits = bits_, \
           .maxValue = max, .integer = &ChannelInteger<&ChannelRecord::m>}
#define ZT_CH_FLAG(m, at, bit) ZT_CH_BITS(m, Kind::Flag, at, uint8_t(1u << (bit)), kAnyInteger)

#define ZT_BYTE(m, at)                                                                                 \
    Member{.name = #m, .kind = Kind::Scalar, .group = Group::Radio, .offset = at, .length = 1,        \
           .integer = &RadioInteger<&RadioSettings::m>}
#define ZT_FLAG(m, at, bit)                                                                            \
    Member{.name = #m, .kind = Kind::Flag, .group = Group::Radio, .offset = at, .length = 1,          \
           .bits = uint8_t(1u << (bit)), .maxValue = kAnyInteger, .integer = &RadioInteger<&RadioSettings::m>}
#define ZT_FREQ(m, at)                                                                                 \
    Member{.name = #m, .kind = Kind::Frequency, .group = Group::Radio, .offset = at, .length = 4,     \
           .frequency = &RadioFrequency<&RadioSettings::m>}
#define ZT_TEXT(m, at, len, max, cs)                                                                   \
    Member{.name = #m, .kind = Kind::Text, .group = Group::Radio, .offset = at, .length = len,        \
           .maxBytes = max, .charset = cs, .text = &RadioText<&RadioSettings::m>}
#define ZT_REVERSED(m, at)                                                                             \
    Member{.name = #m, .kind = Kind::Text, .group = Group::Radio, .offset = at, .length = 8,          \
           .maxBytes = 8, .charset = Charset::Ascii, .reversed = true, .text = &RadioText<&RadioSettings::m>}

// Offsets within the channel's 16-byte record.
const Member kChannelMembers[] = {
    ZT_CH_FREQ(rxFrequency, 0),
    ZT_CH_FREQ(txFrequency, 4),
    ZT_CH_TONE(txCode, 8),
    ZT_CH_TONE(rxCode, 10),
    ZT_CH_FLAG(spUnmute, 12, 6),
    ZT_CH_BITS(busyLockout, Kind::Scalar, 12, 0x18, 3),
    ZT_CH_FLAG(wideNarrow, 12, 2),
    ZT_CH_FLAG(beatShiftOff, 12, 1),
    ZT_CH_FLAG(optionalSignalling, 12, 0),
    ZT_CH_FLAG(channelFree, 13, 7),
    ZT_CH_FLAG(scanAdd, 13, 6),
    ZT_CH_FLAG(carriedFlag13Bit3, 13, 3),
    ZT_CH_FLAG(highPower, 13, 0),
    ZT_CH_BITS(rxStep625, Kind::Scalar, 14, 0xFF, 255),
    ZT_CH_BITS(txStep625, Kind::Scalar, 15, 0xFF, 255),
};

// Eight digit bytes and the count behind them; bytes 9..15 of the entry
// belong to nothing.
const Member kAutodialMember{.name = "autodial",
                             .kind = Kind::Text,
                             .group = Group::Autodial,
                             .offset = 0,
                             .length = ImageMap::kDigitsCount + 1,
                             .maxBytes = 16,
                             .charset = Charset::Dtmf,
                             .text = &AutodialText};

constexpr std::size_t A = ImageMap::kOptionFlagsA;
constexpr std::size_t B = ImageMap::kOptionFlagsB;
constexpr std::size_t C = ImageMap::kCarriedFlags;

const Member kRadioMembers[] = {
    ZT_TEXT(botCode, ImageMap::kBotCode, ImageMap::kDigitsCount + 1, 16, Charset::Dtmf),
    ZT_TEXT(eotCode, ImageMap::kEotCode, ImageMap::kDigitsCount + 1, 16, Charset::Dtmf),
    ZT_FLAG(dtmfHoldTime, A, 7),
    ZT_FLAG(storeAndSendOff, A, 6),
    ZT_FLAG(clearTranspondOff, A, 5),
    ZT_FLAG(batterySave, A, 4),
    ZT_FLAG(keyLock, A, 3),
    ZT_FLAG(beepTone, A, 0),
    ZT_BYTE(lampMode, ImageMap::kLampMode),
    ZT_FLAG(testMode, B, 4),
    ZT_FLAG(selfProgramming, B, 3),
    ZT_FLAG(wirelessClone, B, 2),
    ZT_BYTE(squelchLevel, ImageMap::kSquelchLevel),
    ZT_BYTE(moniKey, ImageMap::kMoniKey),
    ZT_BYTE(voxGain, ImageMap::kVoxGain),
    ZT_FLAG(carriedFlag1038Bit2, C, 2),
    ZT_FLAG(carriedFlag1038Bit1, C, 1),
    ZT_FLAG(carriedFlag1038Bit0, C, 0),
    ZT_BYTE(tot, ImageMap::kTot),
    ZT_BYTE(totPreAlert, ImageMap::kTot + 1),
    ZT_BYTE(totRekey, ImageMap::kTot + 2),
    ZT_BYTE(totReset, ImageMap::kTot + 3),
    ZT_BYTE(dtmfSignalling, ImageMap::kDtmfSignalling),
    ZT_BYTE(groupCode, ImageMap::kDtmfSignalling + 1),
    ZT_BYTE(intermediateCode, ImageMap::kDtmfSignalling + 2),
    ZT_BYTE(pttId, ImageMap::kDtmfSignalling + 3),
    ZT_BYTE(callAlert, ImageMap::kDtmfSignalling + 4),
    ZT_BYTE(transpond, ImageMap::kDtmfSignalling + 5),
    ZT_BYTE(autoResetTimer, ImageMap::kDtmfSignalling + 6),
    ZT_TEXT(idCode, ImageMap::kIdCode, ImageMap::kIdCodeLength, int(ImageMap::kIdCodeLength), Charset::Dtmf),
    ZT_BYTE(firstDigitTime, ImageMap::kFirstDigitTime),
    ZT_BYTE(firstDigitDelay, ImageMap::kFirstDigitTime + 1),
    ZT_BYTE(dtmfSpeed, ImageMap::kFirstDigitTime + 2),
    ZT_BYTE(dKeyAssignment, ImageMap::kFirstDigitTime + 3),
    ZT_BYTE(dtmfKeyFormat, ImageMap::kFirstDigitTime + 4),
    ZT_BYTE(starHashToneTime, ImageMap::kFirstDigitTime + 5),
    ZT_TEXT(stunCode, ImageMap::kStunCode, ImageMap::kStunCodeLength, int(ImageMap::kStunCodeLength), Charset::Hex),
    ZT_BYTE(stunAllow, ImageMap::kStunAllow),
    ZT_BYTE(carriedByte1079, ImageMap::kCarriedByte1079),
    ZT_TEXT(message1, ImageMap::kMessage1, ImageMap::kMessageLength, int(ImageMap::kMessageLength), Charset::Gbk),
    ZT_TEXT(message2, ImageMap::kMessage2, ImageMap::kMessageLength, int(ImageMap::kMessageLength), Charset::Gbk),
    ZT_REVERSED(modelCode, ImageMap::kModelCode),
    ZT_REVERSED(infoText1, ImageMap::kInfoText1),
    ZT_REVERSED(infoText2, ImageMap::kInfoText2),
    ZT_FREQ(upperLimit, ImageMap::kUpperLimit),
    ZT_FREQ(lowerLimit, ImageMap::kLowerLimit),
    ZT_FREQ(firstIf, ImageMap::kFirstIf),
    ZT_BYTE(carriedByte1884, ImageMap::kCarriedByte1884),
    ZT_FLAG(highLocalOscillator, ImageMap::kLocalOscillator, 0),
    ZT_BYTE(carriedByte1886, ImageMap::kCarriedByte1886),
    ZT_BYTE(carriedByte1887, ImageMap::kCarriedByte1887),
    ZT_FREQ(bandCentre, ImageMap::kBandCentre),
    ZT_BYTE(carriedByte1902, ImageMap::kCarriedByte1902),
};

#undef ZT_CH_FREQ
#undef ZT_CH_TONE
#undef ZT_CH_BITS
#undef ZT_CH_FLAG
#undef ZT_BYTE
#undef ZT_FLAG
#undef ZT_FREQ
#undef ZT_TEXT
#undef ZT_REVERSED

template <std::size_t N>
const Member* Find(const Member (&table)[N], std::string_view name)
{
    for (const Member& m : table)
        if (name == m.name)
            return &m;
    return nullptr;
}

std::string Printf(const char* format, auto... values)
{
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

bool Refuse(std::string* reason, std::string text)
{
    if (reason)
        *reason = std::move(text);
    return false;
}

} // namespace

std::span<const Member> ChannelMembers()
{
    return kChannelMembers;
}

const Member& AutodialMember()
{
    return kAutodialMember;
}

std::span<const Member> RadioMembers()
{
    return kRadioMembers;
}

const Member* FindChannelMember(std::string_view name)
{
    return Find(kChannelMembers, name);
}

const Member* FindRadioMember(std::string_view name)
{
    return Find(kRadioMembers, name);
}

std::string Field::Name() const
{
    switch (member->group) {
    case Group::Channel: return "channel " + std::to_string(number) + " " + member->name;
    case Group::Autodial: return "autodial " + std::to_string(number);
    case Group::Radio: break;
    }
    return member->name;
}

std::size_t Field::Offset() const
{
    switch (member->group) {
    case Group::Channel:
        return ImageMap::kChannels + ImageMap::kChannelSize * std::size_t(number - 1) + member->offset;
    case Group::Autodial:
        return ImageMap::kAutodial + ImageMap::kAutodialSize * std::size_t(number - 1) + member->offset;
    case Group::Radio: break;
    }
    return member->offset;
}

const std::vector<Field>& AllFields()
{
    static const std::vector<Field> fields = [] {
        std::vector<Field> out;
        for (int n = 1; n <= RadioSettings::kChannels; ++n)
            for (const Member& m : kChannelMembers)
                out.push_back({&m, n});
        for (int n = 1; n <= RadioSettings::kAutodials; ++n)
            out.push_back({&kAutodialMember, n});
        for (const Member& m : kRadioMembers)
            out.push_back({&m, 0});
        return out;
    }();
    return fields;
}

const std::vector<ByteOwner>& OwnersOf(std::size_t address)
{
    static const auto owners = [] {
        std::array<std::vector<ByteOwner>, ImageMap::kSize> map;
        for (const Field& f : AllFields())
            for (std::size_t i = 0; i < f.Length(); ++i)
                map[f.Offset() + i].push_back({f, f.member->bits});
        return map;
    }();
    static const std::vector<ByteOwner> none;
    return address < owners.size() ? owners[address] : none;
}

Value GetValue(const RadioSettings& settings, const Field& field)
{
    // The accessors hand out the member only; nothing is written here.
    RadioSettings& readable = const_cast<RadioSettings&>(settings);
    const Member& m = *field.member;
    Value v;
    v.kind = m.kind;
    switch (m.kind) {
    case Kind::Scalar:
    case Kind::Flag: v.integer = *m.integer(readable, field.number); break;
    case Kind::Frequency: v.frequency = *m.frequency(readable, field.number); break;
    case Kind::Text: {
        const std::span<char> text = m.text(readable, field.number);
        v.text.assign(text.data(), strnlen(text.data(), text.size()));
        break;
    }
    }
    return v;
}

std::string FrequencyText(double mhz)
{
    return Printf("%.5f", mhz);
}

bool SetInteger(RadioSettings& settings, const Field& field, double value, std::string* reason)
{
    const Member& m = *field.member;
    if (m.integer == nullptr)
        return Refuse(reason, "not a number member");
    if (!(value >= 0.0 && value <= double(m.maxValue) && value == std::floor(value)))
        return Refuse(reason, Printf("expected an integer 0..%u%s", unsigned(m.maxValue),
                                     m.maxValue == 255 ? " (the field is one byte)" : ""));
    *m.integer(settings, field.number) = uint32_t(value);
    return true;
}

bool SetFrequency(RadioSettings& settings, const Field& field, double mhz, std::string* reason)
{
    const Member& m = *field.member;
    if (m.frequency == nullptr)
        return Refuse(reason, "not a frequency member");
    // The stored form holds three integer digits of the value printed with six
    // decimals, so 999.9999996 (printed as 1000.000000) does not fit either.
    if (!(mhz >= 0.0 && mhz < 1000.0))
        return Refuse(reason, Printf("%.12g MHz is outside 0 <= f < 1000 MHz", mhz));
    char printed[64];
    std::snprintf(printed, sizeof printed, "%f", mhz);
    const char* point = std::strchr(printed, '.');
    if (!point || point - printed > 3)
        return Refuse(reason, Printf("%.12g MHz rounds to 1000 MHz, outside 0 <= f < 1000 MHz", mhz));
    *m.frequency(settings, field.number) = mhz;
    return true;
}

bool SetText(RadioSettings& settings, const Field& field, std::string_view bytes, std::string* reason)
{
    const Member& m = *field.member;
    if (m.text == nullptr)
        return Refuse(reason, "not a text member");
    if (bytes.find('\0') != std::string_view::npos)
        return Refuse(reason, "the text holds a NUL character");
    if (m.charset == Charset::Gbk) {
        if (bytes.size() > std::size_t(m.maxBytes))
            return Refuse(reason, Printf("%zu bytes in GBK, the field holds %d (a Chinese character takes 2)",
                                         bytes.size(), m.maxBytes));
    } else {
        for (char c : bytes)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
                return Refuse(reason, "only printable ASCII characters are allowed");
        if (bytes.size() > std::size_t(m.maxBytes))
            return Refuse(reason, Printf("%zu characters, the field holds %d", bytes.size(), m.maxBytes));
        const char* allowed = nullptr;
        switch (m.charset) {
        case Charset::Dtmf: allowed = "0123456789ABCDabcd*#"; break;
        case Charset::Hex: allowed = "0123456789ABCDEFabcdef"; break;
        case Charset::Tone:
            if (!ToneCode::IsStorable(bytes))
                return Refuse(reason, "'" + std::string(bytes) +
                                          "' is not a QT/DQT code (a tone such as 67.0 or a code such as "
                                          "D023N or D023I)");
            break;
        case Charset::Ascii:
        case Charset::Gbk: break;
        }
        if (allowed)
            for (char c : bytes)
                if (!std::strchr(allowed, c))
                    return Refuse(reason, Printf("'%c' is not allowed here (allowed: %s)", c, allowed));
    }
    const std::span<char> text = m.text(settings, field.number);
    const std::size_t n = std::min(bytes.size(), text.size() - 1);
    std::memset(text.data(), 0, text.size());
    if (n > 0)
        std::memcpy(text.data(), bytes.data(), n);
    return true;
}

} // namespace SettingsFields
