#pragma once
// Font bytes for tests: the DejaVu files of Debian's fonts-dejavu-core read
// into memory, and builders that make or patch `name` and `OS/2` tables.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace GfxTest {

inline constexpr const char* dejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

// Big-endian fields, as font files store them: appended, overwritten, read
// (reads throw std::out_of_range past the end).
void put16(std::string& out, std::uint32_t value);
void put32(std::string& out, std::uint32_t value);
void set32(std::string& out, std::size_t offset, std::uint32_t value);
std::uint32_t get16(const std::string& in, std::size_t offset);
std::uint32_t get32(const std::string& in, std::size_t offset);

// The bytes of a file of that folder; throws when it cannot be read.
std::string readDejaVu(const std::string& fileName);

struct NameRecord {
    std::uint16_t platform = 3;
    std::uint16_t encoding = 1;
    std::uint16_t language = 0x0409;
    std::uint16_t nameId = 1;
    std::u16string text; // stored as UTF-16BE, or as bytes for the Mac platform
};

// A `name` table with these records; format 1 with these language tags when
// any are given (records refer to them as language 0x8000 + index).
std::string buildNameTable(const std::vector<NameRecord>& records,
                           const std::vector<std::u16string>& languageTags = {});

// An `OS/2` table (version 0, 78 bytes) with these fields.
std::string buildOs2Table(std::uint16_t weightClass, std::uint16_t widthClass, std::uint16_t fsSelection);

// A font file holding only the given tables (tag, bytes), sorted by tag.
std::string buildFont(std::vector<std::pair<std::string, std::string>> tables);

// The font with the table of that tag replaced by new bytes (placed at the
// end of the file); throws when the font has no such table.
std::string replaceTable(std::string font, std::string_view tag, const std::string& table);

// A collection file ("ttcf") of the given font files.
std::string buildCollection(const std::vector<std::string>& fonts);

// Bytes copied to the very end of readable memory: the next byte lies on an
// inaccessible page, so any read past the end faults at once.
class GuardedBytes {
public:
    explicit GuardedBytes(std::string_view bytes);
    ~GuardedBytes();
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    std::string_view view() const { return {data_, size_}; }

private:
    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace GfxTest
