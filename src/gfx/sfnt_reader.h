#pragma once
// Bounds-checked reading of the TrueType/OpenType container ("sfnt"): the
// fonts of a file or collection, their table directories and the records of
// a `name` table. Used only by the font code of this layer. Nothing here
// reads outside the bytes it is given; what does not fit is left out.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace gfx::sfnt {

// Big-endian reads that fail instead of reading past the end.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}

    std::size_t size() const { return data_.size(); }
    std::string_view data() const { return data_; }

    bool has(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    std::optional<std::uint16_t> u16(std::uint64_t offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>((byte(offset) << 8) | byte(offset + 1));
    }

    std::optional<std::uint32_t> u32(std::uint64_t offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        return (byte(offset) << 24) | (byte(offset + 1) << 16) | (byte(offset + 2) << 8) | byte(offset + 3);
    }

    // Empty when the range does not lie within the bytes.
    std::string_view slice(std::uint64_t offset, std::uint64_t length) const
    {
        return has(offset, length) ? data_.substr(offset, length) : std::string_view();
    }

private:
    std::uint32_t byte(std::uint64_t offset) const { return static_cast<unsigned char>(data_[offset]); }
    std::string_view data_;
};

constexpr std::uint32_t tag(const char (&t)[5])
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(t[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(t[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(t[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(t[3]));
}

// Hostile collections could name any number of fonts.
inline constexpr std::uint32_t maxFontsPerFile = 256;

// Where each font's offset table starts: one font for a plain font file,
// each listed font for a collection ("ttcf"); nothing for other bytes.
// Only fonts whose version tag is TrueType's or OpenType's are listed.
std::vector<std::uint64_t> fontOffsets(const Bytes& bytes);

struct TableLocation {
    std::uint64_t recordOffset = 0; // the table's entry in the font's directory
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// The table with this tag, when its directory entry and its bytes lie within
// the file.
std::optional<TableLocation> findTable(const Bytes& bytes, std::uint64_t fontOffset, std::uint32_t wanted);

struct NameRecord {
    std::uint16_t platform = 0;
    std::uint16_t encoding = 0;
    std::uint16_t language = 0;
    std::uint16_t nameId = 0;
    std::string_view text; // raw bytes, encoding by platform
};

struct NameTable {
    std::uint16_t format = 0;
    std::vector<NameRecord> records;         // those whose text lies within the table
    std::vector<std::string_view> languageTags; // format 1: UTF-16BE tags, by index
};

NameTable readNameTable(std::string_view table);

} // namespace gfx::sfnt
