#include "gfx/render_target.h"

#include "base/errors.h"
#include "gfx/bitmap_render_target.h"
#include "gfx/graphics_context.h"
#include "base/result_codes.h"
#include "pixels.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace gfx;
using GfxTest::Rgba;
using GfxTest::pixelIs;

constexpr Rgba white{255, 255, 255, 255};
constexpr Rgba red{255, 0, 0, 255};
constexpr Rgba blue{0, 0, 255, 255};
constexpr Rgba green{0, 255, 0, 255};

class RenderTargetTest : public GfxTest::DrawingTest {};

TEST_F(RenderTargetTest, FillsExactlyTheRectangle)
{
    target.beginDraw();
    target.clear(Color{0, 0, 1, 1});
    target.fillRectangle({10, 10, 30, 20}, redBrush);
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 10, 10, red));
    EXPECT_TRUE(pixelIs(image, 29, 19, red));
    EXPECT_TRUE(pixelIs(image, 30, 19, blue));
    EXPECT_TRUE(pixelIs(image, 9, 10, blue));
    EXPECT_TRUE(pixelIs(image, 10, 20, blue));
    EXPECT_EQ(GfxTest::inkBounds(image, Qt::blue), QRect(10, 10, 20, 10));
}

TEST_F(RenderTargetTest, SizeIsTheDevicesLogicalSize)
{
    EXPECT_EQ(target.size().width, 100);
    EXPECT_EQ(target.size().height, 100);

    // An image at twice the pixel density has half as many DIPs.
    QImage dense = GfxTest::makeImage(200, 100, Qt::white);
    dense.setDevicePixelRatio(2.0);
    RenderTarget denseTarget(context, dense);
    EXPECT_EQ(denseTarget.size().width, 100);
    EXPECT_EQ(denseTarget.size().height, 50);
    denseTarget.beginDraw();
    denseTarget.fillRectangle({0, 0, 25, 25}, redBrush);
    denseTarget.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(dense, Qt::white), QRect(0, 0, 50, 50));
}

struct TransformCase {
    const char* name;
    Matrix transform;
    Rect rect;
    QRect expected; // device pixels covered
};

void PrintTo(const TransformCase& c, std::ostream* out) { *out << c.name; }

class TransformedFill : public RenderTargetTest, public testing::WithParamInterface<TransformCase> {};

TEST_P(TransformedFill, CoversTheMappedRectangle)
{
    const TransformCase& c = GetParam();
    target.beginDraw();
    target.setTransform(c.transform);
    EXPECT_EQ(target.transform(), c.transform);
    target.fillRectangle(c.rect, redBrush);
    target.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(image, Qt::white), c.expected);
    EXPECT_EQ(GfxTest::inkCount(image, Qt::white), c.expected.width() * c.expected.height());
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, TransformedFill,
    testing::Values(
        TransformCase{"identity", Matrix::identity(), {5, 6, 15, 26}, QRect(5, 6, 10, 20)},
        TransformCase{"translation", Matrix::translation(20, 30), {0, 0, 10, 10}, QRect(20, 30, 10, 10)},
        TransformCase{"scale", Matrix::scale(2, 3), {5, 5, 10, 10}, QRect(10, 15, 10, 15)},
        // The quarter turn stands a horizontal strip up: x runs upward.
        TransformCase{"quarterTurn", Matrix{0, -1, 1, 0, 0, 50}, {0, 0, 40, 10}, QRect(0, 10, 10, 40)},
        TransformCase{"quarterTurnThenTranslation", Matrix{0, -1, 1, 0, 0, 50} * Matrix::translation(60, 5),
                      {0, 0, 40, 10}, QRect(60, 15, 10, 40)},
        TransformCase{"translationThenQuarterTurn", Matrix::translation(0, 20) * Matrix{0, -1, 1, 0, 0, 90},
                      {0, 0, 40, 10}, QRect(20, 50, 10, 40)}),
    [](const testing::TestParamInfo<TransformCase>& info) { return info.param.name; });

TEST_F(RenderTargetTest, ClipsNestAndPop)
{
    target.beginDraw();
    target.pushAxisAlignedClip({10, 10, 60, 60});
    target.pushAxisAlignedClip({40, 40, 90, 90});
    target.fillRectangle({0, 0, 100, 100}, redBrush);
    target.popAxisAlignedClip();
    target.fillRectangle({0, 0, 20, 20}, blueBrush);
    target.popAxisAlignedClip();
    target.fillRectangle({90, 90, 100, 100}, greenBrush);
    target.endDraw();

    EXPECT_TRUE(pixelIs(image, 40, 40, red));
    EXPECT_TRUE(pixelIs(image, 59, 59, red));
    EXPECT_TRUE(pixelIs(image, 60, 59, white));
    EXPECT_TRUE(pixelIs(image, 39, 45, white));
    EXPECT_TRUE(pixelIs(image, 10, 10, blue));
    EXPECT_TRUE(pixelIs(image, 9, 10, white));
    EXPECT_TRUE(pixelIs(image, 95, 95, green));
    EXPECT_EQ(GfxTest::inkCount(image, Qt::white), 20 * 20 + 10 * 10 + 10 * 10);
}

