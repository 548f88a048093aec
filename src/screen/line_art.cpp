#include "screen/line_art.h"

#include "gfx/render_target.h"
#include "screen/device_geometry.h"

namespace screen {

LineArt::LineArt(ScreenView& screen, lua_State* lua, Properties properties)
    : ArtItem(screen, lua, ArtKind::Line), properties_(std::move(properties))
{
}

LineArt::~LineArt() = default;

void LineArt::paint(gfx::RenderTarget& target)
{
    if (!passesStateGate())
        return;
    const gfx::Matrix m = target.transform();
    const gfx::Point from = m.transformPoint(properties_.p1);
    const gfx::Point to = m.transformPoint(properties_.p2);
    if (!isDrawable(from) || !isDrawable(to))
        return;
    if (!brush_)
        brush_ = std::make_unique<gfx::SolidColorBrush>(properties_.colour.color);
    target.setTransform(gfx::Matrix::identity());
    target.drawLine(from, to, *brush_, 1.0f);
    target.setTransform(m);
}

} // namespace screen
