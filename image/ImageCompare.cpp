#include "image/ImageCompare.h"

#include <cstdio>

#include "image/CImportData.h"

namespace ImageCompare {

namespace {

using SettingsFields::ByteOwner;
using SettingsFields::Field;

std::string Address(std::size_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04zX", address);
    return text;
}

std::string ByteValue(uint8_t b)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", b);
    return text;
}

// The one field whose bits hold all of bits at this byte, if there is one.
std::optional<Field> SoleOwner(const std::vector<ByteOwner>& owners, uint8_t bits)
{
    std::optional<Field> found;
    for (const ByteOwner& o : owners) {
        if ((o.bits & bits) == 0)
            continue;
        if (found || (bits & ~o.bits) != 0)
            return std::nullopt;
        found = o.field;
    }
    return found;
}

std::vector<uint8_t> Slice(ImageBytes image, std::size_t from, std::size_t n)
{
    return std::vector<uint8_t>(image.begin() + std::ptrdiff_t(from), image.begin() + std::ptrdiff_t(from + n));
}

} // namespace

Differences Compare(const CImportData& a, const CImportData& b)
{
    Differences out;
    const uint8_t* ia = a.Image();
    const uint8_t* ib = b.Image();
    // Bits that a differing value already shows, per byte.
    uint8_t shown[ImageMap::kSize] = {};
    for (const Field& f : SettingsFields::AllFields()) {
        SettingsFields::Value va = GetValue(*a.GetSettings(), f);
        SettingsFields::Value vb = GetValue(*b.GetSettings(), f);
        if (va == vb)
            continue;
        for (std::size_t i = 0; i < f.Length(); ++i)
            shown[f.Offset() + i] |= f.member->bits;
        out.values.push_back({f, std::move(va), std::move(vb)});
    }

    ByteRun* run = nullptr;
    for (std::size_t i = 0; i < ImageMap::kSize; ++i) {
        const uint8_t unshown = uint8_t((ia[i] ^ ib[i]) & ~shown[i]);
        if (unshown == 0) {
            run = nullptr;
            continue;
        }
        const std::optional<Field> field = SoleOwner(SettingsFields::OwnersOf(i), unshown);
        if (run == nullptr || run->to + 1 != i || run->field != field) {
            out.bytes.push_back(ByteRun{.from = i, .to = i, .a = {}, .b = {}, .field = field});
            run = &out.bytes.back();
        }
        run->to = i;
        run->a.push_back(ia[i]);
        run->b.push_back(ib[i]);
    }
    return out;
}

std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char hex[4];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%s%02x", text.empty() ? "" : " ", b);
        text += hex;
    }
    return text;
}

std::string ByteRunName(const ByteRun& run)
{
    std::string text = run.from == run.to ? "byte " + Address(run.from)
                                          : "bytes " + Address(run.from) + ".." + Address(run.to);
    if (run.field)
        text += " (" + run.field->Name() + ")";
    return text;
}

std::string ByteRunText(const ByteRun& run)
{
    return ByteRunName(run) + ": " + HexBytes(run.a) + " -> " + HexBytes(run.b);
}

VerifyResult Verify(ImageBytes sent, ImageBytes readBack)
{
    VerifyResult r;
    for (std::size_t i = 0; i < ImageMap::kWritableSize; ++i) {
        if (sent[i] == readBack[i])
            continue;
        if (r.differing++ > 0)
            continue;
        r.equal = false;
        r.first = i;
        r.wrote = sent[i];
        r.holds = readBack[i];
        const uint8_t bits = sent[i] ^ readBack[i];
        for (const ByteOwner& o : SettingsFields::OwnersOf(i)) {
            if ((o.bits & bits) == 0)
                continue;
            r.field += (r.field.empty() ? "" : ", ") + o.field.Name();
        }
    }
    return r;
}

std::string VerifyText(const VerifyResult& r)
{
    if (r.equal)
        return "verified: the radio holds the " + std::to_string(ImageMap::kWritableSize) + " bytes written";
    std::string text = "verify failed at " + Address(r.first);
    if (!r.field.empty())
        text += " (" + r.field + ")";
    text += ": wrote " + ByteValue(r.wrote) + ", the radio holds " + ByteValue(r.holds) + " (" +
            std::to_string(r.differing) + (r.differing == 1 ? " byte differs)" : " bytes differ)");
    return text;
}

std::string ReadBackFailedText()
{
    return "verify failed: the radio could not be read back after the write; nothing was verified";
}

std::vector<FieldChange> EncoderChanges(ImageBytes given, ImageBytes encoded)
{
    std::vector<FieldChange> out;
    for (const Field& f : SettingsFields::AllFields()) {
        const std::size_t at = f.Offset();
        if (at + f.Length() > ImageMap::kWritableSize)
            continue; // never sent
        bool changed = false;
        for (std::size_t i = 0; i < f.Length() && !changed; ++i)
            changed = ((given[at + i] ^ encoded[at + i]) & f.member->bits) != 0;
        if (changed)
            out.push_back({f, Slice(given, at, f.Length()), Slice(encoded, at, f.Length())});
    }
    return out;
}

std::string ChangeText(const FieldChange& change)
{
    return change.field.Name() + " is sent as " + HexBytes(change.sent) + "; the file holds " +
           HexBytes(change.given);
}

} // namespace ImageCompare
