#include "image/ChannelCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>

#include "image/ChannelRules.h"
#include "image/CsvRows.h"
#include "image/ErrorText.h"
#include "image/JoinedText.h"
#include "image/ModelTable.h"
#include "image/RadioSettings.h"
#include "image/ToneCode.h"

namespace ChannelCsv {

namespace {

enum Column {
    Location, Name, Frequency, Duplex, Offset, Tone, RToneFreq, CToneFreq, DtcsCode, DtcsPolarity,
    RxDtcsCode, CrossMode, Mode, TStep, Skip, Power, Comment, Urcall, Rpt1call, Rpt2call, Dvcode,
};

// In the order of Column.
const std::array<const char*, kColumns> kNames = {
    "Location", "Name", "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq", "DtcsCode",
    "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode", "TStep", "Skip", "Power", "Comment", "URCALL",
    "RPT1CALL", "RPT2CALL", "DVCODE",
};

// What an unused tone column holds.
constexpr const char* kNeutralTone = "88.5";
constexpr const char* kNeutralDcs = "023";
constexpr const char* kNeutralPolarity = "NN";
constexpr const char* kNeutralCross = "Tone->Tone";

// A transmit power of this many watts or more is the high setting.
constexpr double kHighPowerWatts = 3.0;

// ---- text helpers ---------------------------------------------------------

using CsvRows::SameIgnoringCase;
using CsvRows::Trim;

// A field as an error line quotes it.
std::string Shown(std::string_view text) { return ErrorText::Quoted(text, 24); }

// "450.012500" from 450012500 Hz: six decimals, no locale.
std::string Mhz6(long long hz)
{
    const bool negative = hz < 0;
    const unsigned long long a = negative ? 0ULL - static_cast<unsigned long long>(hz) : hz;
    std::string fraction = std::to_string(a % 1000000);
    fraction.insert(0, 6 - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(a / 1000000) + '.' + fraction;
}

// A band limit as short as it reads: "450", "470.0125".
std::string ShortMhz(double mhz)
{
    std::string text = Mhz6(FrequencyHz(mhz));
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::string BandText(const BandLimits& band)
{
    return ShortMhz(std::min(band.lower, band.upper)) + '-' + ShortMhz(std::max(band.lower, band.upper)) + " MHz";
}

// A plain decimal number: digits with at most one '.' or ',' (a decimal
// comma from a spreadsheet set to a language that writes one). No sign, no
// exponent: nothing in the layout is negative.
bool ParseNumber(std::string_view text, double* value)
{
    std::string digits;
    bool point = false;
    bool anyDigit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            digits += c;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
            digits += '.';
        } else {
            return false;
        }
    }
    if (!anyDigit)
        return false;
    return std::from_chars(digits.data(), digits.data() + digits.size(), *value, std::chars_format::fixed).ec
           == std::errc();
}

bool ParseCount(std::string_view text, int* value)
{
    long long n = 0;
    if (!CsvRows::ParseDigits(text, 6, &n))
        return false;
    *value = int(n);
    return true;
}

// ---- splitting the text into rows ------------------------------------------

using CsvRows::Row;

// Rows of fields (comment lines, '#' first, left out).
bool SplitRows(std::string_view text, char separator, std::vector<Row>* rows, std::string* error)
{
    CsvRows::Options options;
    options.separator = separator;
    options.commentLines = true;
    return CsvRows::Split(text, options, rows, error);
}

// ---- columns ---------------------------------------------------------------

int ColumnNamed(std::string_view name)
{
    for (int c = 0; c < kColumns; ++c)
        if (SameIgnoringCase(name, kNames[c]))
            return c;
    return -1;
}

// A first row that names any column is a header. "Tone" alone does not
// count: it is also a value of the Tone column.
bool IsHeader(const Row& row)
{
    return std::any_of(row.fields.begin(), row.fields.end(), [](const std::string& f) {
        const int c = ColumnNamed(f);
        return c >= 0 && c != Tone;
    });
}

// Where each column stands in a row; without a header, in the header's order.
struct Layout {
    Layout()
    {
        for (int c = 0; c < kColumns; ++c)
            field[c] = c;
    }
    std::array<int, kColumns> field; // field index of each column, -1 when absent
    std::size_t width = kColumns;    // fields a row may fill
};

// ---- reading one row -------------------------------------------------------

class RowReader {
public:
    RowReader(const Row& row, const Layout& layout) : row_(row), layout_(layout) {}

