#include "gfx/layer.h"

#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "pixels.h"

#include <gtest/gtest.h>

namespace {

using namespace gfx;
using GfxTest::Rgba;
using GfxTest::pixelIs;

class LayerTest : public GfxTest::DrawingTest {};

TEST_F(LayerTest, GroupOpacityIsNotPerItemOpacity)
{
    // Two overlapping opaque squares inside a half-opaque layer: the overlap
    // shows the top square at half opacity over the background alone.
    Layer layer;
    target.beginDraw();
    target.pushLayer({.opacity = 0.5f}, layer);
    EXPECT_TRUE(layer.inUse());
    target.fillRectangle({10, 10, 60, 60}, redBrush);
    target.fillRectangle({40, 40, 90, 90}, blueBrush);
    target.popLayer();
    EXPECT_FALSE(layer.inUse());
    target.endDraw();
    const QImage grouped = image.copy();
    EXPECT_TRUE(pixelIs(grouped, 20, 20, Rgba{255, 128, 128, 255}, 2));
    EXPECT_TRUE(pixelIs(grouped, 50, 50, Rgba{128, 128, 255, 255}, 2));
    EXPECT_TRUE(pixelIs(grouped, 80, 80, Rgba{128, 128, 255, 255}, 2));
    EXPECT_TRUE(pixelIs(grouped, 5, 5, Rgba{255, 255, 255, 255}, 0));

    // The same squares each at half opacity: the red shows through the blue.
    image.fill(Qt::white);
    target.beginDraw();
    redBrush.setOpacity(0.5f);
    blueBrush.setOpacity(0.5f);
    target.fillRectangle({10, 10, 60, 60}, redBrush);
    target.fillRectangle({40, 40, 90, 90}, blueBrush);
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 20, 20, Rgba{255, 128, 128, 255}, 2));
    EXPECT_TRUE(pixelIs(image, 50, 50, Rgba{128, 64, 191, 255}, 2));
    EXPECT_NE(grouped.pixel(50, 50), image.pixel(50, 50));
}

TEST_F(LayerTest, CanBePoppedAndPushedAgainMidDrawing)
{
    // As an emphasised widget does: everything is dimmed except what is drawn
    // between a pop and the push that follows it.
    Layer layer;
    const LayerParameters dim{.opacity = 0.25f};
    target.beginDraw();
    target.pushLayer(dim, layer);
    target.fillRectangle({0, 0, 30, 30}, redBrush);
    target.popLayer();
    target.fillRectangle({35, 0, 65, 30}, blueBrush);
    target.pushLayer(dim, layer);
    target.fillRectangle({70, 0, 100, 30}, greenBrush);
    target.popLayer();
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 15, 15, Rgba{255, 191, 191, 255}, 2));
    EXPECT_TRUE(pixelIs(image, 50, 15, Rgba{0, 0, 255, 255}, 0));
    EXPECT_TRUE(pixelIs(image, 85, 15, Rgba{191, 255, 191, 255}, 2));
    EXPECT_TRUE(pixelIs(image, 50, 50, Rgba{255, 255, 255, 255}, 0)) << "a layer adds nothing where nothing was drawn";
}

TEST_F(LayerTest, NestedLayersMultiplyTheirOpacity)
{
    Layer outer, inner;
    target.beginDraw();
    target.pushLayer({.opacity = 0.5f}, outer);
    target.pushLayer({.opacity = 0.5f}, inner);
    target.fillRectangle({0, 0, 50, 50}, redBrush);
    target.popLayer();
    target.popLayer();
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 25, 25, Rgba{255, 191, 191, 255}, 2));
}

TEST_F(LayerTest, ClipsApplyInsideAndAroundLayers)
{
    Layer layer;
    target.beginDraw();
    // A clip pushed before the layer limits what the layer shows.
    target.pushAxisAlignedClip({0, 0, 50, 50});
    target.pushLayer({}, layer);
    target.fillRectangle({0, 0, 100, 100}, redBrush);
    target.popLayer();
    target.popAxisAlignedClip();
    // A clip pushed inside the layer is popped before it.
    target.pushLayer({}, layer);
    target.pushAxisAlignedClip({60, 60, 70, 70});
    target.fillRectangle({0, 0, 100, 100}, blueBrush);
    target.popAxisAlignedClip();
    target.popLayer();
    target.endDraw();
    EXPECT_EQ(GfxTest::inkCount(image, Qt::white), 50 * 50 + 10 * 10);
    EXPECT_TRUE(pixelIs(image, 49, 49, Rgba{255, 0, 0, 255}, 0));
    EXPECT_TRUE(pixelIs(image, 65, 65, Rgba{0, 0, 255, 255}, 0));
}

TEST_F(LayerTest, ContentBoundsCutOffTheLayer)
{
    Layer layer;
    target.beginDraw();
    target.setTransform(Matrix::translation(10, 0));
    target.pushLayer({.contentBounds = {0, 0, 40, 100}, .opacity = 1.0f}, layer);
    target.setTransform(Matrix::identity());
    target.fillRectangle({0, 0, 100, 100}, redBrush);
    target.popLayer();
    target.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(image, Qt::white), QRect(10, 0, 40, 100));
}

TEST_F(LayerTest, LayerDestroyedWhilePushedStillComposites)
{
    auto layer = std::make_unique<Layer>();
    target.beginDraw();
    target.pushLayer({.opacity = 0.5f}, *layer);
    layer.reset();
    target.fillRectangle({0, 0, 10, 10}, redBrush);
    target.popLayer();
    target.endDraw();
    EXPECT_TRUE(pixelIs(image, 5, 5, Rgba{255, 128, 128, 255}, 2));
}

TEST_F(LayerTest, WorksOnDenseImages)
{
    QImage dense = GfxTest::makeImage(200, 200, Qt::white);
    dense.setDevicePixelRatio(2.0);
    RenderTarget denseTarget(context, dense);
    Layer layer;
    denseTarget.beginDraw();
    denseTarget.pushLayer({.opacity = 0.5f}, layer);
    denseTarget.fillRectangle({0, 0, 50, 50}, redBrush);
    denseTarget.popLayer();
    denseTarget.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(dense, Qt::white), QRect(0, 0, 100, 100));
    EXPECT_TRUE(pixelIs(dense, 99, 99, Rgba{255, 128, 128, 255}, 2));
}

} // namespace
