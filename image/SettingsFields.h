#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class RadioSettings;

// Every member of RadioSettings under the name `dump` and `apply` use, with
// what it may hold and the bytes (and bits) of the memory image it is
// stored in. A field is one member of one channel or autodial entry, or one
// radio-wide member: "channel 18 rxFrequency", "autodial 3", "stunCode".
// The command-line tool, the compare and verify wording and the window all
// name and check members through this table.
namespace SettingsFields {

enum class Kind { Scalar, Flag, Frequency, Text };

// What a text member may hold, so that the codec stores exactly what was asked.
enum class Charset {
    Dtmf,  // DTMF digits 0-9, A-D, *, #
    Hex,   // one digit per byte: 0-9, A-F
    Tone,  // QT/DQT: a tone such as 67.0 or a code such as D023N / D023I
    Ascii, // printable single-byte characters
    Gbk,   // GBK bytes; the caller converts from and to Unicode
};

enum class Group { Channel, Autodial, Radio };

struct Member {
    const char* name;
    Kind kind;
    Group group;
    // The image bytes: offset within the 16-byte record for channel and
    // autodial members, absolute for the rest; and the bits of each of
    // those bytes the member owns.
    std::size_t offset;
    std::size_t length;
    uint8_t bits = 0xFF;
    int maxBytes = 0; // texts: the most bytes the field holds
    Charset charset = Charset::Ascii;
    uint32_t maxValue = 255; // scalars and flags: the most an edit may give
    // An 8-byte reversed text: the encoder leaves the field as it was when
    // the text is empty, so whoever empties it blanks the bytes itself.
    bool reversed = false;
    // The member of record n (channel 1..50, autodial 1..9; ignored otherwise).
    uint32_t* (*integer)(RadioSettings&, int n) = nullptr;
    double* (*frequency)(RadioSettings&, int n) = nullptr;
    std::span<char> (*text)(RadioSettings&, int n) = nullptr;
};

std::span<const Member> ChannelMembers();
const Member& AutodialMember();
// Every member except the channels and autodial, in dump's order.
std::span<const Member> RadioMembers();
const Member* FindChannelMember(std::string_view name);
const Member* FindRadioMember(std::string_view name);

struct Field {
    const Member* member = nullptr;
    int number = 0; // channel 1..50, autodial 1..9, 0 for a radio-wide member

    // "channel 18 rxFrequency", "autodial 3", "stunCode".
    std::string Name() const;
    // The first image byte, absolute.
    std::size_t Offset() const;
    std::size_t Length() const { return member->length; }
    bool operator==(const Field&) const = default;
};

// Every field, in the order dump prints them: channels 1..50 member by
// member, the nine autodial entries, then the radio-wide members.
const std::vector<Field>& AllFields();

// The fields that own bits of image byte `address`, with the bits of each.
struct ByteOwner {
    Field field;
    uint8_t bits;
};
const std::vector<ByteOwner>& OwnersOf(std::size_t address);

// A member's value as the settings hold it.
struct Value {
    Kind kind = Kind::Scalar;
    uint32_t integer = 0;   // scalars and flags
    double frequency = 0.0; // MHz
    std::string text;       // the stored bytes (GBK for the messages)
    bool operator==(const Value&) const = default;
};
Value GetValue(const RadioSettings& settings, const Field& field);

// A frequency as dump's compare and verify lines show it: MHz with five
// decimals, the resolution the image stores ("450.01250").
std::string FrequencyText(double mhz);

// Set a field through the checks `apply` makes: what its image field can
// hold. On a bad value the result is false, reason (if given) says why in
// one line, and the settings are unchanged. Texts are the bytes to store
// (GBK for the messages). A flag takes any integer: the image keeps zero as
// off and anything else as on, as the dialogs' own values would.
bool SetInteger(RadioSettings& settings, const Field& field, double value, std::string* reason);
bool SetFrequency(RadioSettings& settings, const Field& field, double mhz, std::string* reason);
bool SetText(RadioSettings& settings, const Field& field, std::string_view bytes, std::string* reason);

} // namespace SettingsFields
