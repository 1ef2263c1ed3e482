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
