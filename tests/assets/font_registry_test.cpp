// The font registry on real DejaVu bytes served by a file system: which files
// make the collection, how font names find typefaces, the fallback, size
// tables and caching.

#include "assets/font_registry.h"
#include "assets/typeface_match.h"
#include "gfx/font_collection.h"
#include "gfx/graphics_context.h"
#include "gfx/text_layout.h"
#include "../gfx/font_test_data.h"
#include "support/counting_source.h"
#include "support/temp_dir.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace assets;

namespace {

using TestSupport::CountingSource;
using TestSupport::TempDir;

constexpr float Unlimited = std::numeric_limits<float>::max();

// DejaVu Sans Mono renamed, with a German family and face name beside the
// English ones.
std::string germanMono()
{
    const std::string table = GfxTest::buildNameTable({
        {3, 1, 0x0409, 1, u"Tise Mono"},
        {3, 1, 0x0409, 2, u"Book"},
        {3, 1, 0x0407, 1, u"Tise Schrift"},
        {3, 1, 0x0407, 2, u"Buch"},
    });
    return GfxTest::replaceTable(GfxTest::readDejaVu("DejaVuSansMono.ttf"), "name", table);
}

class FontRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Listed case-insensitively sorted: the bold file comes before the book one.
        dir.write("Font/DejaVuSans.ttf", GfxTest::readDejaVu("DejaVuSans.ttf"));
        dir.write("Font/DejaVuSans-Bold.ttf", GfxTest::readDejaVu("DejaVuSans-Bold.ttf"));
        dir.write("Font/SERIF.TTF", GfxTest::readDejaVu("DejaVuSerif.ttf"));
        dir.write("Font/german.Ttf", germanMono());
        dir.write("Font/corrupt.ttf", GfxTest::readDejaVu("DejaVuSans.ttf").substr(0, 300));
        dir.write("Font/empty.ttf", "");
        dir.write("Font/mono.ttf.disabled", GfxTest::readDejaVu("DejaVuSansMono.ttf"));
        dir.write("Font/subfolder.ttf/inner.ttf", GfxTest::readDejaVu("DejaVuSansMono.ttf"));
        dir.write("Font/gillsans_16.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16,"
                                          " size800 = 12, size1024 = 16, size1600 = 22 }");
    }

    FontRegistry& registry()
    {
        if (!registry_)
            registry_ = std::make_unique<FontRegistry>(context, files, limits);
        return *registry_;
    }

    // A font whose description file has this text.
    const FontEntry& fontWith(const std::string& name, const std::string& description)
    {
        dir.write("Font/" + name + ".fnt", description);
        return registry().getFont(name);
    }

    float width(const gfx::TextFormat& format, const std::u16string& text)
    {
        return gfx::TextLayout(context, text, format, Unlimited, Unlimited).metrics().width;
    }

    TempDir dir;
    gfx::GraphicsContext context;
    assets::Limits limits;
    std::shared_ptr<CountingSource> files = std::make_shared<CountingSource>(dir.path().string());
    std::unique_ptr<FontRegistry> registry_;
};

TEST_F(FontRegistryTest, RegistersTheTrueTypeFilesOfTheFontFolder)
{
    const gfx::FontCollection& collection = *registry().collection();
    EXPECT_EQ(files->listed, (std::vector<std::string>{"font\\"}));
    EXPECT_EQ(files->opened,
              (std::vector<std::string>{"font\\corrupt.ttf", "font\\DejaVuSans-Bold.ttf", "font\\DejaVuSans.ttf",
                                        "font\\empty.ttf", "font\\german.Ttf", "font\\SERIF.TTF",
                                        "font\\subfolder.ttf"}));

    std::vector<std::u16string> families;
    for (const gfx::FontFamily& family : collection.families())
        families.push_back(family.names.front().text);
    EXPECT_EQ(families, (std::vector<std::u16string>{u"DejaVu Sans", u"Tise Mono", u"DejaVu Serif"}))
        << "in listing order; broken files, the disabled file and the folder are not fonts of the collection";
    const gfx::FontFamily& sans = collection.families().front();
    ASSERT_EQ(sans.fonts.size(), 2u);
    EXPECT_EQ(sans.fonts[0].face.faceNames.front().text, u"Bold");
    EXPECT_EQ(sans.fonts[1].face.faceNames.front().text, u"Book");
}

