// Drawing loaded screens off screen and reading the pixels back: the
// checkerboard, painting order, emphasis, outlines, textures and flips, the
// state gate, tooltips, text and its scaling, placeholders, and that a repaint
// makes no new drawing resources.

#include "test_module.h"

#include "fixtures/tga_builder.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/resource_count.h"
#include "screen/offscreen_screen.h"
#include "screen/text_art.h"
#include "screen/widget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using ScreenTest::CheckerDark;
using ScreenTest::inkCount;
using ScreenTest::near;
using ScreenTest::pixel;
using ScreenTest::Rgb;
using ScreenTest::TestModule;
using ScreenTest::White;

constexpr Rgb Red{255, 0, 0}, Blue{0, 0, 255}, Green{0, 255, 0}, Yellow{255, 255, 0}, Black{0, 0, 0};

// A screen whose widget tree is the given Lua table expression.
std::string screenOf(const std::string& widgets) { return "Screen = { Widgets = " + widgets + " }"; }

class RenderingTest : public testing::Test {
protected:
    std::unique_ptr<screen::OffscreenScreen> show(const std::string& lua, int width = 100, int height = 100)
    {
        return std::make_unique<screen::OffscreenScreen>(ScreenTest::loadScreen(module, lua), width, height);
    }

    TestModule module;
};

TEST_F(RenderingTest, TheCheckerboardHasEightPixelSquaresAtAnySize)
{
    for (const auto& [width, height] : {std::pair{40, 40}, {100, 60}, {333, 17}}) {
        const auto shown = show("Screen = {}", width, height);
        const gfx::BitmapPtr picture = shown->renderBitmap();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool dark = (x % 16 < 8) == (y % 16 < 8);
                // Linear sampling may blend the squares' edges by a step.
                ASSERT_TRUE(near(pixel(*picture, x, y), dark ? CheckerDark : White, 2))
                    << width << "x" << height << " at " << x << ", " << y;
            }
    }
}

TEST_F(RenderingTest, ArtIsPaintedInLuaOrderBelowChildWidgetsAndTooltipsOnTop)
{
    const auto shown = show(R"(
        Screen = {
            Widgets = {
                Presentation = { Art = {
                    { type = 'Rectangle', colour = 'red', states = { 'Normal' }, size = { 0.75, 1 } },
                    { type = 'Rectangle', colour = 'blue', states = { 'Normal' }, size = { 0.5, 1 } },
                } },
                Children = {
                    { size = { 0.5, 0.5 }, Presentation = { Art = { { type = 'Rectangle', colour = { 0, 255, 0, 255 }, states = { 'Normal' } } } } },
                    { size = { 0.25, 0.25 }, Presentation = { Art = { { type = 'Rectangle', colour = { 255, 255, 0, 255 }, states = { 'Normal' } } } } },
                },
            },
            TooltipWidgets = { position = { 0.875, 0 }, size = { 0.125, 1 },
                               Presentation = { Art = { { type = 'Rectangle', states = { 'Normal' } } } } },
        })");
    const gfx::BitmapPtr picture = shown->renderBitmap();
    EXPECT_TRUE(near(pixel(*picture, 60, 80), Red));
    EXPECT_TRUE(near(pixel(*picture, 40, 80), Blue)) << "art 2 above art 1";
    EXPECT_TRUE(near(pixel(*picture, 40, 40), Green)) << "children above art";
    EXPECT_TRUE(near(pixel(*picture, 10, 10), Yellow)) << "child 2 above child 1";
    EXPECT_TRUE(near(pixel(*picture, 95, 50), Black)) << "the tooltip tree above the widget tree";
    EXPECT_TRUE(near(pixel(*picture, 78, 50), White));
}