TEST_F(RenderTargetTest, ClipFollowsTheTransformAsItsAxisAlignedBounds)
{
    target.beginDraw();
    target.setTransform(Matrix{0, -1, 1, 0, 0, 50} * Matrix::translation(10, 0));
    target.pushAxisAlignedClip({0, 0, 40, 10}); // device: (10, 10) to (20, 50)
    target.setTransform(Matrix::identity());     // the clip stays where it was pushed
    target.fillRectangle({0, 0, 100, 100}, redBrush);
    target.popAxisAlignedClip();
    target.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(image, Qt::white), QRect(10, 10, 10, 40));

    // A 45-degree turn widens the clip to the turned square's bounds.
    image.fill(Qt::white);
    target.beginDraw();
    target.setTransform(Matrix::rotation(45) * Matrix::translation(50, 50));
    target.pushAxisAlignedClip({-10, -10, 10, 10});
    target.setTransform(Matrix::identity());
    target.fillRectangle({0, 0, 100, 100}, redBrush);
    target.popAxisAlignedClip();
    target.endDraw();
    const QRect bounds = GfxTest::inkBounds(image, Qt::white);
    EXPECT_NEAR(bounds.width(), 28, 1);
    EXPECT_NEAR(bounds.center().x(), 50, 1);
    EXPECT_EQ(GfxTest::inkCount(image, Qt::white), bounds.width() * bounds.height())
        << "the clip is the whole bounding square, not the turned one";
}

TEST_F(RenderTargetTest, ClearFillsTheClipAndIgnoresTheTransform)
{
    target.beginDraw();
    target.setTransform(Matrix::translation(50, 50));
    target.pushAxisAlignedClip({0, 0, 10, 10});
    target.clear(Color{0, 1, 0, 0.5f}); // replaces, does not blend
    target.popAxisAlignedClip();
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 55, 55, Rgba{0, 128, 0, 128}));
    EXPECT_TRUE(pixelIs(image, 45, 45, white));
    EXPECT_TRUE(pixelIs(image, 5, 5, white));
}

TEST_F(RenderTargetTest, BrushOpacityBlends)
{
    target.beginDraw();
    SolidColorBrush half(Color{1, 0, 0, 1}, 0.5f);
    target.fillRectangle({0, 0, 10, 10}, half);
    half.setOpacity(1.0f);
    half.setColor(Color{0, 0, 1, 0.5f}); // colour alpha works the same way
    target.fillRectangle({20, 0, 30, 10}, half);
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 5, 5, Rgba{255, 128, 128, 255}, 2));
    EXPECT_TRUE(pixelIs(image, 25, 5, Rgba{128, 128, 255, 255}, 2));
}

TEST_F(RenderTargetTest, OutlinesRoundedRectanglesAndLines)
{
    target.beginDraw();
    target.drawRectangle({10.5f, 10.5f, 30.5f, 30.5f}, redBrush, 1.0f);
    target.fillRoundedRectangle({{40, 10, 80, 50}, 10, 10}, blueBrush);
    target.drawLine({10, 70.5f}, {90, 70.5f}, greenBrush, 1.0f);
    target.drawLine({10, 90.5f}, {90, 90.5f}, greenBrush, 0.0f); // no width, no line
    target.endDraw();
    // The outline runs along the edges; the inside stays untouched.
    EXPECT_TRUE(pixelIs(image, 10, 20, red));
    EXPECT_TRUE(pixelIs(image, 30, 20, red));
    EXPECT_TRUE(pixelIs(image, 20, 10, red));
    EXPECT_TRUE(pixelIs(image, 20, 20, white));
    // Rounded corners stay empty; the middle of each edge is filled.
    EXPECT_TRUE(pixelIs(image, 40, 10, white));
    EXPECT_TRUE(pixelIs(image, 79, 49, white));
    EXPECT_TRUE(pixelIs(image, 60, 10, blue));
    EXPECT_TRUE(pixelIs(image, 40, 30, blue));
    EXPECT_TRUE(pixelIs(image, 60, 30, blue));
    // A one-wide line on a pixel row covers that row from start to end.
    EXPECT_EQ(GfxTest::inkBounds(image.copy(0, 60, 100, 40), Qt::white), QRect(10, 10, 80, 1));
}

