#pragma once
#include <cstddef>
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

} // namespace ToneCode
