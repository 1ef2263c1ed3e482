#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/ChannelRecord.h"

class RadioSettings;

// The channel table as text in the layout technicians keep in spreadsheets
// and exchange between radio-programming tools: a header naming the
// columns, then one row per channel in use. Files are comma-separated UTF-8;
// copy and paste use the same rows separated by tabs.
//
// A file, a paste onto the selected channel and a paste into a spreadsheet
// all go through Read/Import and Export here, so that the window and the
// command-line tool check and write rows alike.
namespace ChannelCsv {

// The header's columns: Location,Name,Frequency,Duplex,Offset,Tone,
// rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,
// Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE
constexpr int kColumns = 21;

// Transmit and receive frequencies further apart than this are written as a
// split pair; closer ones as a duplex offset.
constexpr long long kLargestOffsetHz = 70000000;

struct ExportOptions {
    char separator = ',';   // ',' for a file, '\t' for the clipboard
    bool header = true;
    const char* lineEnd = "\r\n";
};

struct ExportResult {
    std::string text;
    int rows = 0; // channel rows written (the header not counted)
    // One line for each code that Read would refuse or that the layout
    // cannot hold: "channel 5: encode tone 100.5 is not one the radio offers".
    std::vector<std::string> warnings;
};

// The rows of the listed channels (1..50, in the order given) that are in
// use; blank channels and numbers outside 1..50 are left out.
ExportResult Export(const RadioSettings& settings, const std::vector<int>& channels,
                    const ExportOptions& options = {});
// Every channel in use, 1..50.
ExportResult ExportAll(const RadioSettings& settings, const ExportOptions& options = {});

struct ImportOptions {
    // 0: the first line that is not a comment decides among ',', ';' and
    // tab (the one it holds most of). With ';' or tab a decimal comma reads
    // as a point.
    char separator = 0;
    // Channels the table does not list become blank; otherwise they keep
    // their values.
    bool replace = false;
    // Above 0: Location is ignored, and the rows go in their order onto this
    // channel and those after it (a paste onto the selected channel; a file
    // numbered for another radio). Rows that would land past channel 50 are
    // refused.
    int startChannel = 0;
    // For a channel that was blank: the fields the layout does not carry
    // (SP unmute, busy lockout, beat shift, signalling) come from this
    // channel (the window's stored default channel); without it, from a
    // cleared channel. A channel in use keeps its own.
    std::optional<ChannelRecord> blankChannel;
};

struct ImportedChannel {
    int channel = 0;      // 1..50
    int line = 0;         // the physical line (1-based) its row starts on
    ChannelRecord record; // as it will be stored
};

struct ImportResult {
    // One line per bad row, "line 7: Frequency 520.000000 is outside
    // 450-470 MHz", numbered as the text's physical lines (the header is line
    // 1); or one line about the whole text. Empty when the table can go in.
    std::vector<std::string> errors;
    // Columns the layout does not have, one line each, and the like: the
    // table still goes in.
    std::vector<std::string> warnings;
    std::vector<ImportedChannel> channels; // in row order
    bool replace = false;
    bool Ok() const { return errors.empty(); }
};

// Reads every row and checks it against the settings (the model's band, the
// channels in use) without changing anything.
ImportResult Read(std::string_view text, const RadioSettings& settings, const ImportOptions& options = {});
// Stores a table Read found good; one with errors changes nothing.
void Apply(const ImportResult& table, RadioSettings& settings);
// Read, then Apply when every row is good.
ImportResult Import(std::string_view text, RadioSettings& settings, const ImportOptions& options = {});

} // namespace ChannelCsv
