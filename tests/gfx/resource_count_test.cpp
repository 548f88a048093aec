#include "gfx/resource_count.h"

#include "gfx/bitmap_render_target.h"
#include "gfx/brush.h"
#include "gfx/graphics_context.h"
#include "gfx/layer.h"
#include "gfx/text_layout.h"
#include "gfx/texture_device.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>

namespace gfx {
void PrintTo(const ResourceCounts& c, std::ostream* out)
{
    *out << "{brushes " << c.brushes << ", layouts " << c.textLayouts << ", bitmaps " << c.bitmaps << ", layers "
         << c.layers << "}";
}
} // namespace gfx

namespace {

using namespace gfx;

// The counts grown by what f makes, kind by kind.
template <class F>
ResourceCounts madeBy(F&& f)
{
    const ResourceCounts before = resourceCounts();
    f();
    const ResourceCounts after = resourceCounts();
    return {after.brushes - before.brushes, after.textLayouts - before.textLayouts,
            after.bitmaps - before.bitmaps, after.layers - before.layers};
}

TEST(ResourceCountTest, EachKindIsCountedWhereItIsMade)
{
    GraphicsContext context;
    const TextFormatPtr format = context.createStandardTextFormat(FontWeight::Normal, 12.0f);
    struct Case {
        const char* what;
        std::function<void()> make;
        ResourceCounts expected;
    };
    const std::array<std::uint8_t, 16> pixels{};
    const std::vector<Case> cases{
        {"solid brush", [] { SolidColorBrush brush({1, 0, 0, 1}); }, {1, 0, 0, 0}},
        {"copied brush",
         [] {
             SolidColorBrush brush({1, 0, 0, 1});
             SolidColorBrush copy = brush;
             (void)copy;
         },
         {2, 0, 0, 0}},
        {"gradient brush",
         [] {
             const GradientStop stops[] = {{0, {0, 0, 0, 1}}, {1, {1, 1, 1, 1}}};
             LinearGradientBrush brush({0, 0}, {0, 1}, std::make_shared<GradientStopCollection>(stops));
         },
         {1, 0, 0, 0}},
        {"text layout", [&] { TextLayout layout(context, u"text", *format, 100, 20); }, {0, 1, 0, 0}},
        {"bitmap of a render target",
         [&] {
             BitmapRenderTarget target(context, 4, 4);
             (void)target.bitmap();
             (void)target.bitmap();
         },
         {0, 0, 2, 0}},
        {"converted texture",
         [&] {
             TextureDevice device;
             (void)device.convert(2, 2, pixels, 8, TextureFormat::B8G8R8A8, AlphaMode::Straight);
         },
         {0, 0, 1, 0}},
        {"layer", [] { Layer layer; }, {0, 0, 0, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(madeBy(c.make), c.expected) << c.what;
}

} // namespace
