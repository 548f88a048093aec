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

} // namespace
