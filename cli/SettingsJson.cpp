#include "cli/SettingsJson.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>

#include "image/ChannelRecord.h"
#include "image/ChannelRules.h"
#include "image/ImageMap.h"
#include "image/ModelTable.h"
#include "image/RadioSettings.h"
#include "image/ToneCode.h"
#include "image/ValueCodec.h"

namespace {

enum class Kind { Scalar, Flag, Frequency, Text };

// What a text field may hold, so that the codec stores exactly what was asked.
enum class Charset {
    Dtmf,  // DTMF digits 0-9, A-D, *, #
    Hex,   // one digit per byte: 0-9, A-F
    Tone,  // QT/DQT: a tone such as 67.0 or a code such as D023N / D023I
    Ascii, // printable single-byte characters
    Gbk,   // any text the GBK code page can write
};

// No image field to blank (see Member::reversedField).
constexpr std::size_t kNoField = 0;

// One member of a record: its JSON name, its kind and how to reach it.
template <typename R>
struct Member {
    const char* name;
    Kind kind;
    uint32_t R::*integer = nullptr;
    double R::*frequency = nullptr;
    std::span<char> (*text)(R&) = nullptr;
    int maxBytes = 0; // texts: the most bytes the image field holds
    Charset charset = Charset::Ascii;
    uint32_t maxValue = 255; // scalars: the most the image field holds
    // Right-aligned reversed texts: their image offset. The encoder writes
    // nothing for an empty one, so an edit that empties it blanks the field.
    std::size_t reversedField = kNoField;
};

template <typename R, auto Field>
std::span<char> TextOf(R& record)
{
    return std::span<char>(record.*Field);
}

// The name is taken from the member itself, so the two cannot drift apart.
#define ZT_SCALAR(R, m) Member<R>{.name = #m, .kind = Kind::Scalar, .integer = &R::m}
#define ZT_BITS(R, m, max) Member<R>{.name = #m, .kind = Kind::Scalar, .integer = &R::m, .maxValue = max}
#define ZT_FLAG(R, m) Member<R>{.name = #m, .kind = Kind::Flag, .integer = &R::m}
#define ZT_FREQ(R, m) Member<R>{.name = #m, .kind = Kind::Frequency, .frequency = &R::m}
#define ZT_TEXT(R, m, max, cs)                                                                     \
    Member<R>{.name = #m, .kind = Kind::Text, .text = &TextOf<R, &R::m>, .maxBytes = max, .charset = cs}
#define ZT_REVERSED(R, m, at)                                                                      \
    Member<R>{.name = #m,                                                                          \
              .kind = Kind::Text,                                                                  \
              .text = &TextOf<R, &R::m>,                                                           \
              .maxBytes = 8,                                                                       \
              .charset = Charset::Ascii,                                                           \
              .reversedField = at}

const Member<ChannelRecord> kChannelMembers[] = {
    ZT_FREQ(ChannelRecord, rxFrequency),
    ZT_FREQ(ChannelRecord, txFrequency),
    ZT_TEXT(ChannelRecord, txCode, 5, Charset::Tone),
    ZT_TEXT(ChannelRecord, rxCode, 5, Charset::Tone),
    ZT_FLAG(ChannelRecord, spUnmute),
    ZT_BITS(ChannelRecord, busyLockout, 3),
    ZT_FLAG(ChannelRecord, wideNarrow),
    ZT_FLAG(ChannelRecord, beatShiftOff),
    ZT_FLAG(ChannelRecord, optionalSignalling),
    ZT_FLAG(ChannelRecord, channelFree),
    ZT_FLAG(ChannelRecord, scanAdd),
    ZT_FLAG(ChannelRecord, carriedFlag13Bit3),
    ZT_FLAG(ChannelRecord, highPower),
    ZT_SCALAR(ChannelRecord, rxStep625),
    ZT_SCALAR(ChannelRecord, txStep625),
};

// Every member of RadioSettings except channels and autodial, which are
// arrays and handled on their own.
const Member<RadioSettings> kSettingsMembers[] = {
    ZT_TEXT(RadioSettings, botCode, 16, Charset::Dtmf),
    ZT_TEXT(RadioSettings, eotCode, 16, Charset::Dtmf),
    ZT_FLAG(RadioSettings, dtmfHoldTime),
    ZT_FLAG(RadioSettings, storeAndSendOff),
    ZT_FLAG(RadioSettings, clearTranspondOff),
    ZT_FLAG(RadioSettings, batterySave),
    ZT_FLAG(RadioSettings, keyLock),
    ZT_FLAG(RadioSettings, beepTone),
    ZT_SCALAR(RadioSettings, lampMode),
    ZT_FLAG(RadioSettings, testMode),
    ZT_FLAG(RadioSettings, selfProgramming),
    ZT_FLAG(RadioSettings, wirelessClone),
    ZT_SCALAR(RadioSettings, squelchLevel),
    ZT_SCALAR(RadioSettings, moniKey),
    ZT_SCALAR(RadioSettings, voxGain),
    ZT_FLAG(RadioSettings, carriedFlag1038Bit2),
    ZT_FLAG(RadioSettings, carriedFlag1038Bit1),
    ZT_FLAG(RadioSettings, carriedFlag1038Bit0),
    ZT_SCALAR(RadioSettings, tot),
    ZT_SCALAR(RadioSettings, totPreAlert),
    ZT_SCALAR(RadioSettings, totRekey),
    ZT_SCALAR(RadioSettings, totReset),
    ZT_SCALAR(RadioSettings, dtmfSignalling),
    ZT_SCALAR(RadioSettings, groupCode),
    ZT_SCALAR(RadioSettings, intermediateCode),
    ZT_SCALAR(RadioSettings, pttId),
    ZT_SCALAR(RadioSettings, callAlert),
    ZT_SCALAR(RadioSettings, transpond),
    ZT_SCALAR(RadioSettings, autoResetTimer),
    ZT_TEXT(RadioSettings, idCode, 10, Charset::Dtmf),
    ZT_SCALAR(RadioSettings, firstDigitTime),
    ZT_SCALAR(RadioSettings, firstDigitDelay),
    ZT_SCALAR(RadioSettings, dtmfSpeed),
    ZT_SCALAR(RadioSettings, dKeyAssignment),
    ZT_SCALAR(RadioSettings, dtmfKeyFormat),
    ZT_SCALAR(RadioSettings, starHashToneTime),
    ZT_TEXT(RadioSettings, stunCode, 6, Charset::Hex),
    ZT_SCALAR(RadioSettings, stunAllow),
    ZT_SCALAR(RadioSettings, carriedByte1079),
    ZT_TEXT(RadioSettings, message1, 32, Charset::Gbk),
    ZT_TEXT(RadioSettings, message2, 32, Charset::Gbk),
    ZT_REVERSED(RadioSettings, modelCode, ImageMap::kModelCode),
    ZT_REVERSED(RadioSettings, infoText1, ImageMap::kInfoText1),
    ZT_REVERSED(RadioSettings, infoText2, ImageMap::kInfoText2),
    ZT_FREQ(RadioSettings, upperLimit),
    ZT_FREQ(RadioSettings, lowerLimit),
    ZT_FREQ(RadioSettings, firstIf),
    ZT_SCALAR(RadioSettings, carriedByte1884),
    ZT_FLAG(RadioSettings, highLocalOscillator),
    ZT_SCALAR(RadioSettings, carriedByte1886),
    ZT_SCALAR(RadioSettings, carriedByte1887),
    ZT_FREQ(RadioSettings, bandCentre),
    ZT_SCALAR(RadioSettings, carriedByte1902),
};

#undef ZT_SCALAR
#undef ZT_BITS
#undef ZT_REVERSED
#undef ZT_FLAG
#undef ZT_FREQ
#undef ZT_TEXT

constexpr int kAutodialDigits = 16;
// The most characters of a JSON key an error line repeats.
constexpr int kMostKeyCharacters = 40;

bool Fail(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = QStringLiteral("member %1: %2").arg(path, reason);
    return false;
}

void AppendEscaped(QString& out, char32_t u)
{
    switch (u) {
    case '\n': out += QLatin1String("\\n"); return;
    case '\r': out += QLatin1String("\\r"); return;
    case '\t': out += QLatin1String("\\t"); return;
    case '\\': out += QLatin1String("\\\\"); return;
    default: break;
    }
    const QChar::Category category = QChar::category(u);
    const bool shown = u >= 0x20 && u != 0x7F && QChar::isPrint(u) && category != QChar::Separator_Line
        && category != QChar::Separator_Paragraph;
    if (shown)
        out += QString::fromUcs4(&u, 1);
    else if (u < 0x100)
        out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
    else
        out += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
}

// A JSON key as an error line names it: characters a terminal would act on
// or not show at all are written as escapes, and a long key is cut.
QString ShownKey(const QString& key)
{
    QString out;
    int characters = 0;
    for (qsizetype i = 0; i < key.size(); ++i, ++characters) {
        if (characters == kMostKeyCharacters) {
            out += QStringLiteral("... (%1 characters)").arg(key.size());
            break;
        }
        char32_t u = key[i].unicode();
        if (key[i].isHighSurrogate() && i + 1 < key.size() && key[i + 1].isLowSurrogate()) {
            u = QChar::surrogateToUcs4(key[i], key[i + 1]);
            ++i;
        }
        AppendEscaped(out, u); // a lone surrogate is no character: escaped
    }
    return out;
}

QString MemberPath(const QString& path, const QString& key)
{
    return path.isEmpty() ? ShownKey(key) : path + QLatin1Char('.') + ShownKey(key);
}

// ---- texts ----------------------------------------------------------------

std::string_view StoredText(std::span<const char> field)
{
    return std::string_view(field.data(), strnlen(field.data(), field.size()));
}

QString TextToJson(std::span<const char> field, Charset charset)
{
    const std::string_view bytes = StoredText(field);
    if (charset == Charset::Gbk) {
        QStringDecoder gbk("GBK");
        return gbk(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
    // Latin-1 keeps any stray byte visible instead of dropping it.
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

// Checks a JSON text against its field and gives the bytes to store.
bool TextFromJson(const QJsonValue& value, int maxBytes, Charset charset, const QString& path,
                  QByteArray* bytes, QString* error)
{
    if (!value.isString())
        return Fail(error, path, QStringLiteral("expected a string"));
    const QString text = value.toString();
    if (text.contains(QChar(0)))
        return Fail(error, path, QStringLiteral("the text holds a NUL character"));
    // JSON lets "\ud800" stand alone; it is half a character, nothing to store.
    if (!QStringView(text).isValidUtf16())
        return Fail(error, path, QStringLiteral("the text holds half a character (a lone UTF-16 surrogate)"));

    if (charset == Charset::Gbk) {
        QStringEncoder gbk("GBK");
        *bytes = gbk(text);
        if (gbk.hasError())
            return Fail(error, path, QStringLiteral("the text holds characters GBK cannot write"));
        if (bytes->size() > maxBytes)
            return Fail(error, path,
                        QStringLiteral("%1 bytes in GBK, the field holds %2 (a Chinese character takes 2)")
                            .arg(bytes->size())
                            .arg(maxBytes));
        return true;
    }

    for (QChar c : text)
        if (c.unicode() > 0x7E || c.unicode() < 0x20)
            return Fail(error, path, QStringLiteral("only printable ASCII characters are allowed"));
    if (text.size() > maxBytes)
        return Fail(error, path,
                    QStringLiteral("%1 characters, the field holds %2").arg(text.size()).arg(maxBytes));

    const char* allowed = nullptr;
    switch (charset) {
    case Charset::Dtmf: allowed = "0123456789ABCDabcd*#"; break;
    case Charset::Hex: allowed = "0123456789ABCDEFabcdef"; break;
    case Charset::Tone:
        if (!ToneCode::IsStorable(text.toStdString()))
            return Fail(error, path,
                        QStringLiteral("'%1' is not a QT/DQT code (a tone such as 67.0 or a code such as "
                                       "D023N or D023I)")
                            .arg(text));
        break;
    case Charset::Ascii:
    case Charset::Gbk: break;
    }
    if (allowed) {
        for (QChar c : text)
            if (!std::strchr(allowed, char(c.unicode())))
                return Fail(error, path,
                            QStringLiteral("'%1' is not allowed here (allowed: %2)")
                                .arg(c)
                                .arg(QLatin1String(allowed)));
    }
    *bytes = text.toLatin1();
    return true;
}

void StoreText(std::span<char> field, const QByteArray& bytes)
{
    const std::size_t n = std::min<std::size_t>(std::size_t(bytes.size()), field.size() - 1);
    std::memset(field.data(), 0, field.size());
    if (n > 0)
        std::memcpy(field.data(), bytes.constData(), n);
}

// ---- numbers --------------------------------------------------------------

bool IntegerFromJson(const QJsonValue& value, const QString& path, uint32_t maxValue, uint32_t* out,
                     QString* error)
{
    const double d = value.toDouble(-1.0);
    if (!value.isDouble() || d != std::floor(d) || d < 0.0 || d > double(maxValue))
        return Fail(error, path,
                    QStringLiteral("expected an integer 0..%1%2")
                        .arg(maxValue)
                        .arg(maxValue == 255 ? QStringLiteral(" (the field is one byte)") : QString()));
    *out = uint32_t(d);
    return true;
}

bool FrequencyFromJson(const QJsonValue& value, const QString& path, double* out, QString* error)
{
    if (!value.isDouble())
        return Fail(error, path, QStringLiteral("expected a number (MHz)"));
    const double f = value.toDouble();
    // The stored form holds three integer digits of the value printed with six
    // decimals, so 999.9999996 (printed as 1000.000000) does not fit either.
    if (!(f >= 0.0 && f < 1000.0))
        return Fail(error, path, QStringLiteral("%1 MHz is outside 0 <= f < 1000 MHz").arg(f, 0, 'g', 12));
    char printed[64];
    std::snprintf(printed, sizeof printed, "%f", f);
    const char* point = std::strchr(printed, '.');
    if (!point || point - printed > 3)
        return Fail(error, path,
                    QStringLiteral("%1 MHz rounds to 1000 MHz, outside 0 <= f < 1000 MHz").arg(f, 0, 'g', 12));
    *out = f;
    return true;
}

// ---- records --------------------------------------------------------------

template <typename R, std::size_t N>
const Member<R>* Find(const Member<R> (&table)[N], const QString& name)
{
    for (const Member<R>& m : table)
        if (name == QLatin1String(m.name))
            return &m;
    return nullptr;
}

template <typename R, std::size_t N>
void RecordToJson(const Member<R> (&table)[N], const R& record, QJsonObject& out)
{
    // The text accessor only hands out the field; nothing is written here.
    R& readable = const_cast<R&>(record);
    for (const Member<R>& m : table) {
        switch (m.kind) {
        case Kind::Scalar:
        case Kind::Flag: out.insert(QLatin1String(m.name), double(record.*m.integer)); break;
        case Kind::Frequency: out.insert(QLatin1String(m.name), record.*m.frequency); break;
        case Kind::Text: out.insert(QLatin1String(m.name), TextToJson(m.text(readable), m.charset)); break;
        }
    }
}

template <typename R>
bool SetMember(const Member<R>& m, R& record, const QJsonValue& value, const QString& path, QString* error)
{
    switch (m.kind) {
    case Kind::Scalar: return IntegerFromJson(value, path, m.maxValue, &(record.*m.integer), error);
    case Kind::Flag:
        // A flag takes the integer as given; the image keeps only set (non-zero)
        // or clear, as the dialogs' own values would.
        return IntegerFromJson(value, path, UINT32_MAX, &(record.*m.integer), error);
    case Kind::Frequency: return FrequencyFromJson(value, path, &(record.*m.frequency), error);
    case Kind::Text: {
        QByteArray bytes;
        if (!TextFromJson(value, m.maxBytes, m.charset, path, &bytes, error))
            return false;
        StoreText(m.text(record), bytes);
        return true;
    }
    }
    return false;
}

// Sets the members value names on record; each one set is reported to
// onSet, so the caller can tell what the edit named.
template <typename R, std::size_t N, typename OnSet>
bool ApplyRecord(const Member<R> (&table)[N], const QJsonValue& value, const QString& path, R& record,
                 QString* error, OnSet onSet)
{
    if (!value.isObject())
        return Fail(error, path, QStringLiteral("expected an object"));
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString memberPath = MemberPath(path, it.key());
        const Member<R>* m = Find(table, it.key());
        if (!m)
            return Fail(error, memberPath, QStringLiteral("unknown member"));
        if (!SetMember(*m, record, it.value(), memberPath, error))
            return false;
        onSet(*m);
    }
    return true;
}

// Calls apply(number, value) for each entry of an object keyed "1".."count",
// or of an array of exactly count entries (as dump prints it).
template <typename Apply>
bool ForEachNumbered(const QJsonValue& value, const QString& path, int count, QString* error, Apply apply)
{
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        if (array.size() != count)
            return Fail(error, path,
                        QStringLiteral("an array must hold all %1 entries (or use an object keyed "
                                       "\"1\"..\"%1\")")
                            .arg(count));
        for (int i = 0; i < count; ++i)
            if (!apply(i + 1, array.at(i)))
                return false;
        return true;
    }
    if (!value.isObject())
        return Fail(error, path, QStringLiteral("expected an object keyed \"1\"..\"%1\"").arg(count));
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString& key = it.key();
        bool digits = !key.isEmpty() && key.size() <= 3;
        for (QChar c : key)
            digits = digits && c.isDigit() && c.unicode() < 0x80;
        const int n = digits ? key.toInt() : 0;
        if (n < 1 || n > count)
            return Fail(error, MemberPath(path, key),
                        QStringLiteral("'%1' is not a number in 1..%2").arg(ShownKey(key)).arg(count));
        if (!apply(n, it.value()))
            return false;
    }
    return true;
}

// ---- channel rules --------------------------------------------------------

// What an edit named on one channel.
struct ChannelEdit {
    bool named = false;
    bool receive = false;
    bool transmit = false;
};

QString Mhz(double mhz) { return QString::number(mhz, 'f', 5); }

QString BandText(const RadioSettings& settings, const BandLimits& band)
{
    const std::string_view code = GetText(settings.modelCode);
    return QStringLiteral("the band of model %1 (%2-%3 MHz)")
        .arg(code.empty() ? QStringLiteral("(none)") : QString::fromLatin1(code.data(), qsizetype(code.size())))
        .arg(std::min(band.lower, band.upper), 0, 'g', 10)
        .arg(std::max(band.lower, band.upper), 0, 'g', 10);
}

// Refuses a frequency of a channel outside the band. The channel's own edit
// named it, or the edit moved the band from under it.
bool CheckBand(const RadioSettings& settings, const BandLimits& band, int n, const char* field, double mhz,
               bool named, QString* error)
{
    if (band.Contains(mhz))
        return true;
    QString reason = QStringLiteral("channel %1: %2 MHz is outside %3").arg(n).arg(Mhz(mhz), BandText(settings, band));
    if (!named)
        reason += QStringLiteral(", which the edit sets; blank or move the channel in the same edit");
    return Fail(error, QStringLiteral("channels.%1.%2").arg(n).arg(QLatin1String(field)), reason);
}

// The channels an edit named, stored as the channel editor stores them: a
// receive frequency of 0 blanks the channel; otherwise the named frequencies
// must lie in the band of the model as the whole edit leaves it, and are
// moved down to the raster, and the step flags follow them. When the edit
// changes the band, every other channel in use must fit it too.
bool SettleChannels(RadioSettings& settings, const ChannelRecord (&before)[RadioSettings::kChannels],
                    const ChannelEdit (&edits)[RadioSettings::kChannels], const BandLimits& bandBefore,
                    QString* error)
{
    const BandLimits band = SettingsBandLimits(settings);
    const bool bandChanged = band.lower != bandBefore.lower || band.upper != bandBefore.upper;
    for (int n = 1; n <= RadioSettings::kChannels; ++n) {
        ChannelRecord& channel = settings.channels[n - 1];
        const ChannelEdit& edit = edits[n - 1];
        if (edit.named) {
            if (edit.receive && channel.rxFrequency < ValueCodec::kLowestFrequency) {
                settings.ResetChannel(n); // blank, whatever else the edit named
                continue;
            }
            if (!edit.receive && !ChannelInUse(before[n - 1]))
                return Fail(error, QStringLiteral("channels.%1").arg(n),
                            QStringLiteral("channel %1 is blank; give it a receive frequency (rxFrequency) "
                                           "to use it")
                                .arg(n));
            if (!ChannelInUse(channel))
                return Fail(error, QStringLiteral("channels.%1.rxFrequency").arg(n),
                            QStringLiteral("channel %1: %2 MHz is no receive frequency (0 blanks the channel)")
                                .arg(n)
                                .arg(Mhz(channel.rxFrequency)));
        } else if (!bandChanged || !ChannelInUse(channel)) {
            continue;
        }
        if ((edit.receive || bandChanged)
            && !CheckBand(settings, band, n, "rxFrequency", channel.rxFrequency, edit.receive, error))
            return false;
        if ((edit.transmit || bandChanged) && HasTransmitFrequency(channel)
            && !CheckBand(settings, band, n, "txFrequency", channel.txFrequency, edit.transmit, error))
            return false;
        if (!edit.named)
            continue;
        if (edit.receive)
            channel.rxFrequency = MoveToRaster(channel.rxFrequency);
        if (edit.transmit && HasTransmitFrequency(channel))
            channel.txFrequency = MoveToRaster(channel.txFrequency);
        MarkInUse(channel);
    }
    return true;
}

} // namespace

QJsonObject SettingsToJson(const RadioSettings& settings)
{
    QJsonObject out;
    QJsonArray channels;
    for (const ChannelRecord& channel : settings.channels) {
        QJsonObject c;
        RecordToJson(kChannelMembers, channel, c);
        channels.append(c);
    }
    out.insert(QStringLiteral("channels"), channels);

    QJsonArray autodial;
    for (const auto& entry : settings.autodial)
        autodial.append(TextToJson(entry, Charset::Dtmf));
    out.insert(QStringLiteral("autodial"), autodial);

    RecordToJson(kSettingsMembers, settings, out);
    return out;
}

bool ApplySettingsJson(const QJsonObject& edits, RadioSettings& settings, ApplyMode mode, AppliedEdits* applied,
                       QString* error)
{
    const BandLimits bandBefore = SettingsBandLimits(settings);
    ChannelRecord before[RadioSettings::kChannels];
    std::copy(std::begin(settings.channels), std::end(settings.channels), before);
    ChannelEdit channelEdits[RadioSettings::kChannels];

    for (auto it = edits.begin(); it != edits.end(); ++it) {
        const QString& key = it.key();
        if (key == QLatin1String("channels")) {
            const bool ok = ForEachNumbered(
                it.value(), key, RadioSettings::kChannels, error, [&](int n, const QJsonValue& v) {
                    ChannelEdit& edit = channelEdits[n - 1];
                    return ApplyRecord(kChannelMembers, v, key + QLatin1Char('.') + QString::number(n),
                                       settings.channels[n - 1], error, [&](const Member<ChannelRecord>& m) {
                                           edit.named = true;
                                           edit.receive = edit.receive || m.frequency == &ChannelRecord::rxFrequency;
                                           edit.transmit = edit.transmit || m.frequency == &ChannelRecord::txFrequency;
                                       });
                });
            if (!ok)
                return false;
        } else if (key == QLatin1String("autodial")) {
            const bool ok = ForEachNumbered(it.value(), key, RadioSettings::kAutodials, error,
                                            [&](int n, const QJsonValue& v) {
                                                QByteArray bytes;
                                                if (!TextFromJson(v, kAutodialDigits, Charset::Dtmf,
                                                                  key + QLatin1Char('.') + QString::number(n),
                                                                  &bytes, error))
                                                    return false;
                                                StoreText(settings.autodial[n - 1], bytes);
                                                return true;
                                            });
            if (!ok)
                return false;
        } else {
            const Member<RadioSettings>* m = Find(kSettingsMembers, key);
            if (!m)
                return Fail(error, ShownKey(key), QStringLiteral("unknown member"));
            if (!SetMember(*m, settings, it.value(), key, error))
                return false;
            if (m->reversedField != kNoField && applied && StoredText(m->text(settings)).empty())
                applied->blankFields.push_back(m->reversedField);
        }
    }
    return mode == ApplyMode::Raw || SettleChannels(settings, before, channelEdits, bandBefore, error);
}