struct MisuseCase {
    const char* name;
    std::function<void(RenderTarget&, Layer&)> draw; // runs between beginDraw and endDraw
    std::int32_t code;
};

void PrintTo(const MisuseCase& c, std::ostream* out) { *out << c.name; }

class Misuse : public RenderTargetTest, public testing::WithParamInterface<MisuseCase> {};

TEST_P(Misuse, IsReportedByEndDrawAfterTheDrawingCompletes)
{
    const MisuseCase& c = GetParam();
    Layer layer;
    target.beginDraw();
    c.draw(target, layer);
    target.fillRectangle({0, 0, 10, 10}, redBrush);
    try {
        target.endDraw();
        FAIL() << "endDraw must throw";
    } catch (const Kestra::COMException& error) {
        EXPECT_EQ(error.code(), c.code);
        EXPECT_STREQ(error.operation(), "ID2D1RenderTarget::EndDraw");
    }
    EXPECT_FALSE(target.isDrawing());
    EXPECT_TRUE(pixelIs(image, 5, 5, red)) << "drawing goes on after the error";
    EXPECT_FALSE(layer.inUse());

    // The error is reported once; the next drawing is clean.
    target.beginDraw();
    target.fillRectangle({20, 20, 30, 30}, blueBrush);
    EXPECT_NO_THROW(target.endDraw());
    EXPECT_TRUE(pixelIs(image, 25, 25, blue));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, Misuse,
    testing::Values(
        MisuseCase{"popClipWithoutPush", [](RenderTarget& t, Layer&) { t.popAxisAlignedClip(); },
                   Kestra::Hr::PopCallDidNotMatchPush},
        MisuseCase{"popLayerWithoutPush", [](RenderTarget& t, Layer&) { t.popLayer(); }, Kestra::Hr::PopCallDidNotMatchPush},
        MisuseCase{"popLayerOverClip",
                   [](RenderTarget& t, Layer& l) {
                       t.pushLayer({}, l);
                       t.pushAxisAlignedClip({0, 0, 50, 50});
                       t.popLayer();
                       t.popAxisAlignedClip();
                       t.popLayer();
                   },
                   Kestra::Hr::PopCallDidNotMatchPush},
        MisuseCase{"clipLeftPushed", [](RenderTarget& t, Layer&) { t.pushAxisAlignedClip({0, 0, 50, 50}); },
                   Kestra::Hr::PushPopUnbalanced},
        MisuseCase{"layerLeftPushed", [](RenderTarget& t, Layer& l) { t.pushLayer({}, l); }, Kestra::Hr::PushPopUnbalanced},
        MisuseCase{"layerPushedTwice",
                   [](RenderTarget& t, Layer& l) {
                       t.pushLayer({}, l);
                       t.pushLayer({}, l);
                       t.popLayer();
                       t.popLayer();
                   },
                   Kestra::Hr::LayerAlreadyInUse},
        MisuseCase{"beginTwice", [](RenderTarget& t, Layer&) { t.beginDraw(); }, Kestra::Hr::WrongState},
        MisuseCase{"brokenBitmap",
                   [](RenderTarget& t, Layer&) {
                       Bitmap broken;
                       broken.width = 4;
                       broken.height = 4;
                       broken.pixels.resize(8); // far fewer bytes than 4 × 4 pixels
                       t.drawBitmap(broken, {0, 0, 50, 50});
                   },
                   Kestra::Hr::InvalidArgument}),
    [](const testing::TestParamInfo<MisuseCase>& info) { return info.param.name; });

TEST_F(RenderTargetTest, DrawingOutsideBeginAndEndIsAnError)
{
    try {
        target.endDraw();
        FAIL() << "endDraw without beginDraw must throw";
    } catch (const Kestra::COMException& error) {
        EXPECT_EQ(error.code(), Kestra::Hr::WrongState);
    }
    target.fillRectangle({0, 0, 10, 10}, redBrush); // not drawn, remembered
    EXPECT_TRUE(pixelIs(image, 5, 5, white));
    target.beginDraw();
    try {
        target.endDraw();
        FAIL() << "the earlier misuse must be reported";
    } catch (const Kestra::COMException& error) {
        EXPECT_EQ(error.code(), Kestra::Hr::WrongState);
    }
}