TEST_F(FontRegistryTest, FontsAreUnregisteredWithTheRegistry)
{
    std::vector<QString> registered;
    for (const gfx::FontFamily& family : registry().collection()->families())
        for (const gfx::CollectionFont& font : family.fonts)
            registered.push_back(QString::fromStdU16String(font.systemFamily));
    ASSERT_EQ(registered.size(), 4u);
    gfx::TextFormatPtr format = registry().getFont("gillsans_16").format;
    registry_.reset();
    for (const QString& family : registered)
        EXPECT_TRUE(QFontDatabase::families().contains(family)) << "a format in use keeps its fonts";
    EXPECT_FALSE(format->fontCollection()->families().empty());

    const std::weak_ptr<const gfx::FontCollection> collection = format->fontCollection();
    format.reset();
    EXPECT_TRUE(collection.expired());
    for (const QString& family : registered)
        EXPECT_FALSE(QFontDatabase::families().contains(family)) << family.toStdString();
}

// The registered family names of a collection's fonts, in collection order.
std::vector<std::u16string> systemFamilies(const gfx::FontCollection& collection)
{
    std::vector<std::u16string> names;
    for (const gfx::FontFamily& family : collection.families())
        for (const gfx::CollectionFont& font : family.fonts)
            names.push_back(font.systemFamily);
    return names;
}

TEST_F(FontRegistryTest, AReloadRegistersOnlyTheFontFilesThatChanged)
{
    const std::vector<std::u16string> first = systemFamilies(*registry().collection());
    const qsizetype known = QFontDatabase::families().size();

    // Loaded again while the first load still holds its fonts (as a reload
    // does): the same files are the same registrations.
    const FontRegistry again(context, files, limits);
    EXPECT_EQ(systemFamilies(*again.collection()), first);
    EXPECT_EQ(QFontDatabase::families().size(), known) << "nothing registered anew";

    // A file saved with other bytes is read and registered again; the others
    // are still shared.
    dir.write("Font/SERIF.TTF", GfxTest::readDejaVu("DejaVuSansMono.ttf"));
    const FontRegistry changed(context, files, limits);
    std::vector<std::u16string> families;
    for (const gfx::FontFamily& family : changed.collection()->families())
        families.push_back(family.names.front().text);
    EXPECT_EQ(families, (std::vector<std::u16string>{u"DejaVu Sans", u"Tise Mono", u"DejaVu Sans Mono"}));
    const std::vector<std::u16string> now = systemFamilies(*changed.collection());
    ASSERT_EQ(now.size(), first.size());
    EXPECT_EQ(std::vector(now.begin(), now.end() - 1), std::vector(first.begin(), first.end() - 1));
    EXPECT_NE(now.back(), first.back());
    EXPECT_TRUE(QFontDatabase::families().contains(QString::fromStdU16String(now.back())));
}

TEST_F(FontRegistryTest, TypefacesMatchByFamilyPrefixAndFaceSuffix)
{
    struct Case {
        std::u16string wanted;
        std::u16string family; // empty: no match
        std::u16string face;
        std::size_t score;
    };
    const std::vector<Case> cases{
        {u"DejaVu Sans Book", u"DejaVu Sans", u"Book", 11 + 4},
        {u"DejaVu Sans Bold", u"DejaVu Sans", u"Bold", 11 + 4},
        {u"DejaVu Serif Book", u"DejaVu Serif", u"Book", 12 + 4},
        {u"DejaVu Serif", u"DejaVu Serif", u"Book", 12},     // no face scores: the family's first
        {u"Sans Bold", u"DejaVu Sans", u"Bold", 4},          // the face alone
        {u"Dx", u"DejaVu Sans", u"Bold", 1},                 // ties keep the first in collection order
        {u"Tise Schrift Buch", u"Tise Schrift", u"Buch", 12 + 4}, // another language's names
        {u"Tise Mono Buch", u"Tise Mono", u"Buch", 9 + 4},   // languages mix
        {u"dejavu sans bolD", u"", u"", 0},                  // letter case counts
        {u"Helvetica", u"", u"", 0},
        {u"", u"", u"", 0},
    };
    const gfx::FontCollection& collection = *registry().collection();
    for (const Case& c : cases) {
        const std::string label = QString::fromStdU16String(c.wanted).toStdString();
        const TypefaceMatch match = matchTypeface(collection, c.wanted);
        EXPECT_EQ(match.score, c.score) << label;
        if (c.family.empty()) {
            EXPECT_EQ(match.font, nullptr) << label;
            continue;
        }
        ASSERT_NE(match.font, nullptr) << label;
        EXPECT_EQ(match.familyName, c.family) << label;
        const auto& faces = match.font->face.faceNames;
        EXPECT_TRUE(std::any_of(faces.begin(), faces.end(), [&](const auto& n) { return n.text == c.face; }))
            << label;
    }
}

