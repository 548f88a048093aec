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
    const float right = std::ceil(std::fmax(device.left, device.right));
    const float bottom = std::ceil(std::fmax(device.top, device.bottom));
    target.setTransform(gfx::Matrix::identity());
    // A one-pixel stroke centred on a pixel boundary would cover two pixels
    // at half strength; centred half a pixel inside it covers one fully.
    target.drawRectangle({left + 0.5f, top + 0.5f, std::fmax(left + 0.5f, right - 0.5f),
                          std::fmax(top + 0.5f, bottom - 0.5f)},
                         brush, 1.0f);
    target.setTransform(m);
}

} // namespace screen
