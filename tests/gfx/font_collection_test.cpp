#include "gfx/font_collection.h"

#include "gfx/graphics_context.h"
#include "gfx/text_layout.h"
#include "font_test_data.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace gfx;
using GfxTest::NameRecord;

constexpr float unlimited = std::numeric_limits<float>::max();

// DejaVu Sans Mono under another family name, with names in US English,
// German and (through a language tag) Canadian French.
std::string renamedMono(const std::u16string& family = u"Tise Test Mono")
{
    const std::string table = GfxTest::buildNameTable(
        {
            {3, 1, 0x0409, 1, family},
            {3, 1, 0x0409, 2, u"Book"},
            {3, 1, 0x0407, 1, u"Tise Testschrift Mono"},
            {3, 1, 0x0407, 2, u"Buch"},
            {3, 1, 0x8000, 1, u"Tise Essai Mono"},
            {3, 1, 0x0409, 4, u"Tise Test Mono"},
            {3, 1, 0x0409, 6, u"TiseTestMono"},
        },
        {u"fr-CA"});
    return GfxTest::replaceTable(GfxTest::readDejaVu("DejaVuSansMono.ttf"), "name", table);
}

class FontCollectionTest : public testing::Test {
protected:
    GraphicsContext context;

    // Width of the text in a format of that family (in the collection, if
    // one is given).
    float width(const std::u16string& text, const std::u16string& family,
                std::shared_ptr<const FontCollection> collection)
    {
        const TextFormatPtr format = context.createTextFormat(family, std::move(collection), FontWeight::Normal,
                                                              FontStyle::Normal, FontStretch::Normal, 20.0f, u"en-us");
        return TextLayout(context, text, *format, unlimited, unlimited).metrics().width;
    }

    // Whether text in that family is monospaced.
    bool monospaced(const std::u16string& family, std::shared_ptr<const FontCollection> collection)
    {
        return std::abs(width(u"iiiiii", family, collection) - width(u"MMMMMM", family, collection)) < 0.5f;
    }
};

TEST_F(FontCollectionTest, RegistersFontsFromMemoryAndReportsTheirNames)
{
    const std::string regular = GfxTest::readDejaVu("DejaVuSans.ttf");
    const std::string bold = GfxTest::readDejaVu("DejaVuSans-Bold.ttf");
    const std::string_view files[] = {regular, "not a font at all", bold};
    const FontCollection collection(context, files);

    ASSERT_EQ(collection.families().size(), 1u);
    const FontFamily& family = collection.families()[0];
    EXPECT_EQ(family.names[0], (LocalizedName{u"en-us", u"DejaVu Sans"}));
    ASSERT_EQ(family.fonts.size(), 2u);
    EXPECT_EQ(family.fonts[0].face.faceNames[0].text, u"Book");
    EXPECT_EQ(family.fonts[1].face.faceNames[0].text, u"Bold");
    EXPECT_NE(family.fonts[0].systemFamily, u"DejaVu Sans");
    EXPECT_NE(family.fonts[0].systemFamily, family.fonts[1].systemFamily);

    const CollectionFont* match =
        collection.matchFont(u"dejavu sans", FontWeight::ExtraBold, FontStyle::Normal, FontStretch::Normal);
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->face.weight, FontWeight::Bold);
    EXPECT_EQ(collection.matchFont(u"DejaVu Sans", FontWeight::Light, FontStyle::Normal, FontStretch::Normal)
                  ->face.faceNames[0].text,
              u"Book");
    EXPECT_EQ(collection.matchFont(u"DejaVu Serif", FontWeight::Normal, FontStyle::Normal, FontStretch::Normal),
              nullptr);
}

TEST_F(FontCollectionTest, ReportsEveryLanguagesNames)
{
    const std::string mono = renamedMono();
    const std::string_view files[] = {mono};
    const FontCollection collection(context, files);
    ASSERT_EQ(collection.families().size(), 1u);
    const FontFamily& family = collection.families()[0];
    EXPECT_EQ(family.names, (std::vector<LocalizedName>{{u"en-us", u"Tise Test Mono"},
                                                        {u"de-de", u"Tise Testschrift Mono"},
                                                        {u"fr-ca", u"Tise Essai Mono"}}));
    ASSERT_EQ(family.fonts.size(), 1u);
    EXPECT_EQ(family.fonts[0].face.faceNames,
              (std::vector<LocalizedName>{{u"en-us", u"Book"}, {u"de-de", u"Buch"}}));
    EXPECT_EQ(collection.findFamily(u"tise testschrift mono"), &family);
    EXPECT_EQ(collection.findFamily(u"Tise Test"), nullptr);
}

TEST_F(FontCollectionTest, TextFormatsUseTheCollectionsFontsWhileItLives)
{
    // Without the collection the name is unknown and a proportional fallback
    // draws the text.
    ASSERT_FALSE(monospaced(u"Tise Test Mono", nullptr));
    {
        const std::string mono = renamedMono();
        const std::string_view files[] = {mono};
        const auto collection = std::make_shared<const FontCollection>(context, files);
        EXPECT_TRUE(monospaced(u"Tise Test Mono", collection));
        EXPECT_TRUE(monospaced(u"Tise Testschrift Mono", collection)) << "any language's name selects the family";
        EXPECT_TRUE(monospaced(u"Tise Essai Mono", collection));
        EXPECT_FALSE(monospaced(u"Tise Test Mono", nullptr)) << "formats without the collection do not see it";
    }
    // Removed with the collection.
    EXPECT_FALSE(monospaced(u"Tise Test Mono", nullptr));
}

TEST_F(FontCollectionTest, CollectionFontsAndSystemFontsOfOneNameStayApart)
{
    // A collection font named like the system font behind the UI's format.
    const std::string impostor = renamedMono(u"DejaVu Sans");
    const std::string_view files[] = {impostor};
    const auto collection = std::make_shared<const FontCollection>(context, files);
    EXPECT_TRUE(monospaced(u"DejaVu Sans", collection));
    EXPECT_FALSE(monospaced(u"DejaVu Sans", nullptr));
    EXPECT_FALSE(monospaced(u"Microsoft Sans Serif", nullptr));

    // Two collections with one family name each see their own font.
    const std::string sans = GfxTest::readDejaVu("DejaVuSans.ttf");
    const std::string_view sansFiles[] = {sans};
    const auto other = std::make_shared<const FontCollection>(context, sansFiles);
    EXPECT_FALSE(monospaced(u"DejaVu Sans", other));
    EXPECT_TRUE(monospaced(u"DejaVu Sans", collection));
}

TEST_F(FontCollectionTest, EmptyOrUselessInputGivesAnEmptyCollection)
{
    const std::string truncated = GfxTest::readDejaVu("DejaVuSans.ttf").substr(0, 200);
    const std::string_view files[] = {"", "\x00\x01\x00\x00", truncated};
    const FontCollection collection(context, files);
    EXPECT_TRUE(collection.families().empty());
    EXPECT_EQ(collection.findFamily(u"DejaVu Sans"), nullptr);
}

} // namespace
