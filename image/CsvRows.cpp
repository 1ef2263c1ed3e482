#include "image/CsvRows.h"

#include <algorithm>

namespace CsvRows {

namespace {

bool AtLineEnd(std::string_view text, std::size_t i) { return text[i] == '\n' || text[i] == '\r'; }

// Moves past one line end ("\r\n", "\n" or "\r") at i.
std::size_t PastLineEnd(std::string_view text, std::size_t i)
{
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        return i + 2;
    return i + 1;
}

} // namespace

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

char DetectSeparator(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        int commas = 0, semicolons = 0, tabs = 0;
        bool quoted = false;
        while (i < text.size() && (quoted || !AtLineEnd(text, i))) {
            const char c = text[i];
            if (c == '"')
                quoted = !quoted;
            else if (!quoted)
                commas += c == ',', semicolons += c == ';', tabs += c == '\t';
            ++i;
        }
        const std::string_view line = Trim(text.substr(start, i - start));
        if (i < text.size())
            i = PastLineEnd(text, i);
        if (line.empty() || text[start] == '#')
            continue;
        if (tabs > commas && tabs >= semicolons)
            return '\t';
        return semicolons > commas ? ';' : ',';
    }
    return ',';
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

bool ParseDigits(std::string_view text, std::size_t mostDigits, long long* value)
{
    if (text.empty() || text.size() > mostDigits)
        return false;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    *value = n;
    return true;
}

std::string_view WithoutBom(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return text;
}

bool Split(std::string_view text, const Options& options, std::vector<Row>* rows, std::string* error)
{
    const char separator = options.separator;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        if (options.commentLines && text[i] == '#') {
            while (i < text.size() && !AtLineEnd(text, i))
                ++i;
            if (i < text.size())
                i = PastLineEnd(text, i);
            ++line;
            continue;
        }
        Row row;
        row.line = line;
        bool rowEnded = false;
        while (!rowEnded) {
            std::string field;
            bool quoted = false;
            std::size_t j = i;
            while (j < text.size() && text[j] == ' ')
                ++j;
            if (j < text.size() && text[j] == '"') {
                quoted = true;
                i = j + 1;
                for (;;) {
                    if (i >= text.size()) {
                        *error = "line " + std::to_string(row.line) + ": a quoted field has no closing quote";
                        return false;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (AtLineEnd(text, i)) {
                        i = PastLineEnd(text, i);
                        ++line;
                        field += '\n';
                        continue;
                    }
                    field += text[i++];
                }
            }
            // Text after a closing quote, or an unquoted field.
            std::string after;
            while (i < text.size() && text[i] != separator && !AtLineEnd(text, i))
                after += text[i++];
            if (!quoted || options.trimQuoted)
                row.fields.emplace_back(Trim(field + after));
            else
                row.fields.push_back(field + std::string(Trim(after)));
            if (i < text.size() && text[i] == separator) {
                ++i;
                continue;
            }
            if (i < text.size())
                i = PastLineEnd(text, i);
            ++line;
            rowEnded = true;
        }
        const bool empty = std::all_of(row.fields.begin(), row.fields.end(),
                                       [](const std::string& f) { return f.empty(); });
        if (!empty)
            rows->push_back(std::move(row));
    }
    return true;
}

} // namespace CsvRows
