#include "cli/SettingsJson.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cmath>
#include <cstdint>
#include <span>

#include "image/ChannelRecord.h"
#include "image/ChannelRules.h"
#include "image/ErrorText.h"
#include "image/ImageMap.h"
#include "image/ModelTable.h"
#include "image/RadioSettings.h"
#include "image/SettingsFields.h"
#include "image/ValueCodec.h"

namespace {

using SettingsFields::Charset;
using SettingsFields::Field;
using SettingsFields::Kind;
using SettingsFields::Member;

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
    // What an error line of any reader hides, and what Qt knows cannot be
    // shown (unassigned characters, other invisible formatting).
    const bool shown = !ErrorText::IsControl(u) && QChar::isPrint(u);
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

// ---- values ---------------------------------------------------------------

// The JSON form of a value: integers and frequencies as numbers, messages
// decoded from GBK, every other text byte for byte (Latin-1 keeps any stray
// byte visible instead of dropping it).
QJsonValue ValueJson(const SettingsFields::Value& value, Charset charset)
{
    switch (value.kind) {
    case Kind::Scalar:
    case Kind::Flag: return double(value.integer);
    case Kind::Frequency: return value.frequency;
    case Kind::Text: break;
    }
    const QByteArrayView bytes(value.text.data(), qsizetype(value.text.size()));
    if (charset == Charset::Gbk) {
        QStringDecoder gbk("GBK");
        return QString(gbk(bytes));
    }
    return QString::fromLatin1(bytes);
}

void RecordToJson(std::span<const Member> members, const RadioSettings& settings, int number, QJsonObject& out)
{
    for (const Member& m : members)
        out.insert(QLatin1String(m.name), ValueJson(GetValue(settings, Field{&m, number}), m.charset));
}

QString FromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A JSON text as the bytes its field would store: GBK for the messages,
// else the characters themselves (the field's own checks refuse anything
// beyond printable ASCII).
bool TextBytes(const QJsonValue& value, Charset charset, const QString& path, QByteArray* bytes, QString* error)
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
        return true;
    }
    *bytes = text.toUtf8();
    return true;
}

} // namespace

bool SetMemberFromJson(RadioSettings& settings, const SettingsFields::Field& field, const QJsonValue& value,
                       const QString& path, QString* error)
{
    std::string reason;
    bool ok = false;
    switch (field.member->kind) {
    case Kind::Scalar:
    case Kind::Flag:
        ok = SettingsFields::SetInteger(settings, field, value.isDouble() ? value.toDouble() : std::nan(""),
                                        &reason);
        break;
    case Kind::Frequency:
        if (!value.isDouble())
            return Fail(error, path, QStringLiteral("expected a number (MHz)"));
        ok = SettingsFields::SetFrequency(settings, field, value.toDouble(), &reason);
        break;
    case Kind::Text: {
        QByteArray bytes;
        if (!TextBytes(value, field.member->charset, path, &bytes, error))
            return false;
        ok = SettingsFields::SetText(settings, field, std::string_view(bytes.constData(), std::size_t(bytes.size())),
                                     &reason);
        break;
    }
    }
    return ok || Fail(error, path, FromStd(reason));
}

namespace {

// Sets the members value names on channel n; each one set is reported to
// onSet, so the caller can tell what the edit named.
template <typename OnSet>
bool ApplyChannel(const QJsonValue& value, const QString& path, RadioSettings& settings, int n, QString* error,
                  OnSet onSet)
{
    if (!value.isObject())
        return Fail(error, path, QStringLiteral("expected an object"));
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString memberPath = MemberPath(path, it.key());
        const Member* m = SettingsFields::FindChannelMember(it.key().toStdString());
        if (!m)
            return Fail(error, memberPath, QStringLiteral("unknown member"));
        if (!SetMemberFromJson(settings, Field{m, n}, it.value(), memberPath, error))
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
    for (int n = 1; n <= RadioSettings::kChannels; ++n) {
        QJsonObject c;
        RecordToJson(SettingsFields::ChannelMembers(), settings, n, c);
        channels.append(c);
    }
    out.insert(QStringLiteral("channels"), channels);

    QJsonArray autodial;
    const Member& entry = SettingsFields::AutodialMember();
    for (int n = 1; n <= RadioSettings::kAutodials; ++n)
        autodial.append(ValueJson(GetValue(settings, Field{&entry, n}), entry.charset));
    out.insert(QStringLiteral("autodial"), autodial);

    RecordToJson(SettingsFields::RadioMembers(), settings, 0, out);
    return out;
}

QJsonValue ValueToJson(const SettingsFields::Field& field, const SettingsFields::Value& value)
{
    return ValueJson(value, field.member->charset);
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
                    return ApplyChannel(v, key + QLatin1Char('.') + QString::number(n), settings, n, error,
                                        [&](const Member& m) {
                                            const std::string_view name = m.name;
                                            edit.named = true;
                                            edit.receive = edit.receive || name == "rxFrequency";
                                            edit.transmit = edit.transmit || name == "txFrequency";
                                        });
                });
            if (!ok)
                return false;
        } else if (key == QLatin1String("autodial")) {
            const bool ok = ForEachNumbered(it.value(), key, RadioSettings::kAutodials, error,
                                            [&](int n, const QJsonValue& v) {
                                                return SetMemberFromJson(
                                                    settings, Field{&SettingsFields::AutodialMember(), n}, v,
                                                    key + QLatin1Char('.') + QString::number(n), error);
                                            });
            if (!ok)
                return false;
        } else {
            const Member* m = SettingsFields::FindRadioMember(key.toStdString());
            if (!m)
                return Fail(error, ShownKey(key), QStringLiteral("unknown member"));
            const Field field{m, 0};
            if (!SetMemberFromJson(settings, field, it.value(), key, error))
                return false;
            if (m->reversed && applied && GetValue(settings, field).text.empty())
                applied->blankFields.push_back(field.Offset());
        }
    }
    return mode == ApplyMode::Raw || SettleChannels(settings, before, channelEdits, bandBefore, error);
}
