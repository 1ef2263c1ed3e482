#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Splitting comma-separated (or tab- or semicolon-separated) text into rows
// of fields with the usual double-quote quoting: a quoted field is taken
// whole ("" inside it is one quote, and it may run over line ends). The
// channel table and the production line's units file read their text
// through this one tokenizer, and match and read their cells with the
// helpers below.
namespace CsvRows {

struct Row {
    int line = 0; // the physical line (1-based) the row starts on
    std::vector<std::string> fields;
};

struct Options {
    char separator = ',';
    // Lines whose first character is '#' are left out.
    bool commentLines = false;
    // Spaces and tabs around a field are dropped; false drops them around
    // unquoted text only, so a quoted field keeps them.
    bool trimQuoted = true;
};

// Rows with no text in any field are left out. false, with error "line N:
// a quoted field has no closing quote", when a quote never closes.
bool Split(std::string_view text, const Options& options, std::vector<Row>* rows, std::string* error);

// The text without a leading UTF-8 byte-order mark.
std::string_view WithoutBom(std::string_view text);

std::string_view Trim(std::string_view s);

// The separator the first line that is not a comment ('#' first) uses most
// outside quotes: ',', ';' or a tab (',' when there is no such line).
char DetectSeparator(std::string_view text);

// Equal but for the case of ASCII letters, as header names and words such
// as "High" or "TSQL" are matched.
bool SameIgnoringCase(std::string_view a, std::string_view b);

// A whole number as a spreadsheet writes it: 1 to mostDigits digits, no
// sign, no blanks. value is left as it was on failure.
bool ParseDigits(std::string_view text, std::size_t mostDigits, long long* value);

} // namespace CsvRows
