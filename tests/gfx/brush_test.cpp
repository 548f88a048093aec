#include "gfx/brush.h"

#include "base/errors.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "gfx/stroke_style.h"
#include "pixels.h"

#include <gtest/gtest.h>

namespace {

using namespace gfx;
using GfxTest::Rgba;
using GfxTest::pixelIs;

class BrushTest : public testing::Test {
protected:
    GraphicsContext context;
    QImage image = GfxTest::makeImage(100, 40, Qt::white);
    RenderTarget target{context, image};

    void fill(const Rect& rect, const Brush& brush)
    {
        target.beginDraw();
        target.fillRectangle(rect, brush);
        target.endDraw();
    }
};

GradientStopCollectionPtr stops(std::initializer_list<GradientStop> list, ExtendMode mode = ExtendMode::Clamp)
{
    return std::make_shared<GradientStopCollection>(std::span<const GradientStop>(list.begin(), list.size()), mode);
}

TEST_F(BrushTest, LinearGradientHitsItsStopColours)
{
    LinearGradientBrush brush({0, 0}, {100, 0}, stops({{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}}));
    fill({0, 0, 100, 10}, brush);
    EXPECT_TRUE(pixelIs(image, 0, 5, Rgba{255, 0, 0, 255}, 4));
    EXPECT_TRUE(pixelIs(image, 50, 5, Rgba{126, 0, 128, 255}, 4));
    EXPECT_TRUE(pixelIs(image, 99, 5, Rgba{0, 0, 255, 255}, 4));
    EXPECT_GT(GfxTest::rawPixel(image, 25, 5).r, GfxTest::rawPixel(image, 75, 5).r);
}

TEST_F(BrushTest, StopsAtOnePositionMakeAHardEdge)
{
    // The row-hover gradient: white to pale gold, then at once a deeper gold.
    auto hover = stops({{0.0f, Color::fromBytes(255, 255, 255)},
                        {0.5f, Color::fromBytes(255, 243, 207)},
                        {0.5f, Color::fromBytes(255, 236, 181)},
                        {1.0f, Color::fromBytes(255, 236, 181)}});
    LinearGradientBrush brush({0, 0}, {0, 40}, hover);
    fill({0, 0, 100, 40}, brush);
    EXPECT_TRUE(pixelIs(image, 50, 0, Rgba{255, 255, 254, 255}, 2));
    EXPECT_TRUE(pixelIs(image, 50, 19, Rgba{255, 243, 208, 255}, 2)); // just above the middle
    EXPECT_TRUE(pixelIs(image, 50, 20, Rgba{255, 236, 181, 255}, 2)); // just below it
    EXPECT_TRUE(pixelIs(image, 50, 39, Rgba{255, 236, 181, 255}, 1));
}

TEST_F(BrushTest, GradientPointsAreSetBeforeEachUse)
{
    LinearGradientBrush brush({0, 0}, {0, 0}, stops({{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}}));
    target.beginDraw();
    for (float left : {0.0f, 50.0f}) { // stretched to each rectangle in turn
        brush.setStartPoint({left, 0});
        brush.setEndPoint({left + 50, 0});
        target.fillRectangle({left, 0, left + 50, 10}, brush);
    }
    target.endDraw();
    for (int x : {0, 50}) {
        EXPECT_TRUE(pixelIs(image, x, 5, Rgba{255, 0, 0, 255}, 6));
        EXPECT_TRUE(pixelIs(image, x + 49, 5, Rgba{0, 0, 255, 255}, 6));
    }
}

TEST_F(BrushTest, GradientFollowsBrushTransformAndOpacity)
{
    LinearGradientBrush brush({0, 0}, {50, 0}, stops({{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}}), 0.5f);
    brush.setTransform(Matrix::scale(2, 1));
    fill({0, 0, 100, 10}, brush);
    // Half-opaque red fading to half-opaque blue over the full width, on white.
    EXPECT_TRUE(pixelIs(image, 0, 5, Rgba{255, 128, 128, 255}, 4));
    EXPECT_TRUE(pixelIs(image, 50, 5, Rgba{191, 128, 191, 255}, 5));
    EXPECT_TRUE(pixelIs(image, 99, 5, Rgba{128, 128, 255, 255}, 4));
}

TEST_F(BrushTest, GradientWithoutStopsIsRefused)
{
    try {
        GradientStopCollection none(std::span<const GradientStop>{});
        FAIL() << "no stops must throw";
    } catch (const Kestra::COMException& error) {
        EXPECT_EQ(error.code(), Kestra::Hr::InvalidArgument);
        EXPECT_STREQ(error.operation(), "ID2D1RenderTarget::CreateGradientStopCollection");
    }
    EXPECT_THROW(LinearGradientBrush({0, 0}, {1, 1}, nullptr), Kestra::COMException);
}

// A bitmap of premultiplied texels given as (r, g, b, a) rows.
BitmapPtr makeBitmap(int width, int height, std::initializer_list<Rgba> texels)
{
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    for (const Rgba& t : texels) {
        bitmap->pixels.push_back(static_cast<std::uint8_t>(t.b));
        bitmap->pixels.push_back(static_cast<std::uint8_t>(t.g));
        bitmap->pixels.push_back(static_cast<std::uint8_t>(t.r));
        bitmap->pixels.push_back(static_cast<std::uint8_t>(t.a));
    }
    return bitmap;
}

TEST_F(BrushTest, BitmapBrushRepeatsInBothDirections)
{
    const Rgba texels[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {0, 0, 0, 255}};
    BitmapBrush brush(makeBitmap(2, 2, {texels[0], texels[1], texels[2], texels[3]}),
                      BitmapInterpolationMode::NearestNeighbor);
    brush.setTransform(Matrix::scale(3, 3));
    fill({0, 0, 24, 24}, brush);
    for (int y = 0; y < 24; y += 1)
        for (int x = 0; x < 24; x += 1)
            ASSERT_TRUE(pixelIs(image, x, y, texels[(y / 3) % 2 * 2 + (x / 3) % 2], 0));
    EXPECT_TRUE(pixelIs(image, 24, 5, Rgba{255, 255, 255, 255}, 0));
}

TEST_F(BrushTest, CheckerboardKeepsItsSquaresInDevicePixelsWhateverTheScale)
{
    // A 16 × 16 checkerboard of translucent black squares, the pattern of a
    // screen's background: the view draws in a unit square scaled to its size
    // and undoes the scale on the brush.
    auto checker = std::make_shared<Bitmap>();
    checker->width = checker->height = 16;
    checker->pixels.resize(16 * 16 * 4, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x < 8) == (y < 8))
                checker->row(y)[4 * x + 3] = 32;
    BitmapBrush brush(checker, BitmapInterpolationMode::Linear);
    target.beginDraw();
    target.setTransform(Matrix::scale(100, 40));
    brush.setTransform(Matrix::scale(1.0f / 100, 1.0f / 40));
    target.fillRectangle({0, 0, 1, 1}, brush);
    target.endDraw();
    const Rgba dark{223, 223, 223, 255}, light{255, 255, 255, 255};
    EXPECT_TRUE(pixelIs(image, 3, 3, dark));
    EXPECT_TRUE(pixelIs(image, 11, 3, light));
    EXPECT_TRUE(pixelIs(image, 19, 3, dark));
    EXPECT_TRUE(pixelIs(image, 11, 11, dark));
    EXPECT_TRUE(pixelIs(image, 3, 11, light));
    EXPECT_TRUE(pixelIs(image, 99, 35, dark)); // the tile repeats: (99, 35) is (3, 3) of it
    EXPECT_TRUE(pixelIs(image, 91, 35, light));
}

