#include "gfx/stroke_style.h"

#include "base/errors.h"

#include <cmath>

namespace gfx {

namespace {
template <typename Enum>
bool inRange(Enum value, int high)
{
    const int v = static_cast<int>(value);
    return v >= 0 && v <= high;
}
} // namespace

StrokeStyle::StrokeStyle(const StrokeStyleProperties& properties, std::span<const float> dashes)
    : properties_(properties)
{
    const StrokeStyleProperties& p = properties;
    bool valid = inRange(p.startCap, 3) && inRange(p.endCap, 3) && inRange(p.dashCap, 3) &&
                 inRange(p.lineJoin, 3) && inRange(p.dashStyle, 5) && std::isfinite(p.miterLimit) &&
                 std::isfinite(p.dashOffset);
    const bool custom = p.dashStyle == DashStyle::Custom;
    valid = valid && (custom ? !dashes.empty() : dashes.empty());
    for (float length : dashes)
        valid = valid && std::isfinite(length) && length >= 0.0f;
    if (!valid)
        throw Kestra::COMException(Kestra::Hr::InvalidArgument, "ID2D1Factory::CreateStrokeStyle");

    switch (p.dashStyle) {
    case DashStyle::Solid: break;
    case DashStyle::Dash: pattern_ = {2, 2}; break;
    case DashStyle::Dot: pattern_ = {0, 2}; break;
    case DashStyle::DashDot: pattern_ = {2, 2, 0, 2}; break;
    case DashStyle::DashDotDot: pattern_ = {2, 2, 0, 2, 0, 2}; break;
    case DashStyle::Custom:
        pattern_.assign(dashes.begin(), dashes.end());
        if (pattern_.size() % 2 != 0)
            pattern_.insert(pattern_.end(), dashes.begin(), dashes.end());
        break;
    }
}

} // namespace gfx
