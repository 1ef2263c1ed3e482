#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageMap.h"
#include "image/SettingsFields.h"

class CImportData;

// Comparing two memory images: field by field for the compare command and
// dialogs, byte by byte for the check after a write, and what the encoder
// changes in a file before it is sent. The wording of the lines lives here
// so the command-line tool, the window and the production line say the same.
namespace ImageCompare {

// A member whose decoded value differs.
struct ValueDifference {
    SettingsFields::Field field;
    SettingsFields::Value a, b;
};

// Differing bytes no decoded value shows: bytes no field owns, or bytes of
// a field whose value decodes the same (unused bits, a stun code too short
// to be read). Addresses from..to inclusive; field when all of them belong
// to that one field.
struct ByteRun {
    std::size_t from = 0, to = 0;
    std::vector<uint8_t> a, b;
    std::optional<SettingsFields::Field> field;
};

struct Differences {
    std::vector<ValueDifference> values; // in dump's order
    std::vector<ByteRun> bytes;          // ascending
    bool Equal() const { return values.empty() && bytes.empty(); }
};

// Both images decoded (DecodeAll) as they stand. Equal exactly when the
// 2048 bytes are.
Differences Compare(const CImportData& a, const CImportData& b);

// "ff 00 1a": bytes as the compare lines show them.
std::string HexBytes(const std::vector<uint8_t>& bytes);
// "bytes 0x07F0..0x07F3 (stunCode)", or "byte 0x07F0" for one byte
// outside any field: what a compare table names the run by.
std::string ByteRunName(const ByteRun& run);
// "bytes 0x07F0..0x07F3 (stunCode): ff ff ff ff -> 00 00 00 00", or
// "byte 0x07F0: ff -> 00" for one byte outside any field.
std::string ByteRunText(const ByteRun& run);

// The check after a write: bytes 0..1999 as sent against the same bytes as
// the radio gave them back.
struct VerifyResult {
    bool equal = true;
    std::size_t first = 0; // the first differing address
    uint8_t wrote = 0, holds = 0;
    std::size_t differing = 0; // how many bytes differ
    std::string field;         // the field(s) whose bits differ at first, or empty
};
using ImageBytes = std::span<const uint8_t, ImageMap::kSize>;
VerifyResult Verify(ImageBytes sent, ImageBytes readBack);
// "verified: the radio holds the 2000 bytes written", or "verify failed at
// 0x0123 (channel 18 rxFrequency): wrote 0x45, the radio holds 0x44 (3
// bytes differ)".
std::string VerifyText(const VerifyResult& result);
// Said when the radio could not be read back after the write.
std::string ReadBackFailedText();

// A field the encoder stores differently from the file as given.
struct FieldChange {
    SettingsFields::Field field;
    std::vector<uint8_t> given, sent; // the field's bytes
};
// Fields in bytes 0..1999 (what a write sends) whose bits differ.
std::vector<FieldChange> EncoderChanges(ImageBytes given, ImageBytes encoded);
// "stunCode is sent as ff ff ff ff ff ff; the file holds 01 02 ff ff ff ff".
std::string ChangeText(const FieldChange& change);

} // namespace ImageCompare
