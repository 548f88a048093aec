// The texture cache of ScreenAssets on textures built as the game stores
// them: name variants, the colon prefix, caching without touching the file
// system again, and the placeholders' pixels.

#include "base/diagnostic_log.h"
#include "assets/screen_assets.h"
#include "fixtures/dds_builder.h"
#include "fixtures/tga_builder.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/brush.h"
#include "gfx/graphics_context.h"
#include "../gfx/font_test_data.h"
#include "support/counting_source.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>

using namespace assets;

namespace {

using TestSupport::CountingSource;
using TestSupport::TempDir;

struct Bgra {
    int b, g, r, a;
    bool operator==(const Bgra&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bgra& p)
{
    return out << "BGRA(" << p.b << ", " << p.g << ", " << p.r << ", " << p.a << ')';
}

Bgra pixel(const gfx::Bitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

constexpr Bgra Red{0, 0, 255, 255};
constexpr Bgra Blue{255, 0, 0, 255};
constexpr Bgra Green{0, 255, 0, 255};
constexpr Bgra Magenta{255, 0, 255, 255};

// Straight-alpha B, G, R, A bytes of a one-colour picture.
std::vector<std::uint8_t> solid(int width, int height, Bgra colour)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < width * height; ++i)
        for (int channel : {colour.b, colour.g, colour.r, colour.a})
            bytes.push_back(static_cast<std::uint8_t>(channel));
    return bytes;
}

std::string solidDds(Bgra colour) { return Fixtures::ddsFromPicture(solid(8, 8, colour), 8, 8, Fixtures::Dxt::Dxt1); }

std::string solidTga(int width, int height, Bgra colour)
{
    Fixtures::TgaHeader header;
    header.width = static_cast<std::uint16_t>(width);
    header.height = static_cast<std::uint16_t>(height);
    const std::vector<std::uint8_t> bytes = solid(width, height, colour);
    return Fixtures::tgaFile(header, std::string(bytes.begin(), bytes.end()));
}

class TextureCacheTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.write("Font/DejaVuSans.ttf", GfxTest::readDejaVu("DejaVuSans.ttf"));
        dir.write("Font/gillsans_16.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
        dir.write("tex/both.dds", solidDds(Red));
        dir.write("tex/both.tga", solidTga(4, 2, Blue));
        dir.write("tex/only.tga", solidTga(3, 5, Green));
        dir.write("tex/disguised.png", solidDds(Green)); // recognised by content
        dir.write("tex/bad16.tga", Fixtures::tga16File(2, 2, std::string(8, '\x1f')));
        dir.write("tex/notimage.dds", "This is not a texture, whatever its name says.");
        dir.write("tex/notimage.tga", solidTga(2, 2, Blue)); // sound, but after the .dds
        Fixtures::DdsHeader empty;
        empty.width = empty.height = 0;
        empty.fourCC = "DXT1";
        dir.write("tex/empty.dds", Fixtures::ddsFile(empty, {})); // refused by the device
    }

    ScreenAssets& assets()
    {
        if (!assets_)
            assets_ = std::make_unique<ScreenAssets>(context, files);
        return *assets_;
    }

    // What the pixels of a placeholder must show, measured on the picture
    // alone: 256 × 256 magenta, black text centred in it, in lines (bands of
    // rows with ink) that wrap inside the square instead of running off it.
    struct Ink {
        int left = 256, top = 256, right = -1, bottom = -1;
        int lines = 0;
        bool black = false; // the darkest ink is black
    };
    static Ink inkOf(const gfx::Bitmap& bitmap)
    {
        Ink ink;
        bool previousRowInked = false;
        for (int y = 0; y < bitmap.height; ++y) {
            bool rowInked = false;
            for (int x = 0; x < bitmap.width; ++x) {
                const Bgra p = pixel(bitmap, x, y);
                if (p == Magenta)
                    continue;
                rowInked = true;
                ink.black = ink.black || p == Bgra{0, 0, 0, 255};
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
            ink.lines += rowInked && !previousRowInked;
            previousRowInked = rowInked;
        }
        return ink;
    }

    void expectPlaceholder(const gfx::BitmapPtr& bitmap, int minLines, int maxLines)
    {
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(bitmap->width, 256);
        ASSERT_EQ(bitmap->height, 256);
        const Ink ink = inkOf(*bitmap);
        EXPECT_TRUE(ink.black) << "the text is black";
        EXPECT_GE(ink.lines, minLines);
        EXPECT_LE(ink.lines, maxLines);
        EXPECT_GT(ink.left, 0) << "wrapped inside the square";
        EXPECT_LT(ink.right, 255) << "wrapped inside the square";
        EXPECT_NEAR((ink.left + ink.right) / 2.0, 127.5, 3) << "centred across";
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 127.5, 4) << "centred down";
    }