TEST_F(FontRegistryTest, FontFilesGiveFormatsOfTheirTypefaceAtThreeQuartersOfTheirSize)
{
    const FontEntry& book = fontWith("body", "font = { name = 'DejaVu Sans Book', sizeDefault = 32 }");
    const FontEntry& bold = fontWith("title", "font = { name = 'DejaVu Sans Bold', sizeDefault = 32 }");
    const FontEntry& serif = fontWith("small", "font = { name = 'DejaVu Serif Book', sizeDefault = 32 }");
    const FontEntry& defaulted = fontWith("plain", "font = { name = 'DejaVu Sans Book' }");

    for (const FontEntry* entry : {&book, &bold, &serif}) {
        EXPECT_FALSE(entry->fallback);
        EXPECT_EQ(entry->format->fontCollection(), registry().collection());
        EXPECT_FLOAT_EQ(entry->format->fontSize(), 24.0f);
        EXPECT_EQ(entry->format->localeName(), u"en-us");
        EXPECT_TRUE(entry->sizes.empty());
    }
    EXPECT_FLOAT_EQ(defaulted.format->fontSize(), 9.0f) << "sizeDefault 12 when absent";
    EXPECT_EQ(book.format->familyName(), u"DejaVu Sans");
    EXPECT_EQ(book.format->fontWeight(), gfx::FontWeight::Normal);
    EXPECT_EQ(bold.format->familyName(), u"DejaVu Sans");
    EXPECT_EQ(bold.format->fontWeight(), gfx::FontWeight::Bold);
    EXPECT_EQ(serif.format->familyName(), u"DejaVu Serif");

    // The text is set in those faces: bold and serif letters are wider.
    const std::u16string text = u"Ironveil screens";
    const float bookWidth = width(*book.format, text);
    EXPECT_GT(width(*bold.format, text), bookWidth * 1.05f);
    EXPECT_GT(width(*serif.format, text), bookWidth * 1.02f);

    // A typeface that only the file system has, named in German.
    const FontEntry& mono = fontWith("mono", "font = { name = 'Tise Schrift Buch', sizeDefault = 32 }");
    ASSERT_FALSE(mono.fallback);
    EXPECT_EQ(mono.format->familyName(), u"Tise Schrift");
    EXPECT_NEAR(width(*mono.format, u"iiiiii"), width(*mono.format, u"MMMMMM"), 0.5f) << "set in the mono font";
    EXPECT_GT(width(*book.format, u"MMMMMM"), width(*book.format, u"iiiiii") * 2);
}

