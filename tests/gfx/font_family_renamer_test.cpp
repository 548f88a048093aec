#include "gfx/font_family_renamer.h"

#include "gfx/font_name_table.h"
#include "font_test_data.h"

#include <gtest/gtest.h>

namespace {

using gfx::FamilyRename;
using gfx::LocalizedName;
using gfx::readFontFaces;
using gfx::renameFontFamilies;

std::string sampleFont(const std::u16string& family, std::uint16_t weight = 400)
{
    return GfxTest::buildFont({{"name", GfxTest::buildNameTable(
                                            {
                                                {3, 1, 0x0409, 1, family},
                                                {3, 1, 0x0407, 1, family + u" (de)"},
                                                {3, 1, 0x0409, 16, family + u" Typo"},
                                                {1, 0, 0, 1, family},
                                                {3, 1, 0x0409, 2, u"Regular"},
                                                {3, 1, 0x8000, 2, u"Normale"},
                                                {3, 1, 0x0409, 6, u"PostScriptName"},
                                            },
                                            {u"fr-CA"})},
                               {"OS/2", GfxTest::buildOs2Table(weight, 5, 0)}});
}

TEST(FontFamilyRenamer, ReplacesEveryFamilyNameAndKeepsTheRest)
{
    const FamilyRename rename{0, u"Fresh Name 1"};
    const auto renamed = renameFontFamilies(sampleFont(u"Old"), {&rename, 1});
    ASSERT_TRUE(renamed);
    const auto fonts = readFontFaces(*renamed);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Fresh Name 1"}}));
    EXPECT_EQ(fonts[0].faceNames, (std::vector<LocalizedName>{{u"en-us", u"Regular"}, {u"fr-ca", u"Normale"}}));
    EXPECT_EQ(fonts[0].weight, gfx::FontWeight::Normal);
    EXPECT_EQ(renamed->size() % 4, 0u);
}

TEST(FontFamilyRenamer, RenamesTheChosenFontsOfACollection)
{
    const std::string collection = GfxTest::buildCollection({sampleFont(u"First"), sampleFont(u"Second", 700)});
    const FamilyRename rename{1, u"Renamed Second"};
    const auto renamed = renameFontFamilies(collection, {&rename, 1});
    ASSERT_TRUE(renamed);
    const auto fonts = readFontFaces(*renamed);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].familyNames[0].text, u"First Typo") << "untouched";
    EXPECT_EQ(fonts[1].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Renamed Second"}}));
    EXPECT_EQ(fonts[1].weight, gfx::FontWeight::Bold);
}

TEST(FontFamilyRenamer, RefusesWhatItCannotRename)
{
    const FamilyRename second{1, u"X"};
    EXPECT_FALSE(renameFontFamilies(sampleFont(u"Only one"), {&second, 1})) << "no second font";
    const FamilyRename first{0, u"X"};
    const std::string noNames = GfxTest::buildFont({{"OS/2", GfxTest::buildOs2Table(400, 5, 0)}});
    EXPECT_FALSE(renameFontFamilies(noNames, {&first, 1}));
    EXPECT_FALSE(renameFontFamilies("garbage", {&first, 1}));
}

TEST(FontFamilyRenamer, TruncatedInputIsNeverReadPastItsEnd)
{
    const std::string font = sampleFont(u"Cut");
    const FamilyRename rename{0, u"New"};
    for (std::size_t length = 0; length <= font.size(); ++length) {
        const GfxTest::GuardedBytes cut(std::string_view(font).substr(0, length));
        const auto renamed = renameFontFamilies(cut.view(), {&rename, 1});
        if (renamed) {
            // Whatever it made reads back with the new name.
            const auto fonts = readFontFaces(*renamed);
            ASSERT_EQ(fonts.size(), 1u) << "length " << length;
            EXPECT_EQ(fonts[0].familyNames[0].text, u"New");
        }
    }
}

using GfxTest::put16;
using GfxTest::put32;