const char* const TwoHalves = R"(
    Screen = { Widgets = { Children = {
        { name = 'left', visible = false, size = { 0.5, 1 },
          Presentation = { Art = { { type = 'Rectangle', colour = 'red', states = { 'Normal' } } } },
          Children = { { name = 'inner', position = { 0, 0.75 }, size = { 0.5, 0.25 },
                         Presentation = { Art = { { type = 'Rectangle', colour = { 0, 255, 0, 255 }, states = { 'Normal' } } } } } } },
        { name = 'right', position = { 0.5, 0 }, size = { 0.5, 1 },
          Presentation = { Art = { { type = 'Rectangle', colour = 'blue', states = { 'Normal' } } } } },
    } } })";

TEST_F(RenderingTest, EmphasisDimsEverythingButTheWidgetAndOutlinesIt)
{
    const auto shown = show(TwoHalves);
    screen::ScreenView& view = shown->view();
    EXPECT_TRUE(near(pixel(*shown->renderBitmap(), 25, 50), White)) << "hidden until selected";

    view.setEmphasizedWidget(view.findWidget("left"));
    view.setEmphasisFade(0.25f);
    gfx::BitmapPtr picture = shown->renderBitmap();
    EXPECT_TRUE(near(pixel(*picture, 25, 50), Red)) << "the emphasized widget at full strength";
    EXPECT_TRUE(near(pixel(*picture, 10, 90), Green)) << "and what it draws";
    EXPECT_TRUE(near(pixel(*picture, 75, 50), {191, 191, 255})) << "the rest at a quarter over white";
    EXPECT_TRUE(near(pixel(*picture, 75, 60), {167, 167, 231})) << "and over the checkerboard";
    for (int y : {0, 50, 99})
        EXPECT_TRUE(near(pixel(*picture, 49, y), Black)) << "outline at x 49, y " << y;
    EXPECT_TRUE(near(pixel(*picture, 25, 0), Black));
    EXPECT_TRUE(near(pixel(*picture, 48, 50), Red)) << "one pixel wide";

    for (float fade : {1.0f, 2.0f}) {
        view.setEmphasisFade(fade);
        picture = shown->renderBitmap();
        EXPECT_TRUE(near(pixel(*picture, 75, 50), Blue)) << "nothing dimmed at " << fade;
        EXPECT_TRUE(near(pixel(*picture, 49, 50), Black)) << "still outlined at " << fade;
    }
    view.setEmphasizedWidget(nullptr);
    picture = shown->renderBitmap();
    EXPECT_TRUE(near(pixel(*picture, 49, 50), CheckerDark));
    EXPECT_TRUE(near(pixel(*picture, 25, 50), White)) << "hidden again";
}

TEST_F(RenderingTest, BorderRectanglesAreOneDevicePixelWideAtEverySize)
{
    for (const auto& [width, height] : {std::pair{64, 64}, {100, 80}, {333, 211}, {1000, 700}}) {
        const auto shown = show(screenOf(R"({ Presentation = { Art = {
            { type = 'Rectangle', rectangleType = 'Border', position = { 0.25, 0.25 }, size = { 0.5, 0.5 },
              states = { 'Normal' } } } } })"),
                                width, height);
        const gfx::BitmapPtr picture = shown->renderBitmap();
        const int left = static_cast<int>(std::floor(0.25f * width)), right = static_cast<int>(std::ceil(0.75f * width));
        const int top = static_cast<int>(std::floor(0.25f * height)), bottom = static_cast<int>(std::ceil(0.75f * height));
        std::vector<int> row, column;
        for (int x = 0; x < width; ++x)
            if (pixel(*picture, x, height / 2) == Black)
                row.push_back(x);
        for (int y = 0; y < height; ++y)
            if (pixel(*picture, width / 2, y) == Black)
                column.push_back(y);
        EXPECT_EQ(row, (std::vector<int>{left, right - 1})) << width << "x" << height;
        EXPECT_EQ(column, (std::vector<int>{top, bottom - 1})) << width << "x" << height;
    }
}

