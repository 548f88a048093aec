#include "screen/view_resources.h"

#include "gfx/bitmap.h"
#include "gfx/graphics_context.h"
#include "gfx/resource_count.h"

namespace screen {

namespace {

gfx::StrokeStyle makeDashStroke()
{
    gfx::StrokeStyleProperties properties;
    properties.startCap = properties.endCap = properties.dashCap = gfx::CapStyle::Flat;
    properties.lineJoin = gfx::LineJoin::MiterOrBevel;
    properties.miterLimit = 10.0f;
    properties.dashStyle = gfx::DashStyle::Custom;
    properties.dashOffset = 0.0f;
    const float dashes[] = {4.0f, 4.0f};
    return gfx::StrokeStyle(properties, dashes);
}

gfx::TextFormatPtr makePlaceholderFormat(const gfx::GraphicsContext& graphics)
{
    gfx::TextFormatPtr format =
        graphics.createTextFormat(u"Microsoft Sans Serif", nullptr, gfx::FontWeight::Normal, gfx::FontStyle::Normal,
                                  gfx::FontStretch::Normal, 20.0f * 96.0f / 72.0f, u"en-us");
    format->setTextAlignment(gfx::TextAlignment::Center);
    format->setParagraphAlignment(gfx::ParagraphAlignment::Center);
    return format;
}

gfx::BitmapPtr makeCheckerboard()
{
    constexpr int side = 16, square = 8;
    auto bitmap = std::make_shared<gfx::Bitmap>();
    gfx::countResource(gfx::Resource::Bitmap);
    bitmap->width = bitmap->height = side;
    bitmap->pixels.assign(side * side * 4, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if ((x < square) == (y < square))
                bitmap->row(y)[4 * x + 3] = 32; // black, premultiplied: only alpha
    return bitmap;
}

template <class T, class... Args>
T& lazily(std::unique_ptr<T>& slot, Args&&... args)
{
    if (!slot)
        slot = std::make_unique<T>(std::forward<Args>(args)...);
    return *slot;
}

} // namespace

ViewResources::ViewResources(const gfx::GraphicsContext& graphics)
    : dashStroke_(makeDashStroke()), placeholderFormat_(makePlaceholderFormat(graphics))
{
}

ViewResources::~ViewResources() = default;

gfx::BitmapBrush& ViewResources::checkerboard()
{
    if (!checkerboard_) {
        checkerboard_ = std::make_unique<gfx::BitmapBrush>(makeCheckerboard(), gfx::BitmapInterpolationMode::Linear);
    }
    return *checkerboard_;
}

gfx::SolidColorBrush& ViewResources::black() { return lazily(black_, gfx::Color{0.0f, 0.0f, 0.0f, 1.0f}); }

gfx::SolidColorBrush& ViewResources::placeholderFill()
{
    return lazily(placeholderFill_, gfx::Color::fromBytes(213, 213, 213));
}

gfx::SolidColorBrush& ViewResources::placeholderLine()
{
    return lazily(placeholderLine_, gfx::Color::fromBytes(125, 125, 125));
}

gfx::Layer& ViewResources::emphasisLayer() { return lazily(emphasisLayer_); }

} // namespace screen
