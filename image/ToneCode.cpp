#include "image/ToneCode.h"

#include <algorithm>

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

const std::array<int, 50> kTones = {
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000, 1035, 1072, 1109, 1148,
    1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567, 1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799,
    1835, 1862, 1899, 1928, 1966, 1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541,
};

const std::array<int, 104> kDcsCodes = {
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115, 116, 122, 125,
    131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223, 225, 226, 243, 244, 245, 246,
    251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315, 325, 331, 332, 343, 346, 351, 356, 364, 365,
    371, 411, 412, 413, 423, 431, 432, 445, 446, 452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526,
    532, 546, 565, 606, 612, 624, 627, 631, 632, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754,
};

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

bool Split(std::string_view code, Parts* parts)
{
    if (!IsStorable(code))
        return false;
    Parts p;
    if (code.empty()) {
        p.kind = Parts::None;
    } else if (IsDcs(code)) {
        p.kind = Parts::Dcs;
        p.dcs = (code[1] - '0') * 100 + (code[2] - '0') * 10 + (code[3] - '0');
        p.inverted = code[4] == 'I' || code[4] == 'i';
    } else {
        p.kind = Parts::Tone;
        for (char c : code)
            if (c != '.')
                p.tenths = p.tenths * 10 + (c - '0');
    }
    *parts = p;
    return true;
}

std::string ToneText(int tenths)
{
    return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
}

std::string DcsText(int dcs, bool inverted)
{
    std::string digits = std::to_string(dcs);
    digits.insert(0, digits.size() < 3 ? 3 - digits.size() : 0, '0');
    return 'D' + digits + (inverted ? 'I' : 'N');
}

const std::array<int, 50>& StandardTones() { return kTones; }
const std::array<int, 104>& StandardDcsCodes() { return kDcsCodes; }

bool IsStandardTone(int tenths) { return std::binary_search(kTones.begin(), kTones.end(), tenths); }
bool IsStandardDcs(int dcs) { return std::binary_search(kDcsCodes.begin(), kDcsCodes.end(), dcs); }

bool IsOffered(std::string_view code)
{
    Parts p;
    if (!Split(code, &p))
        return false;
    switch (p.kind) {
    case Parts::Tone: return IsStandardTone(p.tenths);
    case Parts::Dcs: return IsStandardDcs(p.dcs);
    default: return true;
    }
}

} // namespace ToneCode