// Borders without width or height at whole and half device pixels: the same
// one-pixel line either way, so a divider does not blink as the view resizes.
TEST_F(RenderingTest, BordersWithoutWidthOrHeightAreOnePixelLines)
{
    struct Case {
        const char* name;
        float x, y, w, h; // in pixels of a 100 × 100 view
        int left, top, right, bottom; // the black pixels' extent, inclusive
    };
    const Case cases[] = {
        {"no width on a pixel edge", 10, 20, 0, 30, 10, 20, 10, 49},
        {"no width between edges", 10.5f, 20, 0, 30, 10, 20, 10, 49},
        {"no height on a pixel edge", 20, 10, 30, 0, 20, 10, 49, 10},
        {"no height between edges", 20, 10.5f, 30, 0, 20, 10, 49, 10},
        {"neither on pixel edges", 40, 40, 0, 0, 40, 40, 40, 40},
        {"neither between edges", 40.5f, 40.5f, 0, 0, 40, 40, 40, 40},
    };
    for (const Case& c : cases) {
        const auto shown = show(screenOf("{ Presentation = { Art = { { type = 'Rectangle', rectangleType = 'Border', "
                                         "position = { " + std::to_string(c.x / 100) + ", " +
                                         std::to_string(c.y / 100) + " }, size = { " + std::to_string(c.w / 100) +
                                         ", " + std::to_string(c.h / 100) + " }, states = { 'Normal' } } } } }"));
        const gfx::BitmapPtr picture = shown->renderBitmap();
        int left = 100, top = 100, right = -1, bottom = -1, count = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (pixel(*picture, x, y) == Black) {
                    left = std::min(left, x), top = std::min(top, y);
                    right = std::max(right, x), bottom = std::max(bottom, y);
                    ++count;
                }
        EXPECT_EQ((std::array{left, top, right, bottom}), (std::array{c.left, c.top, c.right, c.bottom})) << c.name;
        EXPECT_EQ(count, (c.right - c.left + 1) * (c.bottom - c.top + 1)) << c.name << ": every pixel of the line";
    }
}

// A 4 × 4 texture of four colours, one to each quadrant.
std::string quadrantTexture()
{
    Fixtures::TgaHeader header;
    header.width = header.height = 4;
    std::string pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const Rgb c = y < 2 ? (x < 2 ? Red : Blue) : (x < 2 ? Green : Yellow);
            pixels += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r), static_cast<char>(255)};
        }
    return Fixtures::tgaFile(header, pixels);
}

TEST_F(RenderingTest, FlippedTexturesCoverTheSameRectangleMirrored)
{
    module.write("art/ui/quadrants.tga", quadrantTexture());
    auto draw = [&](const char* flips) {
        const auto shown = show(screenOf(std::string(R"({ Presentation = { Art = {
            { type = 'Graphic', texture = 'art/ui/quadrants', position = { 0.1, 0.2 }, size = { 0.8, 0.6 },
              states = { 'Normal' }, )") + flips + " } } } }"));
        return shown->renderBitmap();
    };
    const gfx::BitmapPtr plain = draw("");
    // Probes in the middle of each quadrant of the 80 × 60 rectangle at (10, 20).
    const std::array<std::pair<int, int>, 4> probes{{{30, 35}, {70, 35}, {30, 65}, {70, 65}}};
    std::array<Rgb, 4> unflipped;
    for (int i = 0; i < 4; ++i)
        unflipped[i] = pixel(*plain, probes[i].first, probes[i].second);
    for (const Rgb c : {Red, Blue, Green, Yellow})
        EXPECT_NE(std::find(unflipped.begin(), unflipped.end(), c), unflipped.end()) << c;

    struct Case {
        const char* flips;
        std::array<int, 4> from; // the unflipped probe each probe shows
    };
    for (const Case& c : {Case{"flipHorizontal = true", {1, 0, 3, 2}}, Case{"flipVertical = true", {2, 3, 0, 1}},
                          Case{"flipHorizontal = true, flipVertical = true", {3, 2, 1, 0}}}) {
        const gfx::BitmapPtr flipped = draw(c.flips);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(pixel(*flipped, probes[i].first, probes[i].second), unflipped[c.from[i]]) << c.flips << " " << i;
        // The same rectangle: ink inside exactly, nothing outside.
        EXPECT_EQ(inkCount(*flipped, 10, 20, 90, 80), 80 * 60) << c.flips;
        EXPECT_EQ(inkCount(*flipped, 0, 0, 100, 100), inkCount(*plain, 0, 0, 100, 100)) << c.flips;
    }
}

