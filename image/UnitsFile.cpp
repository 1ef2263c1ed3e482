#include "image/UnitsFile.h"

#include <map>

#include "image/CImportData.h"
#include "image/CsvRows.h"
#include "image/ErrorText.h"
#include "image/RadioSettings.h"

namespace UnitsFile {

namespace {

using SettingsFields::Charset;
using SettingsFields::Field;
using SettingsFields::Kind;
using SettingsFields::Member;

using CsvRows::SameIgnoringCase;
using ErrorText::HasControl;

// A cell as an error line quotes it.
std::string Shown(std::string_view text) { return ErrorText::Quoted(text, 40); }

// The member a header cell names, any member dump knows of, or null.
const Member* NamedMember(std::string_view name)
{
    if (const Member* m = SettingsFields::FindRadioMember(name))
        return m;
    if (const Member* m = SettingsFields::FindChannelMember(name))
        return m;
    if (name == SettingsFields::AutodialMember().name)
        return &SettingsFields::AutodialMember();
    return nullptr;
}

// A member whose name differs from the cell only in case, for the hint.
const Member* MemberLike(std::string_view name)
{
    for (const Member& m : SettingsFields::RadioMembers())
        if (SameIgnoringCase(name, m.name) && IsUnitMember(m))
            return &m;
    return nullptr;
}

struct Column {
    const Member* member = nullptr; // null: the label column
    std::string name;
};

struct Cell {
    const Column* column;
    std::string text; // as the file gives it (UTF-8)
};

class Faults {
public:
    explicit Faults(std::vector<std::string>& errors) : errors_(errors) {}
    void Add(int line, const std::string& column, const std::string& text)
    {
        ++count_;
        if (errors_.size() < kMostErrors)
            errors_.push_back("line " + std::to_string(line) + (column.empty() ? "" : ", column " + column) + ": " +
                              text);
    }
    void Close()
    {
        if (count_ > errors_.size())
            errors_.push_back("and " + std::to_string(count_ - errors_.size()) + " more");
    }
    std::size_t Count() const { return count_; }

private:
    std::vector<std::string>& errors_;
    std::size_t count_ = 0;
};

bool ReadHeader(const CsvRows::Row& header, std::vector<Column>& columns, Faults& faults)
{
    const std::size_t before = faults.Count();
    std::map<std::string, bool> seen;
    bool label = false;
    for (const std::string& cell : header.fields) {
        Column column;
        column.name = cell;
        if (cell.empty()) {
            faults.Add(header.line, "", "column " + std::to_string(columns.size() + 1) + " has no name");
        } else if (seen[cell]) {
            faults.Add(header.line, cell, "named twice");
        } else if (cell == kLabelColumn) {
            label = true;
        } else if (const Member* m = NamedMember(cell)) {
            std::string why;
            if (IsUnitMember(*m, &why))
                column.member = m;
            else
                faults.Add(header.line, cell, "not a member a units file sets: " + why);
        } else if (const Member* like = MemberLike(cell)) {
            faults.Add(header.line, Shown(cell), std::string("unknown member; did you mean ") + like->name + "?");
        } else if (SameIgnoringCase(cell, kLabelColumn)) {
            faults.Add(header.line, Shown(cell), std::string("unknown member; did you mean ") + kLabelColumn + "?");
        } else {
            faults.Add(header.line, Shown(cell),
                       "unknown member (the columns are unit and radio-wide or DTMF members as dump names them, "
                       "such as idCode, stunCode, message1)");
        }
        seen[cell] = true;
        columns.push_back(column);
    }
    if (!label)
        faults.Add(header.line, "", std::string("the header names no ") + kLabelColumn + " column");
    return faults.Count() == before;
}

// The bytes a text cell stores: GBK for the messages, else the text itself
// (the member's own checks refuse anything beyond printable ASCII).
bool TextBytes(const Member& m, const std::string& text, const GbkEncoder& toGbk, std::string* bytes,
               std::string* why)
{
    if (m.charset != Charset::Gbk) {
        *bytes = text;
        return true;
    }
    if (!toGbk || !toGbk(text, bytes)) {
        *why = Shown(text) + " holds characters GBK cannot write";
        return false;
    }
    return true;
}

// Sets one cell's member through apply's checks.
bool SetCell(RadioSettings& settings, const Member& m, const std::string& text, const GbkEncoder& toGbk,
             std::string* why)
{
    const Field field{&m, 0};
    switch (m.kind) {
    case Kind::Scalar:
    case Kind::Flag: {
        long long value = 0;
        if (!CsvRows::ParseDigits(text, 12, &value)) {
            *why = Shown(text) + " is not a whole number";
            return false;
        }
        return SettingsFields::SetInteger(settings, field, double(value), why);
    }
    case Kind::Text: {
        std::string bytes;
        if (!TextBytes(m, text, toGbk, &bytes, why))
            return false;
        if (SettingsFields::SetText(settings, field, bytes, why))
            return true;
        *why = Shown(text) + ": " + *why;
        return false;
    }
    case Kind::Frequency: break;
    }
    *why = "not a member a units file sets";
    return false;
}

// What the radio will hold is what was asked: the value read back from the
// encoded image equals the cell's (a flag stores any non-zero value as on,
// and DTMF and stun letters come back in capitals).
bool StoredAsAsked(const SettingsFields::Value& asked, const SettingsFields::Value& stored, const Member& m)
{
    switch (m.kind) {
    case Kind::Flag: return (asked.integer != 0) == (stored.integer != 0);
    case Kind::Scalar: return asked.integer == stored.integer;
    case Kind::Text:
        return m.charset == Charset::Gbk ? asked.text == stored.text : SameIgnoringCase(asked.text, stored.text);
    case Kind::Frequency: break;
    }
    return asked == stored;
}

std::string StoredText(const SettingsFields::Value& value, const Member& m)
{
    if (m.kind == Kind::Text)
        return m.charset == Charset::Gbk ? "a different text" : Shown(value.text);
    return std::to_string(value.integer);
}

// Lays the row's cells over golden and encodes; every fault is added.
bool LayOver(const CImportData& golden, const std::vector<Cell>& cells, int line, const GbkEncoder& toGbk,
             Unit& unit, Faults& faults)
{
    CImportData work;
    work.SetBytes(golden.Image(), 0, ImageMap::kSize);
    RadioSettings& settings = *work.GetSettings();
    settings = *golden.GetSettings();
    bool ok = true;
    std::vector<const Cell*> set;
    for (const Cell& cell : cells) {
        std::string why;
        if (SetCell(settings, *cell.column->member, cell.text, toGbk, &why)) {
            set.push_back(&cell);
        } else {
            faults.Add(line, cell.column->name, why);
            ok = false;
        }
    }
    if (!ok)
        return false;
    if (const int code = work.EncodeAll(); code != 0) {
        faults.Add(line, "", "the row cannot be encoded (error " + std::to_string(code) + ")");
        return false;
    }
    work.GetBytes(unit.image.data(), 0, ImageMap::kSize);

    CImportData check;
    check.SetBytes(unit.image.data(), 0, ImageMap::kSize);
    if (const int code = check.DecodeAll(); code != 0) {
        faults.Add(line, "", "the row's image cannot be decoded again (error " + std::to_string(code) + ")");
        return false;
    }
    for (const Cell* cell : set) {
        const Member& m = *cell->column->member;
        const SettingsFields::Value asked = SettingsFields::GetValue(settings, Field{&m, 0});
        const SettingsFields::Value stored = SettingsFields::GetValue(*check.GetSettings(), Field{&m, 0});
        if (!StoredAsAsked(asked, stored, m)) {
            std::string text = Shown(cell->text) + " would reach the radio as " + StoredText(stored, m);
            if (&m == SettingsFields::FindRadioMember("stunCode"))
                text += " (a stun code is read only when all six digits are given)";
            faults.Add(line, cell->column->name, text);
            ok = false;
        }
    }
    return ok;
}

} // namespace

bool IsUnitMember(const Member& member, std::string* whyNot)
{
    auto refuse = [whyNot](const char* why) {
        if (whyNot)
            *whyNot = why;
        return false;
    };
    if (member.group == SettingsFields::Group::Channel)
        return refuse("a channel member; the channels come from GOLDEN");
    if (member.group == SettingsFields::Group::Autodial)
        return refuse("the autodial memories come from GOLDEN");
    if (member.offset == ImageMap::kInfoText1 || member.offset == ImageMap::kInfoText2)
        return refuse("the radio's own information text; a write never sends it");
    // The model block: model code, band limits, first IF, local oscillator,
    // band centre and the bytes among them belong to the model.
    const bool modelBlock = member.offset >= ImageMap::kUpperLimit && member.offset < ImageMap::kMessage1;
    if (member.offset == ImageMap::kModelCode || modelBlock || member.kind == Kind::Frequency)
        return refuse("the model's own; it comes from GOLDEN");
    return true;
}

Result Read(std::string_view text, const CImportData& golden, const GbkEncoder& toGbk)
{
    Result result;
    Faults faults(result.errors);
    std::vector<CsvRows::Row> rows;
    std::string error;
    CsvRows::Options options;
    options.trimQuoted = false; // a quoted message keeps its spaces
    if (!CsvRows::Split(CsvRows::WithoutBom(text), options, &rows, &error)) {
        result.errors.push_back(error);
        return result;
    }
    if (rows.empty()) {
        result.errors.push_back("no header and no units");
        return result;
    }
    std::vector<Column> columns;
    if (!ReadHeader(rows.front(), columns, faults)) {
        faults.Close();
        return result;
    }
    for (const Column& c : columns)
        if (c.member)
            result.columns.push_back(c.name);
    if (rows.size() == 1) {
        result.errors.push_back("no units: the file has a header and no rows");
        return result;
    }

    std::map<std::string, int> lineOfLabel;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRows::Row& row = rows[r];
        if (row.fields.size() > columns.size()) {
            faults.Add(row.line, "", std::to_string(row.fields.size()) + " fields, the header names " +
                                         std::to_string(columns.size()) + " columns");
            continue;
        }
        Unit unit;
        unit.line = row.line;
        std::vector<Cell> cells;
        bool ok = true;
        for (std::size_t c = 0; c < row.fields.size(); ++c) {
            const std::string& cell = row.fields[c];
            if (columns[c].member == nullptr && columns[c].name == kLabelColumn) {
                unit.label = cell;
            } else if (!cell.empty() && columns[c].member) {
                cells.push_back({&columns[c], cell});
            }
        }
        if (unit.label.empty()) {
            faults.Add(row.line, kLabelColumn, "no label");
            ok = false;
        } else if (HasControl(unit.label)) {
            faults.Add(row.line, kLabelColumn, Shown(unit.label) + ": a label holds no line breaks or control "
                                                                   "characters");
            ok = false;
        } else if (auto [at, added] = lineOfLabel.emplace(unit.label, row.line); !added) {
            faults.Add(row.line, kLabelColumn, Shown(unit.label) + " is already the label of line " +
                                                   std::to_string(at->second));
            ok = false;
        }
        if (LayOver(golden, cells, row.line, toGbk, unit, faults) && ok)
            result.units.push_back(std::move(unit));
    }
    faults.Close();
    if (!result.errors.empty())
        result.units.clear();
    return result;
}

} // namespace UnitsFile
