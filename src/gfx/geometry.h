#pragma once
// Points, sizes and rectangles of the graphics layer, in device-independent
// pixels (DIPs, 96 per inch) unless a caller says otherwise.

namespace gfx {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

struct Size {
    float width = 0.0f;
    float height = 0.0f;
};

// Edges, not origin and size: (left, top) to (right, bottom).
struct Rect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    float width() const { return right - left; }
    float height() const { return bottom - top; }
};

struct RoundedRect {
    Rect rect;
    float radiusX = 0.0f;
    float radiusY = 0.0f;
};

} // namespace gfx
