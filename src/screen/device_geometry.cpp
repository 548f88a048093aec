#include "screen/device_geometry.h"

#include "gfx/render_target.h"

#include <cmath>

namespace screen {

namespace {

bool within(float value) { return std::isfinite(value) && std::fabs(value) <= DeviceLimit; }

} // namespace

gfx::Rect toDevice(const gfx::Matrix& m, const gfx::Rect& rect)
{
    return {rect.left * m.m11 + m.dx, rect.top * m.m22 + m.dy, rect.right * m.m11 + m.dx,
            rect.bottom * m.m22 + m.dy};
}

bool isDrawable(const gfx::Rect& r) { return within(r.left) && within(r.top) && within(r.right) && within(r.bottom); }

bool isDrawable(gfx::Point p) { return within(p.x) && within(p.y); }

void drawPixelOutline(gfx::RenderTarget& target, const gfx::Rect& rect, const gfx::Brush& brush)
{
    const gfx::Matrix m = target.transform();
    const gfx::Rect device = toDevice(m, rect);
    if (!isDrawable(device))
        return;
    const float left = std::floor(std::fmin(device.left, device.right));
    const float top = std::floor(std::fmin(device.top, device.bottom));
    // A rectangle without width or height on a pixel edge still gets its
    // line, the same one it gets between two edges.
    const float right = std::fmax(std::ceil(std::fmax(device.left, device.right)), left + 1.0f);
    const float bottom = std::fmax(std::ceil(std::fmax(device.top, device.bottom)), top + 1.0f);
    target.setTransform(gfx::Matrix::identity());
    // Four strips one pixel thick that do not overlap: the corners are whole
    // and a translucent brush covers every pixel once.
    const float innerTop = std::fmin(top + 1.0f, bottom), innerBottom = std::fmax(innerTop, bottom - 1.0f);
    target.fillRectangle({left, top, right, innerTop}, brush);
    if (bottom > innerTop)
        target.fillRectangle({left, innerBottom, right, bottom}, brush);
    if (innerBottom > innerTop) {
        target.fillRectangle({left, innerTop, std::fmin(left + 1.0f, right), innerBottom}, brush);
        if (right - 1.0f > left)
            target.fillRectangle({right - 1.0f, innerTop, right, innerBottom}, brush);
    }
    target.setTransform(m);
}

} // namespace screen
