#include "gfx/bitmap.h"

#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "pixels.h"

#include <gtest/gtest.h>

namespace {

using namespace gfx;
using GfxTest::Rgba;
using GfxTest::pixelIs;

// Premultiplied texels, (r, g, b, a) each: half-transparent red, opaque
// green, quarter-opaque blue, transparent.
const Rgba texels[4] = {{128, 0, 0, 128}, {0, 255, 0, 255}, {0, 0, 64, 64}, {0, 0, 0, 0}};

Bitmap twoByTwo()
{
    Bitmap bitmap;
    bitmap.width = 2;
    bitmap.height = 2;
    for (const Rgba& t : texels)
        bitmap.pixels.insert(bitmap.pixels.end(), {static_cast<std::uint8_t>(t.b), static_cast<std::uint8_t>(t.g),
                                                   static_cast<std::uint8_t>(t.r), static_cast<std::uint8_t>(t.a)});
    return bitmap;
}

class BitmapDrawingTest : public testing::Test {
protected:
    GraphicsContext context;
    QImage image = GfxTest::makeImage(40, 40, Qt::transparent);
    RenderTarget target{context, image};
    Bitmap bitmap = twoByTwo();
};

TEST_F(BitmapDrawingTest, DrawsPremultipliedTexelsAsTheyAre)
{
    target.beginDraw();
    target.drawBitmap(bitmap, {5, 5, 7, 7});
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 5, 5, texels[0], 0));
    EXPECT_TRUE(pixelIs(image, 6, 5, texels[1], 0));
    EXPECT_TRUE(pixelIs(image, 5, 6, texels[2], 0));
    EXPECT_TRUE(pixelIs(image, 6, 6, texels[3], 0));
    EXPECT_EQ(GfxTest::inkBounds(image, Qt::transparent), QRect(5, 5, 2, 2));
}

TEST_F(BitmapDrawingTest, StretchesWithNearestOrLinearSampling)
{
    target.beginDraw();
    target.drawBitmap(bitmap, {0, 0, 8, 8}, 1.0f, BitmapInterpolationMode::NearestNeighbor);
    target.drawBitmap(bitmap, {20, 0, 40, 20}, 1.0f, BitmapInterpolationMode::Linear);
    target.endDraw();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_TRUE(pixelIs(image, x, y, texels[(y / 4) * 2 + x / 4], 0)) << x << ", " << y;
    // Linear sampling blends neighbouring texels between their centres.
    EXPECT_TRUE(pixelIs(image, 22, 2, texels[0], 1));
    const Rgba between = GfxTest::rawPixel(image, 30, 2);
    EXPECT_GT(between.g, 40);
    EXPECT_LT(between.g, 215);
    EXPECT_GT(between.r, 10);
}

TEST_F(BitmapDrawingTest, OpacityScalesEveryChannel)
{
    target.beginDraw();
    target.drawBitmap(bitmap, {0, 0, 2, 2}, 0.5f);
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 0, 0, Rgba{64, 0, 0, 64}, 1));
    EXPECT_TRUE(pixelIs(image, 1, 0, Rgba{0, 128, 0, 128}, 1));
    EXPECT_TRUE(pixelIs(image, 0, 1, Rgba{0, 0, 32, 32}, 1));
}

TEST_F(BitmapDrawingTest, SourceRectanglePicksTexels)
{
    const Rect rightColumn{1, 0, 2, 2};
    target.beginDraw();
    target.drawBitmap(bitmap, {0, 0, 1, 2}, 1.0f, BitmapInterpolationMode::NearestNeighbor, &rightColumn);
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 0, 0, texels[1], 0));
    EXPECT_TRUE(pixelIs(image, 0, 1, texels[3], 0));
}

TEST_F(BitmapDrawingTest, MirrorTransformFlipsOverTheSameArea)
{
    // A horizontal flip: mirror x, then draw into the negated rectangle.
    target.beginDraw();
    target.setTransform(Matrix::scale(-1, 1));
    target.drawBitmap(bitmap, {-7, 5, -5, 7});
    target.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(image, Qt::transparent), QRect(5, 5, 2, 2));
    // (Qt samples mirrored images through its transformed path: ±1.)
    EXPECT_TRUE(pixelIs(image, 5, 5, texels[1], 1));
    EXPECT_TRUE(pixelIs(image, 6, 5, texels[0], 1));
    EXPECT_TRUE(pixelIs(image, 5, 6, texels[3], 1));
    EXPECT_TRUE(pixelIs(image, 6, 6, texels[2], 1));
}

} // namespace
