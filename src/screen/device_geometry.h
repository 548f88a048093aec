#pragma once
// Geometry in device pixels for the drawing of widgets and art items: mapping
// a rectangle through the scale and translation of the current transform,
// the test that a mapping is fit to draw, and the one-pixel outline.
//
// Screen files can give any number as a position or size (huge, infinite or
// not a number). A shape is drawn only when its device rectangle is finite
// and lies within DeviceLimit pixels of the origin in every direction; others
// are left out, so that no such value reaches the rasteriser.

#include "gfx/brush.h"
#include "gfx/geometry.h"
#include "gfx/matrix.h"

namespace gfx {
class RenderTarget;
}

namespace screen {

// Far beyond any screen: a shape reaching further is not drawn.
inline constexpr float DeviceLimit = 1.0e6f;

// The rectangle's corners mapped by m's scale and translation (m's shear
// terms are not used).
gfx::Rect toDevice(const gfx::Matrix& m, const gfx::Rect& rect);

// Whether every edge is finite and within DeviceLimit.
bool isDrawable(const gfx::Rect& deviceRect);
bool isDrawable(gfx::Point devicePoint);

// The outline rule: the rectangle (in the current transform's space) mapped
// to device pixels and widened to whole pixels (floor of left and top,
// ceiling of right and bottom); its ring of boundary pixels is filled with
// the brush, one device pixel wide at any zoom, corners included, each pixel
// once. A rectangle of no width is a vertical line one pixel wide, one of no
// height a horizontal line, one of neither a single pixel, wherever it falls.
// The transform is restored.
void drawPixelOutline(gfx::RenderTarget& target, const gfx::Rect& rect, const gfx::Brush& brush);

} // namespace screen