TEST_F(RenderingTest, TexturesDrawAtTheirAlphaAndMissingOnesAsThePlaceholder)
{
    module.write("art/ui/quadrants.tga", quadrantTexture());
    const auto shown = show(screenOf(R"({ Presentation = { Art = {
        { type = 'Graphic', texture = 'art/ui/quadrants', size = { 0.5, 1 }, colour = { 0, 0, 0, 128 }, states = { 'Normal' } },
        { type = 'Graphic', position = { 0.5, 0 }, size = { 0.5, 1 }, states = { 'Normal' } },
    } } })"));
    const gfx::BitmapPtr picture = shown->renderBitmap();
    // Half of the top left quadrant's colour (red or green, by the file's row
    // order) over white.
    const Rgb half = pixel(*picture, 4, 12);
    EXPECT_TRUE(near(half, {255, 127, 127}, 3) || near(half, {127, 255, 127}, 3)) << half;
    int magenta = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 50; x < 100; ++x)
            magenta += pixel(*picture, x, y) == Rgb{255, 0, 255};
    EXPECT_GT(magenta, 50 * 100 / 2) << "no texture name gives \"art/\", which is missing";
}

TEST_F(RenderingTest, ArtDrawsOnlyWhenItsStateFlagIsSet)
{
    const auto shown = show(screenOf(R"({ name = 'w', Presentation = { Art = {
        { type = 'Rectangle', colour = 'red', states = { 'Normal' }, size = { 0.25, 1 } },
        { type = 'Rectangle', colour = 'blue', states = { 'Hover' }, position = { 0.25, 0 }, size = { 0.25, 1 } },
        { type = 'Rectangle', colour = { 0, 255, 0, 255 }, states = { 'Normal', 'Hover' }, position = { 0.5, 0 }, size = { 0.25, 1 } },
        { type = 'Rectangle', colour = { 255, 255, 0, 255 }, position = { 0.75, 0 }, size = { 0.25, 1 } },
    } } })"));
    // One probe per quarter, each over a white square of the checkerboard.
    gfx::BitmapPtr picture = shown->renderBitmap();
    EXPECT_TRUE(near(pixel(*picture, 12, 50), Red));
    EXPECT_TRUE(near(pixel(*picture, 37, 58), White));
    EXPECT_TRUE(near(pixel(*picture, 62, 50), Green));
    EXPECT_TRUE(near(pixel(*picture, 87, 58), White)) << "without states, never";

    shown->setHover(shown->view().findWidget("w"));
    picture = shown->renderBitmap();
    EXPECT_TRUE(near(pixel(*picture, 12, 50), White));
    EXPECT_TRUE(near(pixel(*picture, 37, 58), Blue));
    EXPECT_TRUE(near(pixel(*picture, 62, 50), Green));
    EXPECT_TRUE(near(pixel(*picture, 87, 58), White));
}

const char* const Tooltips = R"(
    Screen = {
        TooltipWidgets = { name = 'tip', position = { 0, 0.5 }, size = { 1, 0.5 },
                           Presentation = { Art = { { type = 'Text', fontname = 'plain', states = { 'Normal' } } } } },
        Widgets = { size = { 1, 0.5 }, Children = {
            { name = 'first', size = { 0.5, 1 }, tooltip_name = 'tip', tooltip_text = 'Hello' },
            { name = 'second', position = { 0.5, 0 }, size = { 0.5, 1 }, tooltip_name = 'tip', tooltip_text = 'World' },
            { name = 'silent', size = { 0.1, 0.1 } },
        } },
    })";