TEST_F(FontRegistryTest, SizeKeysMakeTheSizeTable)
{
    const FontEntry& entry = fontWith("sized", "font = { name = 'DejaVu Sans Book', sizeDefault = 16,"
                                               " size1024 = 16, size800 = '12', sizeBig = 99,"
                                               " size_5 = 8, size = 40, size1600 = 'huge' }");
    ASSERT_FALSE(entry.fallback);
    ASSERT_EQ(entry.sizes.size(), 4u);
    const std::vector<std::pair<float, float>> expected{{0.0f, 0.5f}, {800.0f, 0.75f}, {1024.0f, 1.0f}, {1600.0f, 0.0f}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_FLOAT_EQ(entry.sizes[i].width, expected[i].first) << i;
        EXPECT_FLOAT_EQ(entry.sizes[i].factor, expected[i].second) << i;
    }

    const FontEntry& gill = registry().getFont("gillsans_16");
    EXPECT_FLOAT_EQ(sizeFactor(gill.sizes, 800), 0.75f);
    EXPECT_FLOAT_EQ(sizeFactor(gill.sizes, 912), 0.875f);
    EXPECT_FLOAT_EQ(sizeFactor(gill.sizes, 1024), 1.0f);
}

TEST_F(FontRegistryTest, FailingFontFilesFallBackToMicrosoftSansSerif)
{
    limits.instructions = 100'000;
    const std::vector<std::pair<std::string, std::string>> cases{
        {"missing", ""},
        {"syntax", "font = {"},
        {"raises", "error('no font today')"},
        {"loops", "while true do end"},
        {"notatable", "font = 'DejaVu Sans Book'"},
        {"noname", "font = { sizeDefault = 16, size800 = 12 }"},
        {"badsize", "font = { name = 'DejaVu Sans Book', sizeDefault = 'large' }"},
        {"zerosize", "font = { name = 'DejaVu Sans Book', sizeDefault = 0 }"},
        {"unknownface", "font = { name = 'Helvetica', sizeDefault = 16, size800 = 12 }"},
        {"usesglobals", "font = { name = next and 'DejaVu Sans Book' }"},
    };
    for (const auto& [name, text] : cases) {
        if (!text.empty())
            dir.write("Font/" + name + ".fnt", text);
        const FontEntry& entry = registry().getFont(name);
        EXPECT_TRUE(entry.fallback) << name;
        EXPECT_EQ(entry.format->familyName(), u"Microsoft Sans Serif") << name;
        EXPECT_EQ(entry.format->fontCollection(), nullptr) << name;
        EXPECT_EQ(entry.format->fontWeight(), gfx::FontWeight::Normal) << name;
        EXPECT_EQ(entry.format->fontStyle(), gfx::FontStyle::Normal) << name;
        EXPECT_EQ(entry.format->fontStretch(), gfx::FontStretch::Normal) << name;
        EXPECT_FLOAT_EQ(entry.format->fontSize(), 16.0f) << name;
        EXPECT_EQ(entry.format->localeName(), u"en-us") << name;
        EXPECT_TRUE(entry.sizes.empty()) << name;
        EXPECT_FLOAT_EQ(sizeFactor(entry.sizes, 1600), 1.0f) << name;
    }
}

TEST_F(FontRegistryTest, EachNameIsReadOnceFailuresIncluded)
{
    const FontEntry& first = registry().getFont("gillsans_16");
    const FontEntry& missing = registry().getFont("nothing");
    const std::size_t opens = files->opened.size();
    EXPECT_EQ(&registry().getFont("gillsans_16"), &first);
    EXPECT_EQ(registry().getFont("gillsans_16").format, first.format);
    EXPECT_EQ(&registry().getFont("nothing"), &missing);
    EXPECT_EQ(files->opened.size(), opens) << "nothing is read again";
    EXPECT_EQ(std::count(files->opened.begin(), files->opened.end(), "font\\nothing.fnt"), 1);

    // Names are exact: another spelling is another entry, read from its own file.
    const FontEntry& upper = registry().getFont("GILLSANS_16");
    EXPECT_NE(upper.format, first.format);
    EXPECT_FALSE(upper.fallback) << "the file system ignores case";
    EXPECT_EQ(files->opened.back(), "font\\GILLSANS_16.fnt");
}

TEST_F(FontRegistryTest, AFontFolderWithoutFontsFallsBackForEveryTypeface)
{
    TempDir empty;
    empty.write("Font/gillsans_16.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
    FontRegistry fonts(context, std::make_shared<CountingSource>(empty.path().string()));
    EXPECT_TRUE(fonts.collection()->families().empty());
    EXPECT_TRUE(fonts.getFont("gillsans_16").fallback);
}

} // namespace
