#pragma once
// A colour as four floats from 0 to 1: red, green, blue and straight
// (not premultiplied) alpha.

namespace gfx {

struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;

    // From 0-255 channel values, as game data and fixed UI colours give them.
    static constexpr Color fromBytes(int r, int g, int b, int a = 255)
    {
        return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
    }
};

} // namespace gfx
