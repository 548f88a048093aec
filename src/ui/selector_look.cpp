#include "ui/selector_look.h"

#include "gfx/graphics_context.h"

namespace ui {

namespace {

gfx::TextFormatPtr centredFormat(const gfx::GraphicsContext& graphics, float points)
{
    gfx::TextFormatPtr format = graphics.createStandardTextFormat(gfx::FontWeight::Normal, points * 96.0f / 72.0f);
    format->setParagraphAlignment(gfx::ParagraphAlignment::Center);
    return format;
}

} // namespace

SelectorLook::SelectorLook(const gfx::GraphicsContext& context)
    : graphics_(&context), headerFormat_(centredFormat(context, 12)), itemFormat_(centredFormat(context, 10))
{
}

SelectorBrushes& SelectorLook::brushes()
{
    if (!brushes_)
        brushes_ = std::make_unique<SelectorBrushes>();
    return *brushes_;
}

const gfx::StrokeStyle& SelectorLook::focusStroke()
{
    if (!focusStroke_) {
        gfx::StrokeStyleProperties properties;
        properties.dashStyle = gfx::DashStyle::Dot;
        focusStroke_ = std::make_unique<gfx::StrokeStyle>(properties);
    }
    return *focusStroke_;
}

} // namespace ui
