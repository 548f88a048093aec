#pragma once
// A bitmap the render target can draw: premultiplied BGRA, 8 bits a channel,
// rows top to bottom, 4 × width bytes a row, at 96 DPI (one texel is one
// device-independent pixel). The layout is QImage's ARGB32_Premultiplied on
// little-endian machines, so the graphics layer draws it without conversion.

#include <cstdint>
#include <memory>
#include <vector>

namespace gfx {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes: B, G, R, A premultiplied

    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
};

using BitmapPtr = std::shared_ptr<const Bitmap>;

} // namespace gfx
