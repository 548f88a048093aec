#include "gfx/matrix.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gfx {

Matrix Matrix::rotation(float degrees)
{
    const double radians = degrees * std::numbers::pi / 180.0;
    const auto c = static_cast<float>(std::cos(radians));
    const auto s = static_cast<float>(std::sin(radians));
    return {c, s, -s, c, 0, 0};
}

bool Matrix::invert()
{
    const float d = determinant();
    if (d == 0.0f || !std::isfinite(d))
        return false;
    const Matrix m = *this;
    m11 = m.m22 / d;
    m12 = -m.m12 / d;
    m21 = -m.m21 / d;
    m22 = m.m11 / d;
    dx = (m.m21 * m.dy - m.m22 * m.dx) / d;
    dy = (m.m12 * m.dx - m.m11 * m.dy) / d;
    return true;
}

Rect Matrix::transformBounds(const Rect& r) const
{
    Rect bounds{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const Point corner : {Point{r.left, r.top}, Point{r.right, r.top}, Point{r.left, r.bottom},
                               Point{r.right, r.bottom}}) {
        const Point p = transformPoint(corner);
        bounds.left = std::min(bounds.left, p.x), bounds.right = std::max(bounds.right, p.x);
        bounds.top = std::min(bounds.top, p.y), bounds.bottom = std::max(bounds.bottom, p.y);
    }
    return bounds;
}

} // namespace gfx
