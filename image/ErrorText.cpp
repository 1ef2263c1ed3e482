#include "image/ErrorText.h"

namespace ErrorText {

namespace {

bool Continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

} // namespace

std::size_t CharacterAt(std::string_view text, std::size_t i, char32_t* c)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    char32_t value;
    char32_t least;
    if (lead < 0x80) {
        *c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = static_cast<unsigned char>(text[i + k]);
        if (!Continuation(b))
            return 0;
        value = (value << 6) | (b & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *c = value;
    return length;
}

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 // controls, separators
           || c == 0x061C || c == 0x200E || c == 0x200F                         // direction marks
           || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);     // embeddings, isolates
}

bool HasControl(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = CharacterAt(utf8, i, &c);
        if (length != 0 && IsControl(c))
            return true;
        i += length != 0 ? length : 1;
    }
    return false;
}

std::string Quoted(std::string_view utf8, std::size_t longest)
{
    std::size_t length = utf8.size();
    if (length > longest) {
        length = longest;
        while (length > 0 && Continuation(static_cast<unsigned char>(utf8[length])))
            --length;
    }
    const std::string_view kept = utf8.substr(0, length);
    std::string out = "\"";
    for (std::size_t i = 0; i < kept.size();) {
        char32_t c = 0;
        const std::size_t n = CharacterAt(kept, i, &c);
        if (n == 0 || IsControl(c))
            out += '?';
        else
            out.append(kept.substr(i, n));
        i += n != 0 ? n : 1;
    }
    if (length < utf8.size())
        out += "...";
    return out + '"';
}

} // namespace ErrorText
