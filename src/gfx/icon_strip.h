#pragma once
// The program's own icon pictures: a PNG carried in the program's resources
// (or given as bytes) decoded into a 32-bit bitmap with rows from top to
// bottom, 4 × width bytes a row with no padding, each pixel blue, green,
// red, alpha in memory order with straight (not premultiplied) alpha. A
// picture without alpha comes out opaque; paletted and grey pictures are
// converted.
//
// Errors:
//   std::runtime_error "Could not load resource " + name   (no such resource)
//   Kestra::COMException (ComponentNotFound, "IWICImagingFactory::CreateDecoderFromStream")
//                                                           (bytes that are no picture)
//   std::runtime_error "Empty source"                       (a picture of no pixels)
//   std::runtime_error "Couldn't create DIB section"        (no memory for the pixels)

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

struct IconStrip {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // B, G, R, A straight; top row first

    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
};

// The picture stored in the program's resources under name.
IconStrip loadIconResource(const std::string& name);

// A picture from its file bytes.
IconStrip decodeIconStrip(const std::uint8_t* bytes, std::size_t size);

} // namespace gfx
