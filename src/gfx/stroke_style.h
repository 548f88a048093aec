#pragma once
// How outlines and lines are stroked: caps, joins, miter limit and dashes.
// Dash lengths and the dash offset are in multiples of the stroke width.
// Immutable once made; shared freely.

#include <span>
#include <vector>

namespace gfx {

enum class CapStyle : int { Flat = 0, Square = 1, Round = 2, Triangle = 3 };
enum class LineJoin : int { Miter = 0, Bevel = 1, Round = 2, MiterOrBevel = 3 };
enum class DashStyle : int { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Custom = 5 };

struct StrokeStyleProperties {
    CapStyle startCap = CapStyle::Flat;
    CapStyle endCap = CapStyle::Flat;
    CapStyle dashCap = CapStyle::Flat;
    LineJoin lineJoin = LineJoin::Miter;
    float miterLimit = 10.0f;
    DashStyle dashStyle = DashStyle::Solid;
    float dashOffset = 0.0f;
};

class StrokeStyle {
public:
    // dashes: the lengths of dash, gap, dash, ... for DashStyle::Custom (an
    // odd count repeats once more to pair up). Throws Kestra::COMException
    // (E_INVALIDARG, "ID2D1Factory::CreateStrokeStyle") for a value outside
    // its enumeration, custom dashes missing or given with another style, or
    // a negative or non-finite length.
    explicit StrokeStyle(const StrokeStyleProperties& properties, std::span<const float> dashes = {});

    const StrokeStyleProperties& properties() const { return properties_; }
    // The dash pattern in effect (the predefined styles' patterns included);
    // empty for solid strokes.
    const std::vector<float>& dashPattern() const { return pattern_; }

private:
    StrokeStyleProperties properties_;
    std::vector<float> pattern_;
};

} // namespace gfx
