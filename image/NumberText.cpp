#include "image/NumberText.h"

#include <charconv>
#include <cmath>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

} // namespace

double LeadingNumber(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    const std::size_t integerDigits = i;
    std::size_t end = i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        // A point with no digit after it belongs to no number.
        if (i > integerDigits + 1)
            end = i;
    }
    if (end == 0)
        return 0.0;
    double value = 0.0;
    // Digits and one point only: from_chars reads them exactly as strtod.
    if (std::from_chars(text.data(), text.data() + end, value, std::chars_format::fixed).ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

long long LeadingInteger(std::string_view text)
{
    const double value = LeadingNumber(text);
    if (!std::isfinite(value) || std::fabs(value) > 1e15)
        return 0;
    return static_cast<long long>(value);
}