    TempDir dir;
    gfx::GraphicsContext context;
    std::shared_ptr<CountingSource> files = std::make_shared<CountingSource>(dir.path().string());
    std::unique_ptr<ScreenAssets> assets_;
};

TEST_F(TextureCacheTest, NamesTryTheirVariantsInOrder)
{
    struct Case {
        std::string name;
        std::vector<std::string> opened; // until one opens
        Bgra colour;
        int width, height;
    };
    const std::vector<Case> cases{
        {"tex/both", {"tex/both.dds"}, Red, 8, 8},                           // .dds before .tga
        {"tex/both.tga", {"tex/both.tga"}, Blue, 4, 2},                      // the name itself first
        {"tex/both.png", {"tex/both.png", "tex/both.dds"}, Red, 8, 8},
        {"tex/only", {"tex/only.dds", "tex/only.tga"}, Green, 3, 5},
        {"tex/only.dds", {"tex/only.dds", "tex/only.dds", "tex/only.tga"}, Green, 3, 5},
        {"tex/disguised.png", {"tex/disguised.png"}, Green, 8, 8},
        {"TEX/ONLY", {"TEX/ONLY.dds", "TEX/ONLY.tga"}, Green, 3, 5},         // another entry, same file
    };
    assets();
    for (const Case& c : cases) {
        files->opened.clear();
        const gfx::BitmapPtr bitmap = assets().getTexture(c.name);
        EXPECT_EQ(files->opened, c.opened) << c.name;
        ASSERT_NE(bitmap, nullptr) << c.name;
        ASSERT_EQ(bitmap->width, c.width) << c.name;
        ASSERT_EQ(bitmap->height, c.height) << c.name;
        EXPECT_EQ(pixel(*bitmap, 0, 0), c.colour) << c.name;
        EXPECT_EQ(pixel(*bitmap, c.width - 1, c.height - 1), c.colour) << c.name;
    }

    EXPECT_EQ(TextureCache::candidates("a/b"), (std::vector<std::string>{"a/b.dds", "a/b.tga"}));
    EXPECT_EQ(TextureCache::candidates("a.b/c"), (std::vector<std::string>{"a.b/c", "a.dds", "a.tga"}))
        << "the last '.' of the whole name";
    EXPECT_EQ(TextureCache::candidates("x.y.tga"), (std::vector<std::string>{"x.y.tga", "x.y.dds", "x.y.tga"}));
}

TEST_F(TextureCacheTest, EachNameIsResolvedOnceAndTheColonPrefixIsDropped)
{
    const base::DiagnosticCapture diagnostics;
    const gfx::BitmapPtr both = assets().getTexture("tex/both");
    const gfx::BitmapPtr missing = assets().getTexture("tex/nowhere");
    const gfx::BitmapPtr bad = assets().getTexture("tex/bad16.tga");
    files->opened.clear();
    files->listed.clear();

    EXPECT_EQ(assets().getTexture("tex/both"), both);
    EXPECT_EQ(assets().getTexture("data:tex/both"), both);
    EXPECT_EQ(assets().getTexture("a:b:tex/both"), both) << "up to the last ':'";
    EXPECT_EQ(assets().getTexture(":tex/both"), both);
    EXPECT_EQ(assets().getTexture("tex/nowhere"), missing);
    EXPECT_EQ(assets().getTexture("art:tex/nowhere"), missing);
    EXPECT_EQ(assets().getTexture("tex/bad16.tga"), bad);
    EXPECT_TRUE(files->opened.empty()) << files->opened.front();
    EXPECT_TRUE(files->listed.empty());

    EXPECT_EQ(TextureCache::normalise("x:y:z.dds"), "z.dds");
    EXPECT_EQ(TextureCache::normalise("plain"), "plain");
    EXPECT_EQ(TextureCache::normalise("trailing:"), "");

    // A colon-prefixed name met first is cached under the bare name too.
    files->opened.clear();
    const gfx::BitmapPtr only = assets().getTexture("skin:tex/only");
    EXPECT_EQ(files->opened, (std::vector<std::string>{"tex/only.dds", "tex/only.tga"}));
    EXPECT_EQ(assets().getTexture("tex/only"), only);
    EXPECT_EQ(files->opened.size(), 2u);
}