TEST_F(RenderingTest, HoveredWidgetsHandTheirTooltipTextOver)
{
    const auto shown = show(Tooltips, 200, 100);
    screen::ScreenView& view = shown->view();
    screen::Widget& tip = *view.findWidget("tip");
    EXPECT_EQ(inkCount(*shown->renderBitmap(), 0, 50, 200, 100), 0) << "no text yet";

    shown->setHover(view.findWidget("first"));
    gfx::BitmapPtr picture = shown->renderBitmap();
    EXPECT_EQ(tip.text(), "Hello");
    EXPECT_EQ(view.currentTooltipWidget(), &tip);
    EXPECT_GT(inkCount(*picture, 0, 50, 200, 100), 20) << "drawn in the same frame";
    const gfx::BitmapPtr helloPicture = picture;

    shown->setHover(view.findWidget("second"));
    picture = shown->renderBitmap();
    EXPECT_EQ(tip.text(), "World");
    EXPECT_GT(inkCount(*picture, 0, 50, 200, 100), 20);
    EXPECT_NE(picture->pixels, helloPicture->pixels);

    shown->setHover(view.findWidget("silent"));
    picture = shown->renderBitmap();
    EXPECT_EQ(tip.text(), "") << "a widget without a tooltip clears the last one";
    EXPECT_EQ(view.currentTooltipWidget(), nullptr);

    shown->setHover(view.findWidget("first"));
    shown->renderBitmap();
    shown->setHover(nullptr);
    picture = shown->renderBitmap();
    EXPECT_EQ(tip.text(), "") << "the pointer left the view";
    EXPECT_EQ(view.currentTooltipWidget(), nullptr);
    EXPECT_EQ(inkCount(*picture, 0, 50, 200, 100), 0);
}

// The tooltip widget is the hovered widget's parent, so its text art paints
// before the hovered widget hands the text over: the frame settles on the
// next paint, as the window's does. (The parent contains the pointer, so its
// art is in the hover state.)
TEST_F(RenderingTest, ATooltipPaintedBeforeTheHoveredWidgetShowsItsTextInTheSettledFrame)
{
    const auto shown = show(R"(
        Screen = { Widgets = { name = 'tip',
            Presentation = { Art = { { type = 'Text', fontname = 'plain', size = { 1, 0.5 }, states = { 'Hover' } } } },
            Children = { { name = 'hot', position = { 0, 0.5 }, size = { 1, 0.5 }, tooltip_name = 'tip',
                           tooltip_text = 'Hello' } } } })",
                            200, 100);
    shown->setHover(shown->view().findWidget("hot"));
    const gfx::BitmapPtr settled = shown->renderBitmap();
    EXPECT_EQ(shown->view().findWidget("tip")->text(), "Hello");
    EXPECT_GT(inkCount(*settled, 0, 0, 200, 50), 20) << "the text in the one picture asked for";
    EXPECT_EQ(shown->renderBitmap()->pixels, settled->pixels) << "nothing changes once settled";
}

// The height of the rows that hold ink.
int inkHeight(const gfx::Bitmap& bitmap)
{
    int top = bitmap.height, bottom = -1;
    for (int y = 0; y < bitmap.height; ++y)
        if (inkCount(bitmap, 0, y, bitmap.width, y + 1) > 0) {
            top = std::min(top, y);
            bottom = y;
        }
    return bottom - top + 1;
}

TEST_F(RenderingTest, TextScalesWithTheReferenceWidth)
{
    module.write("Font/big.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 64, size800 = 48, size1024 = 64 }");
    const auto shown = show(screenOf(R"({ text = 'HHHH', Presentation = { Art = {
        { type = 'Text', fontname = 'big', horzAlign = 'Centre', states = { 'Normal' } } } } })"),
                            1024, 768);
    EXPECT_FLOAT_EQ(shown->view().referenceWidth(), 1024.0f);
    const int large = inkHeight(*shown->renderBitmap());
    shown->resize(800, 600);
    EXPECT_FLOAT_EQ(shown->view().referenceWidth(), 800.0f);
    const int small = inkHeight(*shown->renderBitmap());
    // 64 × 72 / 96 = 48 DIPs at factor 1, then factor 0.75: cap heights
    // in that ratio.
    EXPECT_GT(large, 30);
    EXPECT_NEAR(static_cast<double>(small) / large, 0.75, 0.05) << small << " / " << large;
}

