// What a render target keeps between frames: each kind of drawing call,
// under transforms that scale, rotate and shift by fractions of a pixel,
// laid over a background of random translucent pixels, with and without
// clips that cut them, draws in the third frame (laid down from what the
// second kept) exactly what a target that keeps nothing draws, and so does
// a call kept under one clip and met under another; a bitmap freed and
// another made where it was is not mistaken for it; calls outside the clip
// draw nothing; and a measuring target's ink holds every pixel the calls
// change.

#include "gfx/bitmap_render_target.h"
#include "gfx/graphics_context.h"
#include "gfx/ink_meter.h"
#include "gfx/render_target.h"
#include "gfx/text_format.h"
#include "gfx/text_layout.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace gfx;

constexpr int Side = 96;

// A picture of random translucent premultiplied pixels.
BitmapPtr randomPicture(int width, int height, std::uint32_t seed)
{
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < bitmap->pixels.size(); i += 4) {
        seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
        const std::uint8_t alpha = static_cast<std::uint8_t>(seed >> 24);
        for (int c = 0; c < 3; ++c)
            bitmap->pixels[i + c] = static_cast<std::uint8_t>(((seed >> (8 * c)) & 0xff) * alpha / 255);
        bitmap->pixels[i + 3] = alpha;
    }
    return bitmap;
}

struct Call {
    const char* name;
    std::function<void(RenderTarget&)> draw;
};

class KeptDrawingTest : public testing::Test {
protected:
    // Draws background then call (under clip, if any) on target for one
    // frame; the picture.
    BitmapPtr frame(BitmapRenderTarget& target, const Matrix& transform, const Call& call,
                    const Rect* clip = nullptr)
    {
        target.beginDraw();
        target.setTransform(Matrix::identity());
        target.clear(Color{0, 0, 0, 0});
        target.drawBitmap(*background, {0, 0, float(Side), float(Side)}, 1.0f, BitmapInterpolationMode::NearestNeighbor);
        if (clip)
            target.pushAxisAlignedClip(*clip);
        target.setTransform(transform);
        call.draw(target);
        if (clip)
            target.popAxisAlignedClip();
        target.endDraw();
        return target.bitmap();
    }

    GraphicsContext context;
    const BitmapPtr background = randomPicture(Side, Side, 12345);
    const BitmapPtr texture = randomPicture(16, 12, 777);
    SolidColorBrush translucent{Color{0.2f, 0.6f, 0.9f, 0.7f}};
    SolidColorBrush opaque{Color{0.9f, 0.1f, 0.2f, 1.0f}};
    const GradientStop stops[2] = {{0.0f, {1.0f, 1.0f, 0.2f, 1.0f}}, {1.0f, {0.1f, 0.2f, 0.9f, 1.0f}}};
    LinearGradientBrush gradient{{0, 10}, {0, 40}, std::make_shared<GradientStopCollection>(stops)};
    BitmapBrush tiles{randomPicture(5, 7, 4242), BitmapInterpolationMode::Linear};
    TextFormatPtr format = context.createTextFormat(u"DejaVu Sans", nullptr, FontWeight::Normal, FontStyle::Italic,
                                                    FontStretch::Normal, 19.0f, u"en-us");
};

