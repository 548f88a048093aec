#include "screen/rectangle_art.h"

#include "gfx/render_target.h"
#include "screen/device_geometry.h"

namespace screen {

RectangleArt::RectangleArt(ScreenView& screen, lua_State* lua, Properties properties)
    : ArtItem(screen, lua, ArtKind::Rectangle), properties_(std::move(properties))
{
}

RectangleArt::~RectangleArt() = default;

ui::HitResult RectangleArt::hitTest(float x, float y)
{
    const float alpha = properties_.colour.color.a;
    if (!(alpha > 0.0f) || !solidHitTest(x, y))
        return ui::HitResult::Miss;
    return alpha >= 1.0f ? ui::HitResult::Hit : ui::HitResult::Indeterminate;
}

void RectangleArt::paint(gfx::RenderTarget& target)
{
    if (!passesStateGate())
        return;
    const gfx::Rect rect{0.0f, 0.0f, width(), height()};
    if (!isDrawable(toDevice(target.transform(), rect)))
        return;
    if (!brush_)
        brush_ = std::make_unique<gfx::SolidColorBrush>(properties_.colour.color);
    if (properties_.border)
        drawPixelOutline(target, rect, *brush_);
    else
        target.fillRectangle(rect, *brush_);
}

} // namespace screen