TEST_F(RenderingTest, TextIsLocalisedShadowedAndFilledTopToBottom)
{
    module.write("Font/big.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 64 }");
    auto draw = [&](const std::string& text, const std::string& extra) {
        return show(screenOf("{ text = " + text + ", Presentation = { Art = { { type = 'Text', fontname = 'big', "
                             "states = { 'Normal' }, " + extra + " } } } }"),
                    400, 100)
            ->renderBitmap();
    };
    EXPECT_EQ(draw("'$1'", "")->pixels, draw("'Localised'", "")->pixels);
    EXPECT_NE(draw("'$2'", "")->pixels, draw("'$1'", "")->pixels) << "a missing string draws its own text";
    EXPECT_EQ(inkCount(*draw("nil", ""), 0, 0, 400, 100), 0);
    EXPECT_EQ(inkCount(*draw("''", ""), 0, 0, 400, 100), 0);

    const gfx::BitmapPtr graded = draw("'IIII'", "textColourTop = 'red', textColourBottom = 'blue'");
    int top = 100, bottom = -1;
    for (int y = 0; y < 100; ++y)
        if (inkCount(*graded, 0, y, 400, y + 1) > 0) {
            top = std::min(top, y);
            bottom = y;
        }
    ASSERT_GT(bottom - top, 20);
    auto strongest = [&](int y) { // the most saturated pixel of a row
        Rgb best = White;
        for (int x = 0; x < 400; ++x) {
            const Rgb p = pixel(*graded, x, y);
            if (p.r + p.g + p.b < best.r + best.g + best.b)
                best = p;
        }
        return best;
    };
    EXPECT_GT(strongest(top + 2).r, strongest(top + 2).b) << "red at the top";
    EXPECT_GT(strongest(bottom - 2).b, strongest(bottom - 2).r) << "blue at the bottom";

    auto darkPixels = [](const gfx::Bitmap& bitmap) {
        int count = 0;
        for (int y = 0; y < bitmap.height; ++y)
            for (int x = 0; x < bitmap.width; ++x)
                count += pixel(bitmap, x, y).r < 150;
        return count;
    };
    const std::string white = "textColourTop = { 255, 255, 255, 255 }, textColourBottom = { 255, 255, 255, 255 }";
    EXPECT_EQ(darkPixels(*draw("'IIII'", white)), 0);
    EXPECT_GT(darkPixels(*draw("'IIII'", white + ", dropShadow = true")), 100) << "the shadow shows beside the strokes";
}

TEST_F(RenderingTest, ChangingTheTextRebuildsTheLayoutOnTheNextPaint)
{
    const auto shown = show(screenOf("{ text = 'one', Presentation = { Art = { { type = 'Text', fontname = 'plain', "
                                     "states = { 'Normal' } } } } }"));
    screen::Widget& widget = *shown->view().widgetsRoot();
    const auto& art = dynamic_cast<const screen::TextArt&>(*widget.artItems().at(0));
    const gfx::PixelBytes one = shown->renderBitmap()->pixels;
    ASSERT_NE(art.layout(), nullptr);
    widget.setText("two");
    EXPECT_EQ(art.layout(), nullptr);
    EXPECT_NE(shown->renderBitmap()->pixels, one);
    EXPECT_EQ(art.layout()->text(), u"two");
}

