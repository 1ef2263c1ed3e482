#pragma once
// Parts of a message on one line: the problems of a table row, the lines of
// a failure as a log keeps them, names in a report.
#include <string>
#include <string_view>
#include <vector>

inline std::string Joined(const std::vector<std::string>& parts, std::string_view between)
{
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty())
            text += between;
        text += part;
    }
    return text;
}
