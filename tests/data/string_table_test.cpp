#include "data/string_table.h"
#include "fixtures/ucs_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using Mod::StringTable;

namespace {

Mod::FilePtr bytesFile(const std::string& bytes, std::size_t misalign = 0)
{
    auto* buffer = static_cast<char*>(std::malloc(bytes.size() + 2));
    std::memcpy(buffer + misalign, bytes.data(), bytes.size());
    // With misalign 1 the bytes start at an odd address, as an uncompressed
    // archive member's can.
    return Mod::FilePtr(new Mod::FileData{buffer + misalign, static_cast<std::uint32_t>(bytes.size())},
                        [buffer](const Mod::FileData* file) {
                            std::free(buffer);
                            delete file;
                        });
}

std::u16string u16(const std::string& utf8)
{
    const std::string bytes = Fixtures::utf16le(utf8);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

std::string lookup(const StringTable& table, std::uint32_t id)
{
    const auto text = table.find(id);
    if (!text)
        return "<none>";
    std::string ascii;
    for (char16_t unit : *text)
        ascii.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return ascii;
}

std::string ucs(const std::string& body) { return "\xFF\xFE" + Fixtures::utf16le(body); }

} // namespace

TEST(StringTableTest, ReadsLines)
{
    const StringTable table(bytesFile(Fixtures::ucsFile({{1, "One"}, {20, "Twenty\twith tab"}, {3, ""}, {1, "Later one"}})));
    EXPECT_EQ(lookup(table, 1), "Later one") << "the later line wins";
    EXPECT_EQ(lookup(table, 20), "Twenty\twith tab");
    EXPECT_EQ(lookup(table, 3), "") << "an empty text is stored";
    EXPECT_EQ(lookup(table, 2), "<none>");
}

TEST(StringTableTest, KeepsAnyUtf16Text)
{
    const StringTable table(bytesFile(Fixtures::ucsFile({{7, "Déjà vu — 決定"}})));
    EXPECT_EQ(table.find(7), std::optional<std::u16string_view>(u16("Déjà vu — 決定")));
}

TEST(StringTableTest, MalformedBodiesFollowTheParsingRules)
{
    struct Case {
        std::string name, body;
        std::vector<std::pair<std::uint32_t, std::string>> expected;
        std::size_t size;
    };
    const std::vector<Case> cases{
        {"only the byte order mark", "", {}, 0},
        {"last line without CR LF loses two units", "5\tHello", {{5, "Hel"}}, 1},
        {"empty text as the last three units is not stored", "1\tA\r\n2\t\r\n", {{1, "A"}, {2, "<none>"}}, 1},
        {"empty text before more lines is stored", "2\t\r\n3\tB\r\n", {{2, ""}, {3, "B"}}, 2},
        {"digits are not validated", "1a\tX\r\n", {{(1u * 10 + ('a' - '0')), "X"}}, 1},
        {"a line without TAB runs into the next id", "9\r\n4\tY\r\n", {{((9u * 10 + ('\r' - '0')) * 10 + ('\n' - '0')) * 10 + 4, "Y"}}, 1},
        {"no TAB at all stores nothing", "12345", {}, 0},
        {"ids wrap at 32 bits", "4294967297\tW\r\n", {{1, "W"}}, 1},
        {"a lone CR ends the text and the unit after it is skipped", "6\tA\rB\r\n7\tC\r\n", {{6, "A"}, {7, "<none>"}}, 2},
    };
    for (const Case& c : cases) {
        const StringTable table(bytesFile(ucs(c.body)));
        EXPECT_EQ(table.size(), c.size) << c.name;
        for (const auto& [id, text] : c.expected)
            EXPECT_EQ(lookup(table, id), text) << c.name;
    }
}

TEST(StringTableTest, RejectsBadSizes)
{
    struct Case {
        Mod::FilePtr file;
        std::string message;
    };
    const std::vector<Case> cases{
        {nullptr, "UCS file too short"},
        {bytesFile("\xFF"), "UCS file too short"},
        {bytesFile("\xFF\xFE" "1"), "UCS file has odd number of bytes"},
    };
    for (const Case& c : cases) {
        try {
            StringTable table(c.file);
            ADD_FAILURE() << c.message;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST(StringTableTest, DataAtAnOddAddressIsReadCorrectly)
{
    const StringTable table(bytesFile(Fixtures::ucsFile({{1, "Odd"}}), 1));
    EXPECT_EQ(lookup(table, 1), "Odd");
}