TEST_F(RenderingTest, PlaceholdersFillOutlineAndClipTheirLabel)
{
    const auto shown = show(R"(
        Screen = { Widgets = { Children = {
            { type = 'Custom', name = 'custom widget', position = { 0.5, 0 }, size = { 0.5, 0.5 } },
            { Presentation = { Art = {
                { type = 'Swf', swf = 'a very long movie name that cannot fit.swf', position = { 0.1, 0.6 }, size = { 0.3, 0.2 } },
                { type = 'Swf', swf = 'faint.swf', alpha = 0, position = { 0.6, 0.6 }, size = { 0.3, 0.3 } },
            } } },
        } } })",
                            200, 200);
    gfx::BitmapPtr picture = shown->renderBitmap();
    // The Flash box: (20, 120)-(80, 160), filled light grey inside its dashes.
    EXPECT_TRUE(near(pixel(*picture, 27, 127), {213, 213, 213}, 1));
    EXPECT_EQ(inkCount(*picture, 20, 120, 80, 160), 60 * 40) << "the box is filled";
    const int outside = inkCount(*picture, 0, 100, 100, 200) - 60 * 40;
    EXPECT_EQ(outside, 0) << "nothing of the label outside the box";
    int darkInside = 0;
    for (int y = 124; y < 156; ++y)
        for (int x = 24; x < 76; ++x)
            darkInside += near(pixel(*picture, x, y), {125, 125, 125}, 30);
    EXPECT_GT(darkInside, 20) << "the label shows inside";
    // At alpha 0 only the outline and label show, at half strength.
    EXPECT_TRUE(near(pixel(*picture, 125, 172), CheckerDark, 1)) << "not filled";
    EXPECT_TRUE(near(pixel(*picture, 121, 150), {190, 190, 190}, 3)) << "the dashes at half strength";

    // The custom widget: outline and label only, until the pointer is over it.
    EXPECT_TRUE(near(pixel(*picture, 105, 20), White, 1));
    shown->setHover(shown->view().findWidget("custom widget"));
    picture = shown->renderBitmap();
    EXPECT_TRUE(near(pixel(*picture, 105, 20), {234, 234, 234}, 2)) << "filled at half strength";
}

TEST_F(RenderingTest, ARepaintMakesNoNewBrushesLayoutsOrBitmaps)
{
    module.write("art/ui/quadrants.tga", quadrantTexture());
    const auto shown = show(std::string(R"(
        Screen = {
            TooltipWidgets = { name = 'tip', Presentation = { Art = { { type = 'Text', fontname = 'body', states = { 'Normal' } } } } },
            Widgets = { Children = {
                { name = 'all', type = 'Group', text = '$1', tooltip_name = 'tip', tooltip_text = 'tip text',
                  Presentation = { Art = {
                    { type = 'Graphic', texture = 'art/ui/quadrants', flipHorizontal = true, states = { 'Normal', 'Hover' } },
                    { type = 'Graphic', texture = 'art/ui/missing', states = { 'Normal', 'Hover' } },
                    { type = 'Text', fontname = 'body', dropShadow = true, states = { 'Normal', 'Hover' } },
                    { type = 'Rectangle', rectangleType = 'Border', states = { 'Normal', 'Hover' } },
                    { type = 'Rectangle', colour = 'half_green', states = { 'Normal', 'Hover' } },
                    { type = 'Line', p2 = { 1, 1 }, states = { 'Normal', 'Hover' } },
                    { type = 'Swf', swf = 'movie.swf' } } } },
                { type = 'Custom', name = 'custom' },
            } },
        })"),
                            320, 240);
    shown->setHover(shown->view().findWidget("all"));
    shown->view().setEmphasizedWidget(shown->view().findWidget("all"));
    shown->view().setEmphasisFade(0.25f);
    shown->render();
    const gfx::ResourceCounts before = gfx::resourceCounts();
    const gfx::PixelBytes first = shown->render().bitmap()->pixels;
    shown->render();
    const gfx::ResourceCounts after = gfx::resourceCounts();
    EXPECT_EQ(after.brushes, before.brushes);
    EXPECT_EQ(after.textLayouts, before.textLayouts);
    EXPECT_EQ(after.bitmaps, before.bitmaps + 1) << "only the copy of the picture taken here";
    EXPECT_EQ(after.layers, before.layers);
    EXPECT_EQ(shown->render().bitmap()->pixels, first) << "and the same picture";
}

} // namespace