TEST_F(KeptDrawingTest, EveryKindOfCallKeptIsDrawnAsAfresh)
{
    const TextLayout text(context, u"Wavy fjord, AV Tå", *format, 90.0f, 60.0f);
    const Call calls[] = {
        {"a translucent fill", [&](RenderTarget& t) { t.fillRectangle({3.3f, 4.6f, 40.2f, 31.7f}, translucent); }},
        {"an opaque fill", [&](RenderTarget& t) { t.fillRectangle({10.5f, 2.25f, 60.75f, 20.5f}, opaque); }},
        {"an outline", [&](RenderTarget& t) { t.drawRectangle({5.5f, 5.5f, 50.2f, 40.8f}, translucent, 2.5f); }},
        {"a rounded fill", [&](RenderTarget& t) { t.fillRoundedRectangle({{4, 4, 60, 50}, 9, 6}, gradient); }},
        {"a line", [&](RenderTarget& t) { t.drawLine({2.2f, 70.1f}, {80.6f, 3.3f}, opaque, 1.0f); }},
        {"a scaled texture at an opacity",
         [&](RenderTarget& t) { t.drawBitmap(texture, {6.4f, 8.2f, 71.9f, 55.5f}, 0.6f); }},
        {"a mirrored texture",
         [&](RenderTarget& t) { t.drawBitmap(texture, {-60.2f, 3.5f, -4.1f, 45.0f}, 1.0f); }},
        {"text in a solid colour", [&](RenderTarget& t) { t.drawTextLayout({2.4f, 1.7f}, text, opaque); }},
        {"text in a gradient", [&](RenderTarget& t) { t.drawTextLayout({2.4f, 1.7f}, text, gradient); }},
        {"text in a translucent colour", [&](RenderTarget& t) { t.drawTextLayout({1.1f, 5.9f}, text, translucent); }},
        {"a fill with a tiled bitmap", [&](RenderTarget& t) { t.fillRectangle({2.5f, 3.0f, 77.0f, 66.4f}, tiles); }},
    };
    const struct {
        const char* name;
        Matrix transform;
    } transforms[] = {
        {"untransformed", Matrix::identity()},
        {"scaled and shifted by fractions", Matrix{1.37f, 0, 0, 0.81f, 3.4f, 7.7f}},
        {"mirrored", Matrix{-1.0f, 0, 0, 1.0f, 92.0f, 0.5f}},
        {"rotated", Matrix::rotation(17.0f) * Matrix::translation(20.25f, -3.5f)},
    };
    // The painter blends what a clip cuts otherwise than what it leaves
    // whole.
    const Rect wide{-20, -20, 120, 120}, cutting{12.5f, 9, 61, 47};
    const struct {
        const char* name;
        const Rect* rect;
    } clips[] = {{"no clip", nullptr}, {"a clip around it all", &wide}, {"a clip cutting it", &cutting}};
    BitmapRenderTarget kept(context, Side, Side), afresh(context, Side, Side), warmUp(context, Side, Side);
    afresh.setRetainedDrawing(false);
    warmUp.setRetainedDrawing(false);
    for (const auto& [transformName, transform] : transforms) {
        for (const Call& call : calls) {
            for (const auto& [clipName, clip] : clips) {
                SCOPED_TRACE(std::string(call.name) + ", " + transformName + ", " + clipName);
                frame(warmUp, transform, call, clip); // the text system fills its caches on first sight
                for (int i = 1; i <= 3; ++i) {
                    const BitmapPtr expected = frame(afresh, transform, call, clip);
                    const BitmapPtr got = frame(kept, transform, call, clip);
                    ASSERT_EQ(std::memcmp(expected->pixels.data(), got->pixels.data(), expected->pixels.size()), 0)
                        << "frame " << i;
                }
            }
        }
    }
}

TEST_F(KeptDrawingTest, ACallKeptUnderOneClipIsDrawnAsAfreshUnderAnother)
{
    // What a window repainting a small damaged part does: the same calls
    // under the whole frame's clip, then under one that cuts some of them.
    const Call call{"shapes", [&](RenderTarget& t) {
                        t.fillRoundedRectangle({{4, 4, 60, 50}, 9, 6}, translucent);
                        t.drawLine({2.2f, 70.1f}, {80.6f, 3.3f}, opaque, 1.5f);
                        t.drawBitmap(texture, {30.4f, 20.2f, 71.9f, 65.5f}, 0.8f);
                    }};
    const Rect whole{0, 0, float(Side), float(Side)}, damage{25, 15, 50, 40};
    const Rect* sequence[] = {&whole, &whole, &whole, &damage, &damage, &damage, &whole, &damage, nullptr, &damage};
    BitmapRenderTarget kept(context, Side, Side), afresh(context, Side, Side);
    afresh.setRetainedDrawing(false);
    const Matrix rotated = Matrix::rotation(-9.0f) * Matrix::translation(6.5f, 12.25f);
    int n = 0;
    for (const Rect* clip : sequence) {
        SCOPED_TRACE(testing::Message() << "frame " << ++n);
        const BitmapPtr expected = frame(afresh, rotated, call, clip);
        const BitmapPtr got = frame(kept, rotated, call, clip);
        ASSERT_EQ(std::memcmp(expected->pixels.data(), got->pixels.data(), expected->pixels.size()), 0);
    }
}

