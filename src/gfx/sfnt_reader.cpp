#include "gfx/sfnt_reader.h"

#include <algorithm>

namespace gfx::sfnt {

std::vector<std::uint64_t> fontOffsets(const Bytes& bytes)
{
    std::vector<std::uint64_t> offsets;
    const auto header = bytes.u32(0);
    if (!header)
        return offsets;
    if (*header == tag("ttcf")) {
        const auto count = bytes.u32(8);
        for (std::uint32_t i = 0; count && i < std::min(*count, maxFontsPerFile); ++i) {
            const auto offset = bytes.u32(12 + 4ull * i);
            if (!offset)
                break;
            offsets.push_back(*offset);
        }
    } else {
        offsets.push_back(0);
    }
    std::erase_if(offsets, [&](std::uint64_t offset) {
        const auto version = bytes.u32(offset);
        return !version || (*version != 0x00010000u && *version != tag("true") && *version != tag("OTTO"));
    });
    return offsets;
}

std::optional<TableLocation> findTable(const Bytes& bytes, std::uint64_t fontOffset, std::uint32_t wanted)
{
    const auto numTables = bytes.u16(fontOffset + 4);
    if (!numTables)
        return std::nullopt;
    for (std::uint32_t i = 0; i < *numTables; ++i) {
        const std::uint64_t record = fontOffset + 12 + 16ull * i;
        const auto recordTag = bytes.u32(record);
        const auto offset = bytes.u32(record + 8);
        const auto length = bytes.u32(record + 12);
        if (!recordTag || !offset || !length)
            return std::nullopt;
        if (*recordTag == wanted) {
            if (!bytes.has(*offset, *length))
                return std::nullopt;
            return TableLocation{record, *offset, *length};
        }
    }
    return std::nullopt;
}

NameTable readNameTable(std::string_view data)
{
    NameTable table;
    const Bytes name(data);
    const auto format = name.u16(0);
    const auto count = name.u16(2);
    const auto stringOffset = name.u16(4);
    if (!format || !count || !stringOffset)
        return table;
    table.format = *format;
    const std::uint64_t storage = *stringOffset;

    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::uint64_t at = 6 + 12ull * i;
        const auto platform = name.u16(at);
        const auto encoding = name.u16(at + 2);
        const auto language = name.u16(at + 4);
        const auto nameId = name.u16(at + 6);
        const auto length = name.u16(at + 8);
        const auto offset = name.u16(at + 10);
        if (!platform || !encoding || !language || !nameId || !length || !offset)
            break;
        const std::string_view text = name.slice(storage + *offset, *length);
        if (!text.empty())
            table.records.push_back({*platform, *encoding, *language, *nameId, text});
    }

    if (*format == 1) {
        const std::uint64_t at = 6 + 12ull * *count;
        const auto tagCount = name.u16(at);
        for (std::uint32_t i = 0; tagCount && i < *tagCount; ++i) {
            const auto length = name.u16(at + 2 + 4ull * i);
            const auto offset = name.u16(at + 4 + 4ull * i);
            if (!length || !offset)
                break;
            table.languageTags.push_back(name.slice(storage + *offset, *length));
        }
    }
    return table;
}

} // namespace gfx::sfnt
