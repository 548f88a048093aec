#include "gfx/font_name_table.h"

#include "font_test_data.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using gfx::FontFace;
using gfx::FontStretch;
using gfx::FontStyle;
using gfx::FontWeight;
using gfx::LocalizedName;
using gfx::readFontFaces;
using GfxTest::NameRecord;

std::string fontWithNames(const std::vector<NameRecord>& records, const std::vector<std::u16string>& tags = {},
                          std::string os2 = GfxTest::buildOs2Table(400, 5, 0))
{
    return GfxTest::buildFont({{"name", GfxTest::buildNameTable(records, tags)}, {"OS/2", os2}});
}

TEST(FontNameTable, ReadsDejaVuFilesFromMemory)
{
    struct Case {
        const char* file;
        const char16_t* face;
        FontWeight weight;
    };
    for (const Case& c : {Case{"DejaVuSans.ttf", u"Book", FontWeight::Normal},
                          Case{"DejaVuSans-Bold.ttf", u"Bold", FontWeight::Bold}}) {
        SCOPED_TRACE(c.file);
        const std::vector<FontFace> fonts = readFontFaces(GfxTest::readDejaVu(c.file));
        ASSERT_EQ(fonts.size(), 1u);
        ASSERT_FALSE(fonts[0].familyNames.empty());
        EXPECT_EQ(fonts[0].familyNames[0], (LocalizedName{u"en-us", u"DejaVu Sans"}));
        ASSERT_FALSE(fonts[0].faceNames.empty());
        EXPECT_EQ(fonts[0].faceNames[0], (LocalizedName{u"en-us", c.face}));
        EXPECT_EQ(fonts[0].weight, c.weight);
        EXPECT_EQ(fonts[0].stretch, FontStretch::Normal);
        EXPECT_EQ(fonts[0].style, FontStyle::Normal);
    }
}

TEST(FontNameTable, ReadsEveryLanguageAndPrefersTypographicNames)
{
    const std::string font = fontWithNames({
        {3, 1, 0x0409, 1, u"Legacy Family"},
        {3, 1, 0x0409, 2, u"Legacy Face"},
        {3, 1, 0x0409, 16, u"Serpent Sans"},
        {3, 1, 0x0407, 16, u"Schlange Sans"},
        {3, 1, 0x8000, 16, u"Serpent Sans CA"},
        {3, 1, 0x0409, 17, u"Semibold"},
        {3, 1, 0x0407, 17, u"Halbfett"},
        {3, 1, 0x0407, 17, u"Duplicate locale is dropped"},
        {3, 1, 0x0999, 17, u"Unknown language"},
        {3, 1, 0x0409, 4, u"Full name is not a family"},
    }, {u"fr-CA"});
    const auto fonts = readFontFaces(font);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].familyNames, (std::vector<LocalizedName>{
                                        {u"en-us", u"Serpent Sans"},
                                        {u"de-de", u"Schlange Sans"},
                                        {u"fr-ca", u"Serpent Sans CA"},
                                    }));
    EXPECT_EQ(fonts[0].faceNames, (std::vector<LocalizedName>{
                                      {u"en-us", u"Semibold"},
                                      {u"de-de", u"Halbfett"},
                                      {u"lcid-0999", u"Unknown language"},
                                  }));
}