    std::string_view Get(int column) const
    {
        const int at = layout_.field[column];
        if (at < 0 || std::size_t(at) >= row_.fields.size())
            return {};
        return row_.fields[std::size_t(at)];
    }

    // A column two sides read (DtcsCode in a DTCS row) is named once.
    void Problem(std::string text)
    {
        if (std::find(problems_.begin(), problems_.end(), text) == problems_.end())
            problems_.push_back(std::move(text));
    }
    const std::vector<std::string>& Problems() const { return problems_; }

    // Hertz of a megahertz column; nothing (with a problem noted) when the
    // field is empty or no number.
    std::optional<long long> Hz(int column)
    {
        const std::string_view text = Get(column);
        double mhz = 0.0;
        if (text.empty()) {
            Problem(std::string(kNames[column]) + " is empty");
            return std::nullopt;
        }
        // FrequencyHz gives 0 for a number too large to be a frequency.
        if (!ParseNumber(text, &mhz) || (FrequencyHz(mhz) == 0 && mhz != 0.0)) {
            Problem(std::string(kNames[column]) + ' ' + Shown(text) + " is not a number of MHz");
            return std::nullopt;
        }
        return FrequencyHz(mhz);
    }

    // A CTCSS tone column: the code as stored ("88.5").
    std::optional<std::string> Tone(int column)
    {
        std::string_view text = Get(column);
        if (text.empty())
            text = kNeutralTone;
        double hz = 0.0;
        const double tenths = ParseNumber(text, &hz) ? std::round(hz * 10.0) : -1.0;
        if (tenths < 0.0 || std::fabs(hz * 10.0 - tenths) > 1e-6 || tenths > 1e6
            || !ToneCode::IsStandardTone(int(tenths))) {
            Problem(std::string(kNames[column]) + ' ' + Shown(text) + " is not a CTCSS tone the radio has");
            return std::nullopt;
        }
        return ToneCode::ToneText(int(tenths));
    }

    // A DCS code column with the polarity letter of its side (0 transmit,
    // 1 receive): the code as stored ("D023I"). Leading zeros may be missing.
    std::optional<std::string> Dcs(int column, int side)
    {
        std::string_view text = Get(column);
        if (text.empty())
            text = kNeutralDcs;
        std::string_view digits = text;
        while (digits.size() > 1 && digits.front() == '0')
            digits.remove_prefix(1);
        int code = 0;
        if (digits.size() > 3 || !ParseCount(digits, &code) || !ToneCode::IsStandardDcs(code)) {
            Problem(std::string(kNames[column]) + ' ' + Shown(text) + " is not a DCS code the radio has");
            return std::nullopt;
        }
        const std::optional<bool> inverted = Inverted(side);
        if (!inverted)
            return std::nullopt;
        return ToneCode::DcsText(code, *inverted);
    }

private:
    // DtcsPolarity: two letters N (normal) or R (reversed, the radio's 'I'),
    // transmit side first.
    std::optional<bool> Inverted(int side)
    {
        std::string_view text = Get(DtcsPolarity);
        if (text.empty())
            text = kNeutralPolarity;
        const auto ok = [](char c) { return c == 'N' || c == 'n' || c == 'R' || c == 'r'; };
        if (text.size() != 2 || !ok(text[0]) || !ok(text[1])) {
            if (!polarityReported_)
                Problem(std::string("DtcsPolarity ") + Shown(text) + " is not two of N and R");
            polarityReported_ = true;
            return std::nullopt;
        }
        return text[std::size_t(side)] == 'R' || text[std::size_t(side)] == 'r';
    }

