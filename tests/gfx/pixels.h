#pragma once
// Reading rendered pixels back in graphics tests.

#include <QColor>
#include <QImage>
#include <QRect>

#include "gfx/brush.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"

#include <gtest/gtest.h>

namespace GfxTest {

// A premultiplied ARGB32 image filled with one colour.
QImage makeImage(int width, int height, QColor fill = Qt::transparent);

// The raw premultiplied channels of a pixel.
struct Rgba {
    int r, g, b, a;
};
Rgba rawPixel(const QImage& image, int x, int y);

// Whether the pixel's premultiplied channels are each within tolerance of
// the expected ones; the message names both on failure.
testing::AssertionResult pixelIs(const QImage& image, int x, int y, Rgba expected, int tolerance = 1);

// The bounding box of all pixels that differ from the background colour
// (empty when none do).
QRect inkBounds(const QImage& image, QColor background);

// How many pixels differ from the background.
int inkCount(const QImage& image, QColor background);

// A 100 × 100 white image with a render target and three solid brushes.
class DrawingTest : public testing::Test {
protected:
    gfx::GraphicsContext context;
    QImage image = makeImage(100, 100, Qt::white);
    gfx::RenderTarget target{context, image};
    gfx::SolidColorBrush redBrush{gfx::Color{1, 0, 0, 1}};
    gfx::SolidColorBrush blueBrush{gfx::Color{0, 0, 1, 1}};
    gfx::SolidColorBrush greenBrush{gfx::Color{0, 1, 0, 1}};
};

} // namespace GfxTest
