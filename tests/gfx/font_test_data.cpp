#include "font_test_data.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace GfxTest {

void put16(std::string& out, std::uint32_t value)
{
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value >> 16);
    put16(out, value & 0xFFFF);
}

void set32(std::string& out, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

std::uint32_t get16(const std::string& in, std::size_t offset)
{
    return (static_cast<unsigned char>(in.at(offset)) << 8) | static_cast<unsigned char>(in.at(offset + 1));
}

std::uint32_t get32(const std::string& in, std::size_t offset)
{
    return (get16(in, offset) << 16) | get16(in, offset + 2);
}

namespace {

std::string encode(const NameRecord& record)
{
    std::string bytes;
    for (char16_t c : record.text) {
        if (record.platform == 1)
            bytes.push_back(static_cast<char>(c));
        else
            put16(bytes, c);
    }
    return bytes;
}

std::string encodeUtf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t c : text)
        put16(bytes, c);
    return bytes;
}

void padTo4(std::string& bytes)
{
    while (bytes.size() % 4 != 0)
        bytes.push_back('\0');
}

} // namespace

std::string readDejaVu(const std::string& fileName)
{
    const std::string path = std::string(dejaVuFolder) + fileName;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot read " + path + " (install fonts-dejavu-core)");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string buildNameTable(const std::vector<NameRecord>& records, const std::vector<std::u16string>& languageTags)
{
    const bool format1 = !languageTags.empty();
    std::string strings;
    std::string table;
    put16(table, format1 ? 1 : 0);
    put16(table, static_cast<std::uint32_t>(records.size()));
    const std::size_t headerSize =
        6 + 12 * records.size() + (format1 ? 2 + 4 * languageTags.size() : 0);
    put16(table, static_cast<std::uint32_t>(headerSize));
    for (const NameRecord& record : records) {
        const std::string bytes = encode(record);
        put16(table, record.platform);
        put16(table, record.encoding);
        put16(table, record.language);
        put16(table, record.nameId);
        put16(table, static_cast<std::uint32_t>(bytes.size()));
        put16(table, static_cast<std::uint32_t>(strings.size()));
        strings += bytes;
    }
    if (format1) {
        put16(table, static_cast<std::uint32_t>(languageTags.size()));
        for (const std::u16string& tag : languageTags) {
            const std::string bytes = encodeUtf16(tag);
            put16(table, static_cast<std::uint32_t>(bytes.size()));
            put16(table, static_cast<std::uint32_t>(strings.size()));
            strings += bytes;
        }
    }
    return table + strings;
}

std::string buildOs2Table(std::uint16_t weightClass, std::uint16_t widthClass, std::uint16_t fsSelection)
{
    std::string table(78, '\0');
    table[4] = static_cast<char>(weightClass >> 8);
    table[5] = static_cast<char>(weightClass & 0xFF);
    table[6] = static_cast<char>(widthClass >> 8);
    table[7] = static_cast<char>(widthClass & 0xFF);
    table[62] = static_cast<char>(fsSelection >> 8);
    table[63] = static_cast<char>(fsSelection & 0xFF);
    return table;
}

std::string buildFont(std::vector<std::pair<std::string, std::string>> tables)
{
    std::sort(tables.begin(), tables.end());
    std::string font;
    put32(font, 0x00010000);
    put16(font, static_cast<std::uint32_t>(tables.size()));
    put16(font, 0);
    put16(font, 0);
    put16(font, 0);
    std::size_t offset = 12 + 16 * tables.size();
    std::string body;
    for (const auto& [tag, bytes] : tables) {
        font += tag.substr(0, 4);
        put32(font, 0);
        put32(font, static_cast<std::uint32_t>(offset + body.size()));
        put32(font, static_cast<std::uint32_t>(bytes.size()));
        body += bytes;
        padTo4(body);
    }
    return font + body;
}

std::string replaceTable(std::string font, std::string_view tag, const std::string& table)
{
    const std::uint32_t numTables = get16(font, 4);
    for (std::uint32_t i = 0; i < numTables; ++i) {
        const std::size_t record = 12 + 16 * i;
        if (std::string_view(font).substr(record, 4) != tag)
            continue;
        padTo4(font);
        set32(font, record + 8, static_cast<std::uint32_t>(font.size()));
        set32(font, record + 12, static_cast<std::uint32_t>(table.size()));
        font += table;
        padTo4(font);
        return font;
    }
    throw std::runtime_error("the font has no " + std::string(tag) + " table");
}

std::string buildCollection(const std::vector<std::string>& fonts)
{
    std::string collection = "ttcf";
    put32(collection, 0x00010000);
    put32(collection, static_cast<std::uint32_t>(fonts.size()));
    std::size_t offset = 12 + 4 * fonts.size();
    std::string body;
    for (const std::string& font : fonts) {
        const std::size_t start = offset + body.size();
        put32(collection, static_cast<std::uint32_t>(start));
        // Table offsets inside a collection count from the start of the file.
        std::string moved = font;
        const std::uint32_t numTables = get16(moved, 4);
        for (std::uint32_t i = 0; i < numTables; ++i)
            set32(moved, 12 + 16 * i + 8, static_cast<std::uint32_t>(get32(moved, 12 + 16 * i + 8) + start));
        body += moved;
        padTo4(body);
    }
    return collection + body;
}

GuardedBytes::GuardedBytes(std::string_view bytes) : size_(bytes.size())
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t dataPages = (bytes.size() + page - 1) / page;
    mappingSize_ = (dataPages + 1) * page;
    mapping_ = ::mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping_ == MAP_FAILED)
        throw std::runtime_error("mmap failed");
    char* base = static_cast<char*>(mapping_);
    ::mprotect(base + dataPages * page, page, PROT_NONE);
    char* start = base + dataPages * page - bytes.size();
    if (!bytes.empty())
        std::memcpy(start, bytes.data(), bytes.size());
    data_ = start;
}

GuardedBytes::~GuardedBytes() { ::munmap(mapping_, mappingSize_); }

} // namespace GfxTest