TEST_F(TextureCacheTest, AMissingTextureGivesTheMissingPlaceholder)
{
    const base::DiagnosticCapture diagnostics;
    // "Missing texture: tex/nowhere.tga" fits on one line of the square.
    expectPlaceholder(assets().getTexture("ui:tex/nowhere.tga"), 1, 1);
    EXPECT_TRUE(diagnostics.messages().empty()) << "a missing texture is not reported";
}

TEST_F(TextureCacheTest, AnUndecodableTextureGivesTheInvalidPlaceholderWithTheDecodersReason)
{
    struct Case {
        std::string name;
        std::string file; // the member that failed
        std::string reason;
        int minLines, maxLines; // the name, then the reason wrapped at 256 DIPs
    };
    const std::vector<Case> cases{
        {"tex/bad16", "tex/bad16.tga", "Only 24bpp and 32bpp TGA files are supported", 3, 4},
        {"tex/empty", "tex/empty.dds", "The parameter is incorrect.\r\n (ID3D10Device::CreateTexture2D)", 3, 4},
        {"tex/notimage", "tex/notimage.dds", "Unrecognised image format", 2, 3},
    };
    std::vector<gfx::BitmapPtr> bitmaps;
    for (const Case& c : cases) {
        const base::DiagnosticCapture diagnostics;
        bitmaps.push_back(assets().getTexture(c.name));
        EXPECT_EQ(diagnostics.messages(), std::vector<std::string>{c.file + ": " + c.reason})
            << "the log names the file; the placeholder gives the reason alone";
        expectPlaceholder(bitmaps.back(), c.minLines, c.maxLines);
    }
    EXPECT_EQ(files->opened.back(), "tex/notimage.dds") << "an invalid .dds does not fall back to the .tga";
    EXPECT_NE(bitmaps[0]->pixels, bitmaps[1]->pixels) << "each says its own reason";
    EXPECT_NE(bitmaps[1]->pixels, bitmaps[2]->pixels) << "each says its own reason";
}

TEST_F(TextureCacheTest, PlaceholdersLeaveTheSharedFontAlone)
{
    const gfx::TextFormatPtr font = assets().getFont("gillsans_16").format;
    assets().getTexture("tex/nowhere");
    EXPECT_EQ(assets().getFont("gillsans_16").format, font);
    EXPECT_EQ(font->textAlignment(), gfx::TextAlignment::Leading);
    EXPECT_EQ(font->paragraphAlignment(), gfx::ParagraphAlignment::Near);
}

TEST_F(TextureCacheTest, PlaceholdersDrawWithoutTheGamesFonts)
{
    TempDir bare;
    ScreenAssets assets(context, std::make_shared<CountingSource>(bare.path().string()));
    ASSERT_TRUE(assets.getFont("gillsans_16").fallback);
    const gfx::BitmapPtr bitmap = assets.getTexture("anything");
    ASSERT_EQ(bitmap->width, 256);
    ASSERT_EQ(bitmap->height, 256);
    EXPECT_EQ(pixel(*bitmap, 0, 0), Magenta);
    EXPECT_EQ(pixel(*bitmap, 255, 255), Magenta);
}

TEST_F(TextureCacheTest, ScreenAssetsReadTheColourTableAndStyleSheetsOfTheFiles)
{
    dir.write("Art/UI/Styles/ColourTable.colours",
              "ColourTable = { { key = 'gold', value = { 255, 204, 0, 255 } } }");
    dir.write("Art/UI/Styles/menu.styles", "StyleSheet = { Styles = { { name = 'title', size = 3 } } }");
    const gfx::Color gold = assets().colours().lookup("gold");
    EXPECT_FLOAT_EQ(gold.g, 204.0f / 255.0f);
    EXPECT_NE(assets().styleSheets().find("Menu", "title"), nullptr);
    EXPECT_EQ(assets().styleSheets().find("MENU", "title"), assets().styleSheets().find("menu", "title"));
    EXPECT_EQ(std::count(files->opened.begin(), files->opened.end(), "art/ui/styles/menu.styles"), 1);
}

} // namespace