// A font's offset table with one table, "name", at offset.
std::string directory(std::uint32_t offset, std::uint32_t length)
{
    std::string out;
    put32(out, 0x00010000);
    put16(out, 1);
    put16(out, 16);
    put16(out, 0);
    put16(out, 0);
    out += "name";
    put32(out, 0);
    put32(out, offset);
    put32(out, length);
    return out;
}

// A collection whose structures overlap: font 0's table directory lies
// inside the text of font 1's family name, so patching font 0's directory
// in place would rename font 1 too.
std::string overlappingCollection()
{
    constexpr std::uint32_t FontOne = 20, NameOne = FontOne + 28, FontZero = NameOne + 18, NameZero = FontZero + 28;
    const std::string nameZero = GfxTest::buildNameTable({{3, 1, 0x0409, 1, u"Alpha"}});
    const std::string fontZero = directory(NameZero, static_cast<std::uint32_t>(nameZero.size()));
    std::string file = "ttcf";
    put32(file, 0x00010000);
    put32(file, 2);
    put32(file, FontZero);
    put32(file, FontOne);
    file += directory(NameOne, 18 + static_cast<std::uint32_t>(fontZero.size()));
    put16(file, 0); // format 0, one record: Windows, US English, family
    put16(file, 1);
    put16(file, 18);
    for (std::uint32_t field : {3u, 1u, 0x0409u, 1u, static_cast<std::uint32_t>(fontZero.size()), 0u})
        put16(file, field);
    return file + fontZero + nameZero;
}

} // namespace

TEST(FontFamilyRenamer, RefusesFilesWhereTheChangeWouldReachOtherFonts)
{
    const std::string file = overlappingCollection();
    const auto fonts = readFontFaces(file);
    ASSERT_EQ(fonts.size(), 2u);
    ASSERT_EQ(fonts[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Alpha"}}));
    const std::u16string familyOne = fonts[1].familyNames.at(0).text;

    const FamilyRename zero{0, u"Zero"};
    EXPECT_FALSE(renameFontFamilies(file, {&zero, 1})) << "font 1's family would change with it";
    // Renamed as well, font 1 no longer reads the text that changes.
    const FamilyRename both[] = {{0, u"Zero"}, {1, u"One"}};
    const auto bothRenamed = renameFontFamilies(file, both);
    ASSERT_TRUE(bothRenamed);
    const auto renamedFonts = readFontFaces(*bothRenamed);
    ASSERT_EQ(renamedFonts.size(), 2u);
    EXPECT_EQ(renamedFonts[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Zero"}}));
    EXPECT_EQ(renamedFonts[1].familyNames, (std::vector<LocalizedName>{{u"en-us", u"One"}}));

    // Font 1's directory is part of nothing else: it alone can be renamed.
    const FamilyRename one{1, u"One"};
    const auto renamed = renameFontFamilies(file, {&one, 1});
    ASSERT_TRUE(renamed);
    const auto again = readFontFaces(*renamed);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].familyNames, fonts[0].familyNames);
    EXPECT_EQ(again[1].familyNames, (std::vector<LocalizedName>{{u"en-us", u"One"}}));
    EXPECT_NE(familyOne, u"One");
}

TEST(FontFamilyRenamer, AFontListedTwiceKeepsTheLastName)
{
    const std::string font = sampleFont(u"Twice");
    std::string file = "ttcf";
    put32(file, 0x00010000);
    put32(file, 2);
    put32(file, 20);
    put32(file, 20);
    file += font.substr(0, 12 + 16 * 2); // the directory of both; tables stay where they were
    for (std::size_t record = 0; record < 2; ++record) {
        const std::size_t at = 20 + 12 + 16 * record + 8;
        GfxTest::set32(file, at, GfxTest::get32(file, at) + 20);
    }
    file += font.substr(12 + 16 * 2);
    ASSERT_EQ(readFontFaces(file).size(), 2u);
    const FamilyRename renames[] = {{0, u"First"}, {1, u"Second"}};
    const auto renamed = renameFontFamilies(file, renames);
    ASSERT_TRUE(renamed);
    const auto fonts = readFontFaces(*renamed);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Second"}}));
    EXPECT_EQ(fonts[1].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Second"}}));
}
