#pragma once
// Text from a user's file as an error line repeats it. Such text may hold
// anything: escape sequences a terminal would act on, marks that turn the
// rest of the line around, a stray binary file. The command-line tool prints
// these lines on a terminal and the window shows them, so every reader of
// user text repeats it through here.
#include <cstddef>
#include <string>
#include <string_view>

namespace ErrorText {

// A character a terminal acts on or does not show as itself: the C0 and C1
// controls, DEL, the line and paragraph separators and the marks that set
// the direction of text.
bool IsControl(char32_t c);

// The character at text[i] and its length in bytes; 0 when the bytes there
// are no UTF-8 character (a stray byte, an overlong form, a surrogate).
std::size_t CharacterAt(std::string_view text, std::size_t i, char32_t* c);

// Whether UTF-8 text holds such a character.
bool HasControl(std::string_view utf8);

// UTF-8 text in double quotes, every control character and every byte that
// is no part of a UTF-8 character shown as '?'; a text longer than `longest`
// bytes is cut (before a character, never inside it) and ends in "...".
std::string Quoted(std::string_view utf8, std::size_t longest);

} // namespace ErrorText