TEST_F(KeptDrawingTest, ABitmapMadeWhereAnotherWasIsNotTakenForIt)
{
    const Rect where{10, 10, 70, 60};
    const struct {
        const char* name;
        std::function<void(RenderTarget&, const BitmapPtr&)> draw;
    } uses[] = {
        {"drawn", [&](RenderTarget& t, const BitmapPtr& bitmap) { t.drawBitmap(bitmap, where); }},
        {"a brush", [&](RenderTarget& t, const BitmapPtr& bitmap) { t.fillRectangle(where, BitmapBrush(bitmap)); }},
    };
    for (const auto& use : uses) {
        SCOPED_TRACE(use.name);
        BitmapRenderTarget kept(context, Side, Side), afresh(context, Side, Side);
        afresh.setRetainedDrawing(false);
        BitmapPtr first = randomPicture(8, 8, 1);
        for (int i = 0; i < 2; ++i)
            frame(kept, Matrix::identity(), {"first", [&](RenderTarget& t) { use.draw(t, first); }});
        const Bitmap* address = first.get();
        first.reset();
        // Most often at the same address, with other pixels.
        BitmapPtr second = randomPicture(8, 8, 2);
        const Call call{"second", [&](RenderTarget& t) { use.draw(t, second); }};
        const BitmapPtr got = frame(kept, Matrix::identity(), call);
        const BitmapPtr expected = frame(afresh, Matrix::identity(), call);
        EXPECT_EQ(got->pixels, expected->pixels) << (second.get() == address ? "at the same address" : "elsewhere");
    }
}

TEST_F(KeptDrawingTest, CallsOutsideTheClipDrawNothingAndInsideItDrawTheirPart)
{
    BitmapRenderTarget kept(context, Side, Side), afresh(context, Side, Side);
    afresh.setRetainedDrawing(false);
    const Call call{"fills around a clip", [&](RenderTarget& t) {
                        t.pushAxisAlignedClip({20, 20, 50, 50});
                        t.fillRectangle({0, 0, 19.5f, 90}, opaque);     // outside
                        t.fillRectangle({40.5f, 45, 90, 90}, translucent); // partly inside
                        t.drawBitmap(texture, {55, 55, 90, 90});         // outside
                        t.popAxisAlignedClip();
                    }};
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(frame(kept, Matrix::identity(), call)->pixels, frame(afresh, Matrix::identity(), call)->pixels)
            << "frame " << i;
}

TEST_F(KeptDrawingTest, InkHoldsEveryPixelTheCallsChange)
{
    const TextLayout text(context, u"Ink of glyphs, wide and tall ÅÉ", *format, 40.0f, 10.0f);
    const Call calls[] = {
        {"a fill", [&](RenderTarget& t) { t.fillRectangle({3.3f, 4.6f, 40.2f, 31.7f}, opaque); }},
        {"a thick outline", [&](RenderTarget& t) { t.drawRectangle({20, 20, 60, 50}, opaque, 6.0f); }},
        {"a line", [&](RenderTarget& t) { t.drawLine({10, 80}, {80, 10}, opaque, 3.0f); }},
        {"a texture", [&](RenderTarget& t) { t.drawBitmap(texture, {10, 10, 50, 40}); }},
        {"text overflowing its box", [&](RenderTarget& t) { t.drawTextLayout({5, 30}, text, opaque); }},
    };
    for (const Call& call : calls) {
        for (const Matrix& transform : {Matrix::identity(), Matrix::rotation(30) * Matrix::translation(40, 0)}) {
            SCOPED_TRACE(call.name);
            InkMeter meter(context);
            meter.beginDraw();
            meter.setTransform(transform);
            call.draw(meter);
            meter.endDraw();
            const Rect ink = meter.ink();

            BitmapRenderTarget drawn(context, 200, 200);
            drawn.setRetainedDrawing(false);
            drawn.beginDraw();
            drawn.setTransform(transform);
            call.draw(drawn);
            drawn.endDraw();
            const BitmapPtr picture = drawn.bitmap();
            int outside = 0, inside = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 200; ++x)
                    if (picture->row(y)[4 * x + 3]) {
                        const bool in = x >= ink.left && x < ink.right && y >= ink.top && y < ink.bottom;
                        (in ? inside : outside)++;
                    }
            EXPECT_GT(inside, 0);
            EXPECT_EQ(outside, 0) << "ink " << ink.left << "," << ink.top << " to " << ink.right << "," << ink.bottom;
        }
    }
}

} // namespace