TEST_F(BrushTest, BitmapBrushNeedsAWholeBitmap)
{
    EXPECT_THROW(BitmapBrush(nullptr), Kestra::COMException);
    auto empty = std::make_shared<Bitmap>();
    EXPECT_THROW(BitmapBrush{empty}, Kestra::COMException);
    auto truncated = makeBitmap(2, 2, {{0, 0, 0, 255}});
    try {
        BitmapBrush brush(truncated);
        FAIL() << "a bitmap with fewer texels than its size must be refused";
    } catch (const Kestra::COMException& error) {
        EXPECT_STREQ(error.operation(), "ID2D1RenderTarget::CreateBitmapBrush");
    }
}

// The pixels of one row of the image that differ from white, as a string of
// '#' and '.'.
std::string rowInk(const QImage& image, int y, int from, int to)
{
    std::string ink;
    for (int x = from; x < to; ++x)
        ink += image.pixel(x, y) == qRgb(255, 255, 255) ? '.' : '#';
    return ink;
}

TEST_F(BrushTest, CustomDashesLeaveGapsScaledByTheStrokeWidth)
{
    const float dashes[] = {4, 4};
    const StrokeStyle dashed({.dashStyle = DashStyle::Custom}, dashes);
    SolidColorBrush black(Color{0, 0, 0, 1});
    target.beginDraw();
    target.drawLine({0, 5.5f}, {40, 5.5f}, black, 1.0f, &dashed);
    target.drawLine({0, 20}, {96, 20}, black, 4.0f, &dashed);
    target.drawLine({0, 35.5f}, {40, 35.5f}, black, 1.0f);
    target.endDraw();
    EXPECT_EQ(rowInk(image, 5, 0, 40), "####....####....####....####....####....");
    EXPECT_EQ(rowInk(image, 20, 0, 96), std::string(16, '#') + std::string(16, '.') + std::string(16, '#') +
                                            std::string(16, '.') + std::string(16, '#') + std::string(16, '.'));
    EXPECT_EQ(rowInk(image, 35, 0, 40), std::string(40, '#')) << "no style: solid";
}

TEST_F(BrushTest, StrokeStyleChecksItsProperties)
{
    const float dashes[] = {4, 4};
    const float negative[] = {4, -1};
    struct Case {
        const char* what;
        StrokeStyleProperties properties;
        std::span<const float> dashes;
    };
    const Case bad[] = {
        {"custom without dashes", {.dashStyle = DashStyle::Custom}, {}},
        {"dashes without custom", {.dashStyle = DashStyle::Dash}, dashes},
        {"negative dash", {.dashStyle = DashStyle::Custom}, negative},
        {"unknown join", {.lineJoin = static_cast<LineJoin>(9)}, {}},
        {"unknown cap", {.startCap = static_cast<CapStyle>(-1)}, {}},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.what);
        try {
            StrokeStyle style(c.properties, c.dashes);
            ADD_FAILURE() << "must be refused";
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), Kestra::Hr::InvalidArgument);
            EXPECT_STREQ(error.operation(), "ID2D1Factory::CreateStrokeStyle");
        }
    }
    const float odd[] = {1, 2, 3};
    EXPECT_EQ(StrokeStyle({.dashStyle = DashStyle::Custom}, odd).dashPattern(),
              (std::vector<float>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(StrokeStyle({.dashStyle = DashStyle::Dash}).dashPattern(), (std::vector<float>{2, 2}));
    EXPECT_TRUE(StrokeStyle({}).dashPattern().empty());
}

} // namespace
