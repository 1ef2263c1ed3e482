#include "image/ToneCode.h"

namespace ToneCode {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A tone: up to three integer digits, a point and one decimal. Four digits
// of tenths of a hertz are what the field holds.
bool IsTone(std::string_view t)
{
    const std::size_t point = t.find('.');
    if (point == std::string_view::npos || point > 3 || point + 2 != t.size())
        return false;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (i != point && !IsDigit(t[i]))
            return false;
    return true;
}

} // namespace

bool IsDcs(std::string_view code) { return !code.empty() && (code[0] == 'D' || code[0] == 'd'); }

bool FitsDcs(std::size_t position, char c)
{
    switch (position) {
    case 0: return c == 'D' || c == 'd';
    case 1:
    case 2:
    case 3: return c >= '0' && c <= '7';
    case 4: return c == 'N' || c == 'n' || c == 'I' || c == 'i';
    default: return false;
    }
}

bool IsStorable(std::string_view code)
{
    if (code.empty())
        return true;
    if (!IsDcs(code))
        return IsTone(code);
    if (code.size() != kMaxLength)
        return false;
    for (std::size_t i = 0; i < code.size(); ++i)
        if (!FitsDcs(i, code[i]))
            return false;
    return true;
}

} // namespace ToneCode