    const Row& row_;
    const Layout& layout_;
    std::vector<std::string> problems_;
    bool polarityReported_ = false;
};

// One side of a CrossMode: "Tone", "DTCS" or nothing.
bool CrossSide(std::string_view text, ToneCode::Parts::Kind* kind)
{
    if (text.empty())
        *kind = ToneCode::Parts::None;
    else if (SameIgnoringCase(text, "Tone"))
        *kind = ToneCode::Parts::Tone;
    else if (SameIgnoringCase(text, "DTCS"))
        *kind = ToneCode::Parts::Dcs;
    else
        return false;
    return true;
}

// The encode and decode codes the tone columns give: each Tone mode reads
// its own columns only, so leftovers in the others do no harm.
bool ReadTones(RowReader& r, std::string* txCode, std::string* rxCode)
{
    using Kind = ToneCode::Parts::Kind;
    const std::string_view mode = r.Get(Tone);
    Kind tx = Kind::None, rx = Kind::None;
    int txToneColumn = RToneFreq, rxToneColumn = CToneFreq, rxDcsColumn = RxDtcsCode;
    if (mode.empty()) {
    } else if (SameIgnoringCase(mode, "Tone")) {
        tx = Kind::Tone;
    } else if (SameIgnoringCase(mode, "TSQL")) {
        tx = rx = Kind::Tone;
        txToneColumn = CToneFreq;
    } else if (SameIgnoringCase(mode, "DTCS")) {
        tx = rx = Kind::Dcs;
        rxDcsColumn = DtcsCode;
    } else if (SameIgnoringCase(mode, "Cross")) {
        std::string_view cross = r.Get(CrossMode);
        if (cross.empty())
            cross = kNeutralCross;
        const std::size_t arrow = cross.find("->");
        if (arrow == std::string_view::npos || !CrossSide(Trim(cross.substr(0, arrow)), &tx)
            || !CrossSide(Trim(cross.substr(arrow + 2)), &rx) || (tx == Kind::None && rx == Kind::None)) {
            r.Problem("CrossMode " + Shown(cross) + " is not one of Tone->Tone, Tone->DTCS, DTCS->Tone, "
                      "DTCS->DTCS, Tone->, DTCS->, ->Tone, ->DTCS");
            return false;
        }
    } else {
        r.Problem("Tone " + Shown(mode) + " is not one of Tone, TSQL, DTCS, Cross (or empty)");
        return false;
    }

    bool ok = true;
    auto take = [&ok](std::optional<std::string> code, std::string* out) {
        if (code)
            *out = *code;
        else
            ok = false;
    };
    if (tx == Kind::Tone)
        take(r.Tone(txToneColumn), txCode);
    else if (tx == Kind::Dcs)
        take(r.Dcs(DtcsCode, 0), txCode);
    if (rx == Kind::Tone)
        take(r.Tone(rxToneColumn), rxCode);
    else if (rx == Kind::Dcs)
        take(r.Dcs(rxDcsColumn, 1), rxCode);
    return ok;
}

// Mode, Skip and Power onto the channel.
void ReadOptions(RowReader& r, ChannelRecord& channel)
{
    const std::string_view mode = r.Get(Mode);
    if (mode.empty() || SameIgnoringCase(mode, "FM"))
        channel.wideNarrow = 1;
    else if (SameIgnoringCase(mode, "NFM"))
        channel.wideNarrow = 0;
    else
        r.Problem("Mode " + Shown(mode) + " is not FM (wide) or NFM (narrow)");

    // "P" (a priority channel elsewhere) still scans here.
    const std::string_view skip = r.Get(Skip);
    if (skip.empty() || SameIgnoringCase(skip, "P"))
        channel.scanAdd = 1;
    else if (SameIgnoringCase(skip, "S"))
        channel.scanAdd = 0;
    else
        r.Problem("Skip " + Shown(skip) + " is not empty, S or P");

    const std::string_view power = r.Get(Power);
    std::string_view watts = power;
    if (!watts.empty() && (watts.back() == 'W' || watts.back() == 'w'))
        watts = Trim(watts.substr(0, watts.size() - 1));
    double value = 0.0;
    if (power.empty() || SameIgnoringCase(power, "High"))
        channel.highPower = 1;
    else if (SameIgnoringCase(power, "Low"))
        channel.highPower = 0;
    else if (ParseNumber(watts, &value))
        channel.highPower = value >= kHighPowerWatts ? 1 : 0;
    else
        r.Problem("Power " + Shown(power) + " is not a number of watts, High or Low");
}

struct Context {
    BandLimits band;
    bool fixedPlan = false;
    const RadioSettings* settings = nullptr;
    const ImportOptions* options = nullptr;
};

// The channel a row describes for channel channelNumber (0: none could be
// given), checked; nothing when the row is bad (its problems are in r).
std::optional<ChannelRecord> ReadChannel(RowReader& r, int channelNumber, const Context& context)
{
    const std::optional<long long> rxHz = r.Hz(Frequency);
    if (rxHz && !context.band.Contains(double(*rxHz) / 1e6))
        r.Problem("Frequency " + Mhz6(*rxHz) + " is outside " + BandText(context.band));
    else if (rxHz && !FrequencyInUse(double(*rxHz) / 1e6))
        r.Problem("Frequency " + Mhz6(*rxHz) + " is no receive frequency");

    // The transmit side: none, the receive frequency, an offset from it, or
    // its own frequency (split), which the Offset column then holds.
    const std::string_view duplex = r.Get(Duplex);
    const bool split = SameIgnoringCase(duplex, "split");
    const bool shifted = duplex == "+" || duplex == "-";
    long long offsetHz = 0; // an empty Offset is none
    bool offsetKnown = true;
    if (split && r.Get(Offset).empty()) {
        r.Problem("Duplex split needs the transmit frequency in Offset");
        offsetKnown = false;
    } else if ((split || shifted) && !r.Get(Offset).empty()) {
        const std::optional<long long> given = r.Hz(Offset);
        offsetKnown = given.has_value();
        offsetHz = given.value_or(0);
    }
    std::optional<long long> txHz;
    if (duplex.empty())
        txHz = rxHz;
    else if (shifted && rxHz && offsetKnown)
        txHz = duplex == "+" ? *rxHz + offsetHz : *rxHz - offsetHz;
    else if (split && offsetKnown)
        txHz = offsetHz;
    else if (!split && !shifted && !SameIgnoringCase(duplex, "off"))
        r.Problem("Duplex " + Shown(duplex) + " is not one of +, -, split, off (or empty)");
    // A simplex channel's one frequency is reported once, as Frequency.
    if (txHz && rxHz && *txHz != *rxHz && !context.band.Contains(double(*txHz) / 1e6))
        r.Problem("transmit frequency " + Mhz6(*txHz)
                  + (split ? std::string(" (split)") : " (Frequency " + std::string(duplex) + " Offset)")
                  + " is outside " + BandText(context.band));

    std::string txCode, rxCode;
    ReadTones(r, &txCode, &rxCode);

    // What the layout does not carry: the channel's own values when it is in
    // use, else those a cleared (or the default) channel gets.
    ChannelRecord channel = context.options->blankChannel.value_or(ChannelRecord{});
    if (channelNumber >= 1 && channelNumber <= RadioSettings::kChannels
        && ChannelInUse(context.settings->channels[channelNumber - 1]))
        channel = context.settings->channels[channelNumber - 1];
    ReadOptions(r, channel);

    if (!r.Problems().empty() || !rxHz || channelNumber == 0)
        return std::nullopt;
    channel.rxFrequency = double(RasterHz(*rxHz)) / 1e6;
    // A channel that does not transmit sends no tone either.
    channel.txFrequency = txHz ? double(RasterHz(*txHz)) / 1e6 : 0.0;
    if (!HasTransmitFrequency(channel)) {
        channel.txFrequency = 0.0;
        txCode.clear();
    }
    SetText(channel.txCode, txCode);
    SetText(channel.rxCode, rxCode);
    MarkInUse(channel);
    return channel;
}

// The columns a header names. False (with the errors in result) when it
// lacks a column every row needs or names one twice.
bool ReadHeader(const Row& header, const ImportOptions& options, Layout* layout, ImportResult* result)
{
    layout->field.fill(-1);
    layout->width = header.fields.size();
    const std::string at = "line " + std::to_string(header.line) + ": ";
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string& name = header.fields[i];
        const int c = ColumnNamed(name);
        if (c < 0) {
            if (!name.empty())
                result->warnings.push_back(at + "column " + Shown(name) + " is not in the layout; ignored");
        } else if (layout->field[c] >= 0) {
            result->errors.push_back(at + "column " + kNames[c] + " appears twice");
        } else {
            layout->field[c] = int(i);
        }
    }
    if (layout->field[Frequency] < 0)
        result->errors.push_back(at + "the header has no Frequency column");
    if (layout->field[Location] < 0 && options.startChannel <= 0)
        result->errors.push_back(at + "the header has no Location column; the rows can only be numbered "
                                      "in their order from a start channel");
    return result->errors.empty();
}

// The channel of a row placed in file order; 0 past the last channel.
int PlacedChannel(RowReader& r, int channel)
{
    if (channel <= RadioSettings::kChannels)
        return channel;
    r.Problem("the row would go on channel " + std::to_string(channel) + "; the radio has channels 1-50");
    return 0;
}

// The channel a row's Location names; 0 when it names none or one an earlier
// row already has (lineOfChannel: the line of each channel's row so far).
int NumberedChannel(RowReader& r, const Row& row, std::map<int, int>& lineOfChannel)
{
    const std::string_view location = r.Get(Location);
    int channel = 0;
    if (!ParseCount(location, &channel)) {
        r.Problem("Location " + Shown(location) + " is not a channel number");
        return 0;
    }
    if (channel < 1 || channel > RadioSettings::kChannels) {
        r.Problem("Location " + std::to_string(channel) + " is outside 1-50");
        return 0;
    }
    if (const auto [seen, added] = lineOfChannel.emplace(channel, row.line); !added) {
        r.Problem("Location " + std::to_string(channel) + " is already on line " + std::to_string(seen->second));
        return 0;
    }
    return channel;
}

// ---- writing one row -------------------------------------------------------

// A code as the tone columns write it, with a warning where the layout
// cannot hold it or an import would refuse it.
ToneCode::Parts ExportedCode(int channel, const char* side, const char* code, std::vector<std::string>& warnings)
{
    ToneCode::Parts parts;
    if (!ToneCode::Split(code, &parts)) {
        warnings.push_back("channel " + std::to_string(channel) + ": " + side + " code " + Shown(code)
                           + " is no tone or DCS code; written as none");
        return ToneCode::Parts{};
    }
    if (!ToneCode::IsOffered(code))
        warnings.push_back("channel " + std::to_string(channel) + ": " + side + " code " + code
                           + " is not one the radio offers; an import refuses it");
    return parts;
}

std::array<std::string, kColumns> RowFields(int n, const ChannelRecord& channel, std::vector<std::string>& warnings)
{
    using Kind = ToneCode::Parts::Kind;
    std::array<std::string, kColumns> f;
    f[Location] = std::to_string(n);

    const long long rxHz = FrequencyHz(channel.rxFrequency);
    const bool transmits = HasTransmitFrequency(channel);
    const long long txHz = transmits ? FrequencyHz(channel.txFrequency) : 0;
    f[Frequency] = Mhz6(rxHz);
    f[Offset] = Mhz6(0);
    if (!transmits) {
        f[Duplex] = "off";
    } else if (txHz != rxHz) {
        const long long difference = std::llabs(txHz - rxHz);
        if (difference <= kLargestOffsetHz) {
            f[Duplex] = txHz > rxHz ? "+" : "-";
            f[Offset] = Mhz6(difference);
        } else {
            f[Duplex] = "split";
            f[Offset] = Mhz6(txHz);
        }
    }

    const ToneCode::Parts tx = transmits ? ExportedCode(n, "encode", channel.txCode, warnings) : ToneCode::Parts{};
    const ToneCode::Parts rx = ExportedCode(n, "decode", channel.rxCode, warnings);
    const auto dcsDigits = [](int code) { return ToneCode::DcsText(code, false).substr(1, 3); };
    const auto polarity = [](const ToneCode::Parts& p) { return p.kind == Kind::Dcs && p.inverted ? 'R' : 'N'; };
    f[RToneFreq] = f[CToneFreq] = kNeutralTone;
    f[DtcsCode] = f[RxDtcsCode] = kNeutralDcs;
    f[DtcsPolarity] = kNeutralPolarity;
    f[CrossMode] = kNeutralCross;
    if (tx.kind == Kind::None && rx.kind == Kind::None) {
        // Tone stays empty.
    } else if (tx.kind == Kind::Tone && rx.kind == Kind::None) {
        f[Tone] = "Tone";
        f[RToneFreq] = ToneCode::ToneText(tx.tenths);
    } else if (tx.kind == Kind::Tone && rx.kind == Kind::Tone && tx.tenths == rx.tenths) {
        f[Tone] = "TSQL";
        f[RToneFreq] = f[CToneFreq] = ToneCode::ToneText(rx.tenths);
    } else if (tx.kind == Kind::Dcs && rx.kind == Kind::Dcs && tx.dcs == rx.dcs) {
        f[Tone] = "DTCS";
        f[DtcsCode] = f[RxDtcsCode] = dcsDigits(tx.dcs);
        f[DtcsPolarity] = {polarity(tx), polarity(rx)};
    } else {
        const auto name = [](Kind k) { return k == Kind::Tone ? "Tone" : k == Kind::Dcs ? "DTCS" : ""; };
        f[Tone] = "Cross";
        f[CrossMode] = std::string(name(tx.kind)) + "->" + name(rx.kind);
        if (tx.kind == Kind::Tone)
            f[RToneFreq] = ToneCode::ToneText(tx.tenths);
        if (tx.kind == Kind::Dcs)
            f[DtcsCode] = dcsDigits(tx.dcs);
        if (rx.kind == Kind::Tone)
            f[CToneFreq] = ToneCode::ToneText(rx.tenths);
        if (rx.kind == Kind::Dcs)
            f[RxDtcsCode] = dcsDigits(rx.dcs);
        f[DtcsPolarity] = {polarity(tx), polarity(rx)};
    }

    f[Mode] = channel.wideNarrow != 0 ? "FM" : "NFM";
    const bool on625 = Step625Flag(channel.rxFrequency) == 1 && (!transmits || Step625Flag(channel.txFrequency) == 1);
    f[TStep] = on625 ? "6.25" : "5.00";
    f[Skip] = channel.scanAdd != 0 ? "" : "S";
    f[Power] = channel.highPower != 0 ? "5.0W" : "1.0W";
    return f;
}

template <typename Fields>
void AppendLine(std::string& out, const Fields& fields, const ExportOptions& options)
{
    bool first = true;
    for (const auto& field : fields) {
        if (!first)
            out += options.separator;
        out += field;
        first = false;
    }
    out += options.lineEnd;
}

} // namespace

