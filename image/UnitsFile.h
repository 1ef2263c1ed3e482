#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "image/ImageMap.h"
#include "image/SettingsFields.h"

class CImportData;

// The units file of a production line: what each radio gets on top of the
// golden image. UTF-8 (a byte-order mark allowed), comma-separated with
// double-quote quoting; a header row naming `unit` (the radio's label) and
// any radio-wide or DTMF member that dump names and that is a text, a scalar
// or a flag (idCode, stunCode, message1, ...); then one row per radio, in
// the order the radios are to get them. An empty cell keeps the golden
// image's value. The model's own members (model code, band limits, first IF,
// band centre, local oscillator side and the bytes beside them) come from the
// golden image and are refused as columns, and so are the information texts,
// which a write never sends.
//
// Every value goes through the checks apply makes, and every row is laid
// over the golden image and encoded up front, so that a bad file is refused
// whole, naming the line and the column, before any radio is touched.
namespace UnitsFile {

constexpr const char* kLabelColumn = "unit";

// Whether a member may be a column; when not, why, in a few words.
bool IsUnitMember(const SettingsFields::Member& member, std::string* whyNot = nullptr);

struct Unit {
    std::string label;
    int line = 0; // the physical line its row starts on (the header is line 1)
    // The golden image with the row's members laid over it, encoded: the
    // 2048 bytes whose first 2000 the radio is to hold.
    std::array<uint8_t, ImageMap::kSize> image{};
};

struct Result {
    std::vector<std::string> columns; // the header's member columns, in its order
    std::vector<Unit> units;          // in the file's order
    // One line per fault: "line 4, column stunCode: ...", "line 1: ...".
    // Empty when every row can go into a radio.
    std::vector<std::string> errors;
    bool Ok() const { return errors.empty(); }
};

// A text cell (UTF-8) as the bytes a GBK member (the messages) stores;
// false when GBK cannot write it.
using GbkEncoder = std::function<bool(std::string_view utf8, std::string* gbk)>;

// A units file of thousands of rows is still far below this; a bigger
// file is not one.
constexpr std::size_t kMostBytes = 4 * 1024 * 1024;

// At most this many faults are listed; the rest are counted in one line.
constexpr std::size_t kMostErrors = 20;

// Reads the text against golden: its decoded settings and its encoded image.
Result Read(std::string_view text, const CImportData& golden, const GbkEncoder& toGbk);

} // namespace UnitsFile
