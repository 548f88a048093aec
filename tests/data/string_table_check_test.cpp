// What the game's reading of a UCS string table loses: each row is the
// bytes of one table with one mistake (or none), and the finding it gives.
// The table is also loaded as the game loads it, to show the loss is real.

#include "data/ansi_text.h"
#include "data/string_table.h"
#include "data/string_table_check.h"
#include "fixtures/ucs_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

Mod::FilePtr fileOf(const std::string& bytes)
{
    void* copy = std::malloc(bytes.size() + 1);
    std::memcpy(copy, bytes.data(), bytes.size());
    return Mod::makeHeapFile(copy, static_cast<std::uint32_t>(bytes.size()));
}

std::string ucs(const std::string& utf8Body) { return "\xFF\xFE" + Fixtures::utf16le(utf8Body); }

struct Row {
    const char* mistake;
    std::string bytes;
    const char* code; // null: no finding
    int line;
    const char* message; // a part of it
    // What the game reads: an id and its text ("" for none), when it shows the mistake.
    std::optional<std::pair<std::uint32_t, std::string>> read;
};

std::string describe(const base::FindingList& findings)
{
    std::string out;
    for (const base::Finding& f : findings.all())
        out += f.code + ": " + f.message + "\n";
    return out;
}

std::string textOf(const Mod::StringTable& table, std::uint32_t id)
{
    const auto found = table.find(id);
    return found ? Mod::utf16ToUtf8(*found) : "";
}

TEST(StringTableCheck, EachMistakeIsAFindingAtItsTextLine)
{
    const std::vector<Row> rows{
        {"nothing wrong", ucs("1\tOne\r\n2\t\r\n3\tThree\r\n\r\n"), nullptr, 0, "", std::pair{3u, "Three"}},
        {"only the byte order mark", "\xFF\xFE", nullptr, 0, "", std::nullopt},
        {"no byte order mark", Fixtures::utf16le("12\tTwelve\r\n3\tThree\r\n"), "string-table-no-bom", 1,
         "\"1\", is skipped, so line 1 reads as id 2", std::pair{2u, "Twelve"}},
        {"saved as UTF-8", "1\tOne\r\n2\tTwo\r\n", "string-table-encoding", 1, "reads as UTF-8 text", std::nullopt},
        {"saved as UTF-8 with its mark", "\xEF\xBB\xBF" "1\tOne\r\n22\tTwo\r\n", "string-table-encoding", 1,
         "UTF-8", std::nullopt},
        {"saved as Windows-1252", "1\tCaf\xE9\r\n22\tTwo\r\n", "string-table-encoding", 1, "reads as ANSI text",
         std::nullopt},
        {"saved as UTF-16 big-endian", "\xFE\xFF" + std::string("\0" "1\0\t\0A\0\r\0\n", 10), "string-table-encoding",
         1, "big-endian", std::nullopt},
        {"an id with a space", ucs("1\tOne\r\n2 \tTwo\r\n"), "string-bad-id", 2, "the id \"2 \" has characters",
         std::pair{2u, ""}},
        {"a line without its TAB", ucs("1\tOne\r\nTwo\r\n3\tThree\r\n"), "string-bad-id", 2,
         "line 2 has no TAB: it becomes part of the id on line 3", std::pair{3u, ""}},
        {"an empty line between entries", ucs("1\tOne\r\n\r\n3\tThree\r\n"), "string-bad-id", 2, "line 2 is empty",
         std::pair{3u, ""}},
        {"a last line without TAB", ucs("1\tOne\r\nTwo\r\n"), "string-bad-id", 2, "is never read", std::nullopt},
        {"no CR LF after the last line", ucs("1\tOne\r\n2\tTwo words"), "string-last-line", 2, "\"ds\", are lost",
         std::pair{2u, "Two wor"}},
        {"a short last line without CR LF", ucs("1\tOne\r\n2\tAB"), "string-last-line", 2,
         "its entry \"2\" (\"AB\") is not read", std::pair{2u, ""}},
        {"an id given twice", ucs("1\tOne\r\n2\tTwo\r\n1\tUno\r\n"), "string-duplicate-id", 3,
         "id 1 is given again (first on line 1)", std::pair{1u, "Uno"}},
        {"lines that end in LF only", ucs("1\tOne\n2\tTwo\n3\tThree\n"), "string-line-ends", 1,
         "ends in LF without CR", std::pair{2u, ""}},
        {"a line that ends in CR only", ucs("1\tOne\r12\tTwo\r\n"), "string-line-ends", 1, "ends in CR without LF",
         std::pair{12u, ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mistake);
        const Mod::FilePtr file = fileOf(row.bytes);
        const base::FindingList findings = Mod::checkStringTable(*file, "Mod/Locale/English/mod.ucs");
        if (!row.code) {
            EXPECT_TRUE(findings.empty()) << describe(findings);
        } else {
            ASSERT_EQ(findings.size(), 1u) << describe(findings);
            const base::Finding& found = findings.all().front();
            EXPECT_EQ(found.code, row.code);
            EXPECT_EQ(found.file, "Mod/Locale/English/mod.ucs");
            EXPECT_EQ(found.line, row.line);
            EXPECT_NE(found.message.find(row.message), std::string::npos) << found.message;
            EXPECT_TRUE(found.hint) << found.message;
        }
        if (row.read) {
            const Mod::StringTable table(file);
            EXPECT_EQ(textOf(table, row.read->first), row.read->second);
        }
    }
}

TEST(StringTableCheck, ATableThatDoesNotLoadIsUnreadableWithItsMessage)
{
    struct Case {
        std::string bytes;
        const char* message;
        const char* hint; // a part of it
    };
    const std::vector<Case> cases{
        {"1", "UCS file too short", "UTF-16 LE"},
        {"12\tTwelve\r\n", "UCS file has odd number of bytes", "reads as UTF-8 text"},
        {"\xFF\xFE\x31", "UCS file has odd number of bytes", "UTF-16 LE"},
    };
    for (const Case& c : cases) {
        const Mod::FilePtr file = fileOf(c.bytes);
        std::string message;
        try {
            Mod::StringTable table(file);
        } catch (const std::runtime_error& error) {
            message = error.what();
        }
        EXPECT_EQ(message, c.message);
        const base::Finding found = Mod::unreadableStringTable(file, "a.ucs", message);
        EXPECT_EQ(found.code, "string-table-unreadable");
        EXPECT_EQ(found.message, c.message);
        EXPECT_EQ(found.file, "a.ucs");
        EXPECT_FALSE(found.line);
        EXPECT_NE(found.hint.value_or("").find(c.hint), std::string::npos) << found.hint.value_or("");
    }
}

} // namespace