TEST_F(RenderTargetTest, CompatibleTargetDrawsIntoABitmap)
{
    const auto offscreen = target.createCompatibleRenderTarget({16, 8});
    EXPECT_EQ(offscreen->size().width, 16);
    EXPECT_EQ(offscreen->size().height, 8);
    offscreen->beginDraw();
    offscreen->fillRectangle({0, 0, 8, 8}, redBrush);
    offscreen->fillRectangle({8, 4, 16, 8}, SolidColorBrush(Color{0, 0, 1, 1}, 0.5f));
    offscreen->endDraw();

    const BitmapPtr bitmap = offscreen->bitmap();
    ASSERT_EQ(bitmap->width, 16);
    ASSERT_EQ(bitmap->height, 8);
    ASSERT_EQ(bitmap->pixels.size(), 16u * 8 * 4);
    auto texel = [&](int x, int y) {
        const std::uint8_t* p = bitmap->row(y) + 4 * x;
        return Rgba{p[2], p[1], p[0], p[3]}; // stored B, G, R, A
    };
    EXPECT_EQ(texel(0, 0).r, 255);
    EXPECT_EQ(texel(7, 7).a, 255);
    EXPECT_EQ(texel(8, 0).a, 0) << "starts out transparent";
    EXPECT_NEAR(texel(12, 6).b, 128, 1) << "premultiplied half blue";
    EXPECT_NEAR(texel(12, 6).a, 128, 1);

    target.beginDraw();
    target.drawBitmap(*bitmap, {20, 20, 36, 28}, 1.0f, BitmapInterpolationMode::NearestNeighbor);
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 21, 21, red));
    EXPECT_TRUE(pixelIs(image, 30, 21, white));
    EXPECT_TRUE(pixelIs(image, 30, 26, Rgba{127, 127, 255, 255}, 2));
}

TEST_F(RenderTargetTest, AnOffscreenPictureIsCopiedTexelForTexelAtTheNearestPixel)
{
    // A picture whose neighbouring texels differ: any resampling would mix them.
    const auto picture = target.createCompatibleRenderTarget({4, 2});
    picture->beginDraw();
    picture->fillRectangle({0, 0, 1, 1}, redBrush);
    picture->fillRectangle({1, 0, 2, 1}, greenBrush);
    picture->fillRectangle({0, 1, 4, 2}, blueBrush);
    picture->endDraw();

    struct Case {
        Matrix transform;
        int x, y; // where the picture's top left lands
    };
    const Case cases[] = {
        {Matrix::translation(10, 20), 10, 20},
        {Matrix::translation(30.4f, 40.6f), 30, 41},
        {Matrix::scale(3, 3) * Matrix::translation(50, 60), 50, 60}, // the scale is not applied
    };
    for (const Case& c : cases) {
        image.fill(Qt::white);
        target.beginDraw();
        target.setTransform(c.transform);
        target.drawRenderTarget(*picture);
        target.endDraw();
        EXPECT_TRUE(pixelIs(image, c.x, c.y, red, 0)) << c.x;
        EXPECT_TRUE(pixelIs(image, c.x + 1, c.y, green, 0)) << c.x;
        EXPECT_TRUE(pixelIs(image, c.x + 2, c.y, white, 0)) << "transparent texels leave the target alone";
        EXPECT_TRUE(pixelIs(image, c.x + 3, c.y + 1, blue, 0)) << c.x;
        EXPECT_EQ(GfxTest::inkCount(image, Qt::white), 6) << c.x;
    }
}

TEST_F(RenderTargetTest, CompatibleTargetSizes)
{
    EXPECT_EQ(target.createCompatibleRenderTarget({})->bitmap()->width, 100) << "0 × 0 means the parent's size";
    EXPECT_EQ(target.createCompatibleRenderTarget({2.5f, 3.2f})->bitmap()->height, 4) << "rounded up";
    struct Bad {
        Size size;
        std::int32_t code;
    };
    for (const Bad& bad : {Bad{{-1, 5}, Kestra::Hr::InvalidArgument}, Bad{{NAN, 5}, Kestra::Hr::InvalidArgument},
                           Bad{{100000, 5}, Kestra::Hr::MaxTextureSizeExceeded}}) {
        try {
            target.createCompatibleRenderTarget(bad.size);
            ADD_FAILURE() << "size " << bad.size.width << " must be refused";
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), bad.code);
            EXPECT_STREQ(error.operation(), "ID2D1RenderTarget::CreateCompatibleRenderTarget");
        }
    }
}

TEST_F(RenderTargetTest, TargetDestroyedWhileDrawingLetsGoOfItsDevice)
{
    {
        const auto offscreen = target.createCompatibleRenderTarget({8, 8});
        Layer layer;
        offscreen->beginDraw();
        offscreen->pushLayer({}, layer);
        offscreen->fillRectangle({0, 0, 8, 8}, redBrush);
    } // destroyed mid-drawing with a layer pushed
    target.beginDraw();
    target.pushAxisAlignedClip({0, 0, 10, 10});
    target.fillRectangle({0, 0, 10, 10}, redBrush);
    // destroyed at the end of the test without endDraw
    EXPECT_TRUE(target.isDrawing());
}

} // namespace
