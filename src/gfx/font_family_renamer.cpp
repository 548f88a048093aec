#include "gfx/font_family_renamer.h"

#include "gfx/font_name_table.h"
#include "gfx/sfnt_reader.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <vector>

namespace gfx {

namespace {

void put16(std::string& out, std::uint64_t value)
{
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void set32(std::string& out, std::uint64_t offset, std::uint64_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

bool isFamilyName(std::uint16_t nameId) { return nameId == 1 || nameId == 16 || nameId == 21; }

struct OwnedRecord {
    std::uint16_t platform, encoding, language, nameId;
    std::string text;
};

std::optional<std::string> buildTable(const sfnt::NameTable& old, const std::u16string& family)
{
    std::vector<OwnedRecord> records;
    for (const sfnt::NameRecord& r : old.records)
        if (!isFamilyName(r.nameId))
            records.push_back({r.platform, r.encoding, r.language, r.nameId, std::string(r.text)});

    std::string windowsText, macText;
    bool ascii = true;
    for (char16_t c : family) {
        put16(windowsText, c);
        ascii = ascii && c < 0x80;
        macText.push_back(static_cast<char>(c));
    }
    records.push_back({3, 1, 0x0409, 1, windowsText});
    if (ascii)
        records.push_back({1, 0, 0, 1, macText});
    std::sort(records.begin(), records.end(), [](const OwnedRecord& a, const OwnedRecord& b) {
        return std::tie(a.platform, a.encoding, a.language, a.nameId) <
               std::tie(b.platform, b.encoding, b.language, b.nameId);
    });

    const bool format1 = old.format == 1 && !old.languageTags.empty();
    const std::size_t headerSize = 6 + 12 * records.size() + (format1 ? 2 + 4 * old.languageTags.size() : 0);
    constexpr std::size_t limit = std::numeric_limits<std::uint16_t>::max();
    if (records.size() > limit || headerSize > limit)
        return std::nullopt;

    std::string header, storage;
    put16(header, format1 ? 1 : 0);
    put16(header, records.size());
    put16(header, headerSize);
    for (const OwnedRecord& r : records) {
        if (storage.size() > limit || r.text.size() > limit)
            return std::nullopt;
        put16(header, r.platform);
        put16(header, r.encoding);
        put16(header, r.language);
        put16(header, r.nameId);
        put16(header, r.text.size());
        put16(header, storage.size());
        storage += r.text;
    }
    if (format1) {
        put16(header, old.languageTags.size());
        for (std::string_view tag : old.languageTags) {
            if (storage.size() > limit || tag.size() > limit)
                return std::nullopt;
            put16(header, tag.size());
            put16(header, storage.size());
            storage += tag;
        }
    }
    return header + storage;
}

// The same names, in any order (the new table's records are sorted).
bool sameNames(std::vector<LocalizedName> a, std::vector<LocalizedName> b)
{
    const auto order = [](const LocalizedName& x, const LocalizedName& y) {
        return std::tie(x.locale, x.text) < std::tie(y.locale, y.text);
    };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    return a == b;
}

// Whether the copy reads as the original but for the new family names. The
// copy is patched in place, and in a hostile file the directory records
// patched may also be part of the collection's header, of another font's
// directory or of a table; then more than the family names change.
bool readsAsRenamed(std::string_view original, std::string_view copy, const std::vector<std::uint64_t>& offsets,
                    std::span<const FamilyRename> renames)
{
    // The family each font must have: a font listed twice in a collection
    // has one directory, and keeps the last name given to either.
    std::vector<const std::u16string*> newFamily(offsets.size(), nullptr);
    for (const FamilyRename& rename : renames)
        for (std::size_t i = 0; i < offsets.size(); ++i)
            if (offsets[i] == offsets[rename.fontIndex])
                newFamily[i] = &rename.family;

    const std::vector<FontFace> before = readFontFaces(original);
    const std::vector<FontFace> after = readFontFaces(copy);
    std::size_t matched = 0;
    for (const FontFace& a : after) {
        if (a.fontIndex >= offsets.size())
            return false;
        const auto b = std::find_if(before.begin(), before.end(),
                                    [&](const FontFace& f) { return f.fontIndex == a.fontIndex; });
        const std::u16string* family = newFamily[a.fontIndex];
        if (family ? a.familyNames != std::vector<LocalizedName>{{u"en-us", *family}}
                   : (b == before.end() || !sameNames(a.familyNames, b->familyNames)))
            return false;
        if (b == before.end()) {
            if (!family) // a font without a family before has one only when renamed
                return false;
            continue;
        }
        if (!sameNames(a.faceNames, b->faceNames) || a.weight != b->weight || a.stretch != b->stretch || a.style != b->style)
            return false;
        ++matched;
    }
    return matched == before.size();
}

} // namespace

std::optional<std::string> renameFontFamilies(std::string_view file, std::span<const FamilyRename> renames)
{
    const sfnt::Bytes bytes(file);
    const std::vector<std::uint64_t> offsets = sfnt::fontOffsets(bytes);
    std::string result(file);
    for (const FamilyRename& rename : renames) {
        if (rename.fontIndex >= offsets.size())
            return std::nullopt;
        const auto location = sfnt::findTable(bytes, offsets[rename.fontIndex], sfnt::tag("name"));
        if (!location)
            return std::nullopt;
        const auto table =
            buildTable(sfnt::readNameTable(bytes.slice(location->offset, location->length)), rename.family);
        if (!table)
            return std::nullopt;
        while (result.size() % 4 != 0)
            result.push_back('\0');
        if (result.size() + table->size() > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        set32(result, location->recordOffset + 8, result.size());
        set32(result, location->recordOffset + 12, table->size());
        result += *table;
    }
    while (result.size() % 4 != 0)
        result.push_back('\0');
    if (!readsAsRenamed(file, result, offsets, renames))
        return std::nullopt;
    return result;
}

} // namespace gfx