TEST(FontNameTable, FallsBackToLegacyAndMacNames)
{
    auto legacy = readFontFaces(fontWithNames({{3, 1, 0x0409, 1, u"Only Legacy"}, {3, 1, 0x0409, 2, u"Italic"}}));
    ASSERT_EQ(legacy.size(), 1u);
    EXPECT_EQ(legacy[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Only Legacy"}}));
    EXPECT_EQ(legacy[0].faceNames, (std::vector<LocalizedName>{{u"en-us", u"Italic"}}));

    auto mac = readFontFaces(fontWithNames({{1, 0, 0, 1, u"Mac Family"}, {1, 0, 0, 2, u"Regular"}}));
    ASSERT_EQ(mac.size(), 1u);
    EXPECT_EQ(mac[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Mac Family"}}));

    // Windows names win over Mac names.
    auto both = readFontFaces(fontWithNames({{1, 0, 0, 1, u"Mac Family"}, {3, 1, 0x0409, 1, u"Win Family"}}));
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Win Family"}}));

    // A font without any family name is not reported.
    EXPECT_TRUE(readFontFaces(fontWithNames({{3, 1, 0x0409, 2, u"Face only"}})).empty());
}

TEST(FontNameTable, ReadsWeightStretchAndSlopeFromOs2)
{
    struct Case {
        std::uint16_t weightClass, widthClass, selection;
        FontWeight weight;
        FontStretch stretch;
        FontStyle style;
    };
    const Case cases[] = {
        {700, 5, 0x0000, FontWeight::Bold, FontStretch::Normal, FontStyle::Normal},
        {3, 3, 0x0001, FontWeight::Light, FontStretch::Condensed, FontStyle::Italic}, // weight in hundreds
        {350, 9, 0x0200, static_cast<FontWeight>(350), FontStretch::UltraExpanded, FontStyle::Oblique},
        {0, 0, 0x0000, FontWeight::Normal, FontStretch::Normal, FontStyle::Normal}, // unset: defaults
        {1200, 12, 0x0000, static_cast<FontWeight>(999), FontStretch::Normal, FontStyle::Normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.weightClass);
        const auto fonts = readFontFaces(
            fontWithNames({{3, 1, 0x0409, 1, u"F"}}, {}, GfxTest::buildOs2Table(c.weightClass, c.widthClass, c.selection)));
        ASSERT_EQ(fonts.size(), 1u);
        EXPECT_EQ(fonts[0].weight, c.weight);
        EXPECT_EQ(fonts[0].stretch, c.stretch);
        EXPECT_EQ(fonts[0].style, c.style);
    }
}

TEST(FontNameTable, ReadsEveryFontOfACollection)
{
    const std::string collection = GfxTest::buildCollection({
        fontWithNames({{3, 1, 0x0409, 1, u"First"}}),
        fontWithNames({{3, 1, 0x0409, 1, u"Second"}}, {}, GfxTest::buildOs2Table(700, 5, 0)),
    });
    const auto fonts = readFontFaces(collection);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].familyNames[0].text, u"First");
    EXPECT_EQ(fonts[1].familyNames[0].text, u"Second");
    EXPECT_EQ(fonts[1].weight, FontWeight::Bold);
}

// Every shortening of a font either still gives the whole answer or none; no
// read goes past the end (the bytes end at an inaccessible page).
TEST(FontNameTable, TruncatedFilesGiveAllOrNothing)
{
    const std::string small = fontWithNames({{3, 1, 0x0409, 1, u"Truncated"}, {3, 1, 0x0409, 2, u"Face"},
                                             {3, 1, 0x8000, 1, u"Tagged"}}, {u"de-AT"});
    const std::string dejaVu = GfxTest::readDejaVu("DejaVuSans.ttf");
    struct Source {
        const std::string* bytes;
        std::size_t stride;
    };
    for (const Source& source : {Source{&small, 1}, Source{&dejaVu, 4093}}) {
        const auto whole = readFontFaces(*source.bytes);
        ASSERT_EQ(whole.size(), 1u);
        for (std::size_t length = 0; length < source.bytes->size(); length += source.stride) {
            const GfxTest::GuardedBytes cut(std::string_view(*source.bytes).substr(0, length));
            const auto fonts = readFontFaces(cut.view());
            if (!fonts.empty()) {
                ASSERT_EQ(fonts.size(), 1u);
                EXPECT_EQ(fonts[0].familyNames, whole[0].familyNames) << "length " << length;
            }
        }
    }
}

std::string corrupt(std::string bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<char>(value >> 8);
    bytes[offset + 1] = static_cast<char>(value & 0xFF);
    return bytes;
}

TEST(FontNameTable, HostileFieldsAreSkippedNotFollowed)
{
    const std::string nameTable = GfxTest::buildNameTable({{3, 1, 0x0409, 1, u"Good"}, {3, 1, 0x8005, 1, u"Bad tag"}},
                                                          {u"en-GB"});
    const std::string font = GfxTest::buildFont({{"name", nameTable}});
    const std::size_t nameOffset = 12 + 16;
    struct Case {
        const char* what;
        std::string bytes;
        bool expectGood;
    };
    const Case cases[] = {
        {"table count beyond the directory", corrupt(font, 4, 0xFFFF), true},
        {"name record count beyond the table", corrupt(font, nameOffset + 2, 0xFFFF), true},
        {"string storage beyond the table", corrupt(font, nameOffset + 4, 0xFFF0), false},
        {"string length beyond the table", corrupt(font, nameOffset + 6 + 8, 0xFFFF), false},
        {"string offset beyond the table", corrupt(font, nameOffset + 6 + 10, 0x7FFF), false},
        {"language tag count beyond the table", corrupt(font, nameOffset + 6 + 24, 0xFFFF), true},
        {"name table length beyond the file", corrupt(font, 12 + 12, 0x7FFF), false},
        {"name table offset beyond the file", corrupt(font, 12 + 8, 0x7FFF), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GfxTest::GuardedBytes bytes(c.bytes);
        const auto fonts = readFontFaces(bytes.view());
        if (c.expectGood) {
            ASSERT_EQ(fonts.size(), 1u);
            EXPECT_EQ(fonts[0].familyNames[0], (LocalizedName{u"en-us", u"Good"}));
        } else {
            for (const FontFace& f : fonts)
                for (const LocalizedName& n : f.familyNames)
                    EXPECT_NE(n.text, u"Bad tag");
        }
    }
    // The record whose language tag does not exist is dropped, the rest read.
    const auto fonts = readFontFaces(font);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].familyNames, (std::vector<LocalizedName>{{u"en-us", u"Good"}}));
}

TEST(FontNameTable, GarbageIsNotAFont)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 600);
    const std::string headers[] = {"", std::string("\x00\x01\x00\x00", 4), "true", "OTTO", "ttcf"};
    int fontsFound = 0;
    for (int i = 0; i < 2000; ++i) {
        std::string bytes = headers[i % 5];
        const std::size_t n = length(random);
        for (std::size_t k = 0; k < n; ++k)
            bytes.push_back(static_cast<char>(byte(random)));
        const GfxTest::GuardedBytes guarded(bytes);
        for (const FontFace& font : readFontFaces(guarded.view())) {
            EXPECT_FALSE(font.familyNames.empty());
            ++fontsFound;
        }
    }
    // Random bytes practically never hold a name table with a family name.
    EXPECT_LT(fontsFound, 5);
}

} // namespace
