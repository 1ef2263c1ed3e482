#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The QT/DQT code of a channel as the image stores it: a CTCSS tone in hertz
// with one decimal ("67.0", "151.4"), or a DCS code of 'D', three octal
// digits and 'N' (normal) or 'I' (inverted) ("D023N"); empty for none.
// Letters may come in either case; the codec stores them upper case.
namespace ToneCode {

// The longest code a channel holds.
constexpr std::size_t kMaxLength = 5;

// Whether the text is (the start of) a DCS code: it starts with 'D'.
bool IsDcs(std::string_view code);
// Whether c may stand at position (0-based) of a DCS code.
bool FitsDcs(std::size_t position, char c);
// Whether the codec stores exactly this code: empty, a tone or a DCS code.
bool IsStorable(std::string_view code);

// A storable code taken apart.
struct Parts {
    enum Kind { None, Tone, Dcs } kind = None;
    int tenths = 0;        // Tone: the tone in tenths of a hertz (885 for 88.5)
    int dcs = 0;           // Dcs: the three octal digits read as written (23 for D023N)
    bool inverted = false; // Dcs: 'I'
};
// False (and parts untouched) when the code is not storable.
bool Split(std::string_view code, Parts* parts);
// "88.5" from 885; "D023N" / "D023I" from 23.
std::string ToneText(int tenths);
std::string DcsText(int dcs, bool inverted);

// The codes the radio offers, as its channel editor lists them: the 50
// standard CTCSS tones and the 104 standard DCS codes, each DCS code in
// both polarities. A code outside these sets may be storable, but a radio
// decodes no such signal from other radios, so imports refuse it.
const std::array<int, 50>& StandardTones();     // tenths of a hertz, rising
const std::array<int, 104>& StandardDcsCodes(); // octal digits as written, rising
bool IsStandardTone(int tenths);
bool IsStandardDcs(int dcs);
// Empty, a standard tone or a standard DCS code of either polarity.
bool IsOffered(std::string_view code);

} // namespace ToneCode
