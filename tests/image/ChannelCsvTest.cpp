// The channel table as CSV: how each channel is written, what an import
// accepts, and what it refuses. Read top to bottom as the layout's reference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/ChannelCsv.h"
#include "image/ChannelRecord.h"
#include "image/ChannelRules.h"
#include "image/RadioSettings.h"

namespace {

using ChannelCsv::ExportOptions;
using ChannelCsv::ImportOptions;
using ChannelCsv::ImportResult;
using Lines = std::vector<std::string>;

const char kHeader[] = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                       "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// A channel as the channel editor stores it; flags "N" narrow, "S" left out
// of the scan, "L" low power.
ChannelRecord Channel(double rx, double tx, const char* txCode = "", const char* rxCode = "",
                      std::string_view flags = "")
{
    ChannelRecord c;
    c.rxFrequency = rx;
    c.txFrequency = tx;
    SetText(c.txCode, txCode);
    SetText(c.rxCode, rxCode);
    c.wideNarrow = flags.find('N') == std::string_view::npos;
    c.scanAdd = flags.find('S') == std::string_view::npos;
    c.highPower = flags.find('L') == std::string_view::npos;
    MarkInUse(c);
    return c;
}


// A custom model wide enough for split channels.
RadioSettings Wideband()
{
    RadioSettings s;
    SetText(s.modelCode, "Q80100");
    s.lowerLimit = 136.0;
    s.upperLimit = 520.0;
    return s;
}

// The row the table writes for one channel, without header or line end.
std::string RowOf(const ChannelRecord& channel, int n = 1)
{
    RadioSettings s = Wideband();
    s.channels[n - 1] = channel;
    ExportOptions options;
    options.header = false;
    options.lineEnd = "";
    return ChannelCsv::Export(s, {n}, options).text;
}

// Every field, frequencies to the hertz.
bool SameChannel(const ChannelRecord& a, const ChannelRecord& b)
{
    ChannelRecord x = a, y = b;
    x.rxFrequency = double(FrequencyHz(a.rxFrequency)), x.txFrequency = double(FrequencyHz(a.txFrequency));
    y.rxFrequency = double(FrequencyHz(b.rxFrequency)), y.txFrequency = double(FrequencyHz(b.txFrequency));
    return x == y;
}

ImportResult Import(RadioSettings& s, const std::string& text, ImportOptions options = {})
{
    return ChannelCsv::Import(text, s, options);
}

// ---- export ------------------------------------------------------------------

TEST(ChannelCsv, AChosenSetIsWrittenInTheOrderGivenWithoutBlankOrBadNumbers)
{
    RadioSettings s;
    s.channels[2] = Channel(450.0125, 450.0125);
    s.channels[0] = Channel(451.0, 451.0);
    ExportOptions copy;
    copy.separator = '\t';
    copy.lineEnd = "\n";
    const ChannelCsv::ExportResult rows = ChannelCsv::Export(s, {3, 2, 1, 0, 51}, copy);
    EXPECT_NE(rows.text.find("\n3\t\t450.012500\t"), std::string::npos);
    EXPECT_LT(rows.text.find("\n3\t"), rows.text.find("\n1\t"));
    EXPECT_EQ(rows.rows, 2);
}

// One row per channel in use: where it transmits (Duplex, Offset), its mode,
// raster, scan and power.
const struct Row {
    ChannelRecord channel;
    const char* row;
} kRows[] = {
    {Channel(450.0, 0.0), "1,,450.000000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
    {Channel(450.0, 455.0), "1,,450.000000,+,5.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
    {Channel(455.0, 450.0), "1,,455.000000,-,5.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
    // 70 MHz apart is still an offset; further, Offset is the transmit frequency itself.
    {Channel(150.0, 220.0), "1,,150.000000,+,70.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
    {Channel(150.0, 220.00625), "1,,150.000000,split,220.006250,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
    {Channel(470.0, 150.0), "1,,470.000000,split,150.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,,,,,"},
    // TStep 6.25 only when both frequencies lie on that raster.
    {Channel(450.0125, 455.005), "1,,450.012500,+,4.992500,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,"},
    {Channel(450.0125, 0.0, "", "", "NSL"), "1,,450.012500,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,S,1.0W,,,,,"},
};

// Encode (transmit) and decode (receive) codes as the tone columns write
// them: Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode.
const struct Pairing {
    const char* tx;
    const char* rx;
    const char* columns;
} kPairings[] = {
    {"", "", ",88.5,88.5,023,NN,023,Tone->Tone"},
    {"67.0", "", "Tone,67.0,88.5,023,NN,023,Tone->Tone"},
    {"254.1", "254.1", "TSQL,254.1,254.1,023,NN,023,Tone->Tone"},
    {"D023N", "D023I", "DTCS,88.5,88.5,023,NR,023,Tone->Tone"},
    {"D754I", "D754I", "DTCS,88.5,88.5,754,RR,754,Tone->Tone"},
    {"67.0", "71.9", "Cross,67.0,71.9,023,NN,023,Tone->Tone"},
    {"67.0", "D023I", "Cross,67.0,88.5,023,NR,023,Tone->DTCS"},
    {"D025I", "100.0", "Cross,88.5,100.0,025,RN,023,DTCS->Tone"},
    {"D023N", "D025N", "Cross,88.5,88.5,023,NN,025,DTCS->DTCS"},
    {"D071I", "", "Cross,88.5,88.5,071,RN,023,DTCS->"},
    {"", "100.0", "Cross,88.5,100.0,023,NN,023,->Tone"},
    {"", "D114I", "Cross,88.5,88.5,023,NR,114,->DTCS"},
};

TEST(ChannelCsv, EachChannelIsOneRowAndItsCodesFollowTheEncodeAndDecodePairing)
{
    for (const Row& r : kRows)
        EXPECT_EQ(RowOf(r.channel), r.row);
    for (const Pairing& p : kPairings)
        EXPECT_EQ(RowOf(Channel(450.0, 450.0, p.tx, p.rx)), "1,,450.000000,,0.000000," + std::string(p.columns) +
                                                                 ",FM,6.25,,5.0W,,,,,");
    // A channel that does not transmit sends no tone, whatever is stored.
    EXPECT_EQ(RowOf(Channel(450.0, 0.0, "67.0", "67.0")),
              "1,,450.000000,off,0.000000,Cross,88.5,67.0,023,NN,023,->Tone,FM,6.25,,5.0W,,,,,");
}

// ---- round trip ------------------------------------------------------------

TEST(ChannelCsv, ExportThenImportOntoABlankFileReproducesEveryCarriedField)
{
    // Every row above, and every pairing on an offset channel and on one
    // that does not transmit (and so carries no encode tone).
    std::vector<ChannelRecord> channels;
    for (const Row& r : kRows)
        channels.push_back(r.channel);
    for (const Pairing& p : kPairings) {
        channels.push_back(Channel(146.52, 147.12, p.tx, p.rx));
        channels.push_back(Channel(450.0125, 0.0, "", p.rx));
    }
    RadioSettings original = Wideband();
    for (std::size_t k = 0; k < channels.size(); ++k) {
        ChannelRecord& c = original.channels[k < 16 ? k : k + 1]; // channel 17 stays blank
        c = channels[k];
        c.wideNarrow = k % 2;
        c.scanAdd = (k / 2) % 2;
        c.highPower = (k / 4) % 2;
    }
    const std::string text = ChannelCsv::ExportAll(original).text;
    RadioSettings copy = Wideband();
    const ImportResult result = Import(copy, text);
    ASSERT_TRUE(result.Ok()) << result.errors.front();
    for (int n = 1; n <= RadioSettings::kChannels; ++n)
        EXPECT_TRUE(SameChannel(copy.channels[n - 1], original.channels[n - 1])) << n;
    EXPECT_EQ(ChannelCsv::ExportAll(copy).text, text);
}

// ---- import: what is accepted ------------------------------------------------

// What an import makes of a row on channel 1, which held other values: every
// column the layout carries comes from the row, and a missing column takes
// its neutral value (simplex, no tones, wide, in the scan, high power).
TEST(ChannelCsv, EachRowGivesTheChannelItDescribes)
{
    const std::string tones = "Location,Frequency,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode\n"
                              "1,450,";
    const std::string power = "Location,Frequency,Power\n1,450,";
    const struct {
        std::string table;
        ChannelRecord channel;
    } cases[] = {
        // A byte-order mark, comments, CRLF, quotes (a separator, a doubled
        // quote, a line end inside) and empty trailing fields.
        {"\xEF\xBB\xBF# north site\r\nLocation,Name,Frequency,Comment\r\n\r\n"
         "\"1\",\"Gate, \"\"north\"\"\",\" 450.5 \",\"two\r\nlines\",,,\r\n,,,\r\n",
         Channel(450.5, 450.5)},
        // Without a header a row has the header's order.
        {"1,,451.000000,-,1.000000,TSQL,88.5,82.5,023,NN,023,Tone->Tone,NFM,6.25,S,1.0W,,,,,\n",
         Channel(451.0, 450.0, "82.5", "82.5", "NSL")},
        // ';' with decimal commas; DCS codes without leading zeros.
        {"Location;Frequency;Duplex;Offset;Tone;DtcsCode;DtcsPolarity;Power\n1;450,0125;+;5,000000;DTCS;23;RN;0,5W\n",
         Channel(450.0125, 455.0125, "D023I", "D023N", "L")},
        // Each tone mode reads only its own columns (TSQL reads cToneFreq).
        {tones + ",x,x,x,x,x,x", Channel(450, 450)},
        {tones + "Tone,71.9,x,x,x,x,x", Channel(450, 450, "71.9", "")},
        {tones + "TSQL,x,71.9,x,x,x,x", Channel(450, 450, "71.9", "71.9")},
        {tones + "Cross,71.9,x,x,NR,114,Tone->DTCS", Channel(450, 450, "71.9", "D114I")},
        {tones + "Cross,x,100,31,RN,x,DTCS->Tone", Channel(450, 450, "D031I", "100.0")},
        // A channel that does not transmit keeps no encode tone.
        {"Location,Frequency,Duplex,Tone,rToneFreq,cToneFreq,CrossMode\n1,450,off,Cross,67.0,77.0,Tone->Tone\n",
         Channel(450, 0, "", "77.0")},
        // Watts: 3 W or more is high.
        {power + "3W", Channel(450, 450)},
        {power + "2.9W", Channel(450, 450, "", "", "L")},
        // A priority mark from another tool's file still scans.
        {"Location,Frequency,Skip\n1,450,P\n", Channel(450, 450)},
        // The frequencies decide the raster, whatever TStep says: off both
        // rasters a frequency moves down to 6.25 kHz, on 5 kHz it stays.
        {"Location,Frequency,Duplex,Offset,TStep\n1,450.003,+,5,12.5\n", Channel(450.0, 455.0)},
        {"Location,Frequency,TStep\n1,450.005,6.25\n", Channel(450.005, 450.005)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        RadioSettings s;
        s.channels[0] = Channel(460.0, 465.0, "67.0", "D023N", "NSL");
        const ImportResult r = Import(s, c.table);
        ASSERT_TRUE(r.Ok()) << r.errors.front();
        EXPECT_TRUE(SameChannel(s.channels[0], c.channel));
    }
    // An empty CrossMode is Tone->Tone, which reads both tone columns.
    RadioSettings s;
    EXPECT_EQ(Import(s, tones + "Cross,x,x,x,NN,x,\n").errors,
              (Lines{"line 2: rToneFreq \"x\" is not a CTCSS tone the radio has; "
                     "cToneFreq \"x\" is not a CTCSS tone the radio has"}));
}

// (Where renumbered rows go is the command-line tool's test.)
TEST(ChannelCsv, RenumberedRowsPastTheLastChannelRefuseTheTable)
{
    RadioSettings s;
    ImportOptions options;
    options.startChannel = 49;
    const RadioSettings before = s;
    const ImportResult r = Import(s, "Frequency\n454\n455\n# spare\n456\n457\n", options);
    EXPECT_EQ(r.errors, (Lines{"line 5: the row would go on channel 51; the radio has channels 1-50",
                               "line 6: the row would go on channel 52; the radio has channels 1-50"}));
    EXPECT_TRUE(s == before) << "nothing changed";
}

// ---- import: what is refused ----------------------------------------------------

TEST(ChannelCsv, EveryBadRowIsNamedByItsPhysicalLineAndNothingChanges)
{
    RadioSettings s;
    s.channels[0] = Channel(460.0, 460.0, "67.0", "67.0");
    const RadioSettings before = s;
    // The rows after the header, and what is said of each, by physical line.
    const std::pair<const char*, const char*> rows[] = {
        {"1,,450,,,,,,,,,,,,,", ""},
        {"# a comment", ""},
        {"", ""},
        {"3,\"two\nlines\",450,+,25,,,,,,,,,,,",
         "line 5: transmit frequency 475.000000 (Frequency + Offset) is outside 450-470 MHz"},
        {"1,,451,,,,,,,,,,,,,", "line 7: Location 1 is already on line 2"},
        {"13,,abc,,,,,,,,,,,,,", "line 8: Frequency \"abc\" is not a number of MHz"},
        {"14,,450,,,Tone,100.5,,,,,,,,,", "line 9: rToneFreq \"100.5\" is not a CTCSS tone the radio has"},
        {"18,,450,,,Cross,,,,,,Tone->Foo,,,,",
         "line 10: CrossMode \"Tone->Foo\" is not one of Tone->Tone, Tone->DTCS, DTCS->Tone, DTCS->DTCS, "
         "Tone->, DTCS->, ->Tone, ->DTCS"},
        {"19,,450,?,,,,,,,,,AM,,X,lots",
         "line 11: Duplex \"?\" is not one of +, -, split, off (or empty); Mode \"AM\" is not FM (wide) or "
         "NFM (narrow); Skip \"X\" is not empty, S or P; Power \"lots\" is not a number of watts, High or Low"},
        {"20,,450,split,,,,,,,,,,,,", "line 12: Duplex split needs the transmit frequency in Offset"},
        {"21,,450,,,,,,,,,,,,,,,extra", "line 13: field 18 \"extra\" is beyond the 16 columns"},
    };
    std::string table = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                        "DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power\n";
    Lines errors;
    for (const auto& [row, error] : rows) {
        table += std::string(row) + "\n";
        if (*error)
            errors.push_back(error);
    }
    const ImportResult r = Import(s, table);
    EXPECT_EQ(r.errors, errors);
    EXPECT_TRUE(r.channels.empty());
    EXPECT_TRUE(s == before);
}

// A table refused as a whole: the model's band or plan, a header without
// the columns it needs, no rows. Nothing changes.
TEST(ChannelCsv, TablesRefusedForTheirModelOrTheirShape)
{
    RadioSettings vhf, fixed, uhf;
    SetText(vhf.modelCode, "Q70101"); // 150-174 MHz
    fixed.ApplyFixedPlan();
    const struct {
        const RadioSettings& model;
        std::string table;
        Lines errors;
    } cases[] = {
        {vhf, "Location,Frequency\n1,450\n", {"line 2: Frequency 450.000000 is outside 150-174 MHz"}},
        {fixed,
         "Location,Frequency\n21,476.925\n22,476.95\n41,477.0\n",
         {"line 3: channel 22 is not in the plan of the UHF:476-478MHz model",
          "line 4: channel 41 is not in the plan of the UHF:476-478MHz model"}},
        {uhf, "Location,Name,Power\n1,,5W\n", {"line 1: the header has no Frequency column"}},
        {uhf, "Location,Frequency,frequency\n1,450,451\n", {"line 1: column Frequency appears twice"}},
        {uhf, kHeader, {"the text holds no channel rows"}},
        {uhf, "Location,Name,Frequency\n1,\"open,450\n2,,451\n", {"line 2: a quoted field has no closing quote"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        RadioSettings s = c.model;
        EXPECT_EQ(Import(s, c.table).errors, c.errors);
        EXPECT_TRUE(s == c.model);
    }
    // Both limits belong to the band; the plan's channels take a row.
    EXPECT_TRUE(Import(vhf, "Location,Frequency\n1,150\n2,174\n").Ok());
    EXPECT_TRUE(Import(fixed, "Location,Frequency,Tone,rToneFreq\n21,476.925,Tone,67.0\n").Ok());
    EXPECT_EQ(GetText(fixed.channels[20].txCode), "67.0");
}

} // namespace