ExportResult Export(const RadioSettings& settings, const std::vector<int>& channels, const ExportOptions& options)
{
    ExportResult result;
    if (options.header)
        AppendLine(result.text, kNames, options);
    for (const int n : channels) {
        if (n < 1 || n > RadioSettings::kChannels || !ChannelInUse(settings.channels[n - 1]))
            continue;
        AppendLine(result.text, RowFields(n, settings.channels[n - 1], result.warnings), options);
        ++result.rows;
    }
    return result;
}

ExportResult ExportAll(const RadioSettings& settings, const ExportOptions& options)
{
    std::vector<int> all;
    for (int n = 1; n <= RadioSettings::kChannels; ++n)
        all.push_back(n);
    return Export(settings, all, options);
}

ImportResult Read(std::string_view text, const RadioSettings& settings, const ImportOptions& options)
{
    ImportResult result;
    result.replace = options.replace;
    text = CsvRows::WithoutBom(text);
    const char separator = options.separator != 0 ? options.separator : CsvRows::DetectSeparator(text);

    std::vector<Row> rows;
    std::string error;
    if (!SplitRows(text, separator, &rows, &error)) {
        result.errors.push_back(error);
        return result;
    }

    Layout layout;
    const bool header = !rows.empty() && IsHeader(rows.front());
    if (header && !ReadHeader(rows.front(), options, &layout, &result))
        return result;
    const std::size_t first = header ? 1 : 0;
    if (first == rows.size()) {
        result.errors.push_back("the text holds no channel rows");
        return result;
    }

    ModelState model;
    ModelIdentify(model, settings);
    Context context;
    context.band = SettingsBandLimits(settings);
    context.fixedPlan = model.band476 != 0;
    context.settings = &settings;
    context.options = &options;

    std::map<int, int> lineOfChannel;
    int next = options.startChannel;
    for (std::size_t k = first; k < rows.size(); ++k) {
        const Row& row = rows[k];
        RowReader r(row, layout);
        const std::string at = "line " + std::to_string(row.line) + ": ";

        for (std::size_t i = layout.width; i < row.fields.size(); ++i) {
            if (!row.fields[i].empty()) {
                r.Problem("field " + std::to_string(i + 1) + ' ' + Shown(row.fields[i]) + " is beyond the "
                          + std::to_string(layout.width) + " columns");
                break;
            }
        }

        // The row's other fields are checked even when it has no channel,
        // so that one line names all its faults.
        int channel = options.startChannel > 0 ? PlacedChannel(r, next++) : NumberedChannel(r, row, lineOfChannel);
        if (channel != 0 && context.fixedPlan && !InFixedPlan(channel)) {
            r.Problem("channel " + std::to_string(channel) + " is not in the plan of the " + ModelTable::kBand476Text
                      + " model");
            channel = 0;
        }

        const std::optional<ChannelRecord> record = ReadChannel(r, channel, context);
        if (!record) {
            result.errors.push_back(at + Joined(r.Problems(), "; "));
            continue;
        }
        result.channels.push_back({channel, row.line, *record});
    }
    if (!result.errors.empty())
        result.channels.clear();
    return result;
}

void Apply(const ImportResult& table, RadioSettings& settings)
{
    if (!table.Ok())
        return;
    if (table.replace)
        for (int n = 1; n <= RadioSettings::kChannels; ++n)
            settings.ResetChannel(n);
    for (const ImportedChannel& c : table.channels)
        settings.channels[c.channel - 1] = c.record;
}

ImportResult Import(std::string_view text, RadioSettings& settings, const ImportOptions& options)
{
    ImportResult result = Read(text, settings, options);
    Apply(result, settings);
    return result;
}

} // namespace ChannelCsv
