#pragma once
// Turns texture data as the loaders hand it over (block-compressed, 32-bit
// colour or packed 24-bit rows, with straight or premultiplied alpha) into the
// premultiplied BGRA bitmap that the render target draws. The conversion runs
// on the processor and gives, byte for byte, the result defined below.
//
// What every conversion does:
// - The bitmap is width × height; its rows are the source rows in reverse
//   order (the first row handed over becomes the bottom row).
// - Source rows start at data + row · pitch; for block formats a row is a row
//   of 4×4 blocks. Images whose sides are not multiples of 4 decode the blocks
//   that cover them and keep only width × height pixels.
// - Straight alpha is premultiplied: each colour channel becomes c·a/255
//   rounded to nearest. Premultiplied sources are copied unchanged.
//
// Block decoding. Every channel value is the exact value the block describes,
// rounded to nearest (halves up), computed from the stored endpoints rather
// than from already rounded 8-bit ones:
// - 5- and 6-bit endpoints: round(x·255/31), round(x·255/63);
// - colour thirds: round(255·(2·x0 + x1)/(3·m)) with m = 31 or 63;
// - colour halves (BC1 three-colour mode): round(255·(x0 + x1)/(2·m));
// - BC1 with endpoint 0 ≤ endpoint 1 (as 16-bit numbers) uses three colours
//   and index 3 is transparent black (0, 0, 0, 0); BC2 and BC3 colour blocks
//   always use four colours; BC1 colours are opaque;
// - BC2 alpha: the 4-bit value times 17;
// - BC3 alpha: with a0 > a1 eight values, index i in 2..7 being
//   round(((8 − i)·a0 + (i − 1)·a1)/7); otherwise six, index i in 2..5 being
//   round(((6 − i)·a0 + (i − 1)·a1)/5), index 6 = 0 and index 7 = 255.

#include "gfx/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace gfx {

// Source formats, numbered as their DXGI formats.
enum class TextureFormat : std::uint32_t {
    R8 = 61,       // packed 24-bit rows: 3·width bytes, blue, green, red per pixel; alpha 1
    BC1 = 71,      // DXT1: 8 bytes a block
    BC2 = 74,      // DXT2/DXT3: 16 bytes a block, explicit 4-bit alpha
    BC3 = 77,      // DXT4/DXT5: 16 bytes a block, interpolated alpha
    B8G8R8A8 = 87, // 4 bytes a pixel: blue, green, red, alpha
};

// How the source's alpha relates to its colour, numbered as Direct2D's alpha
// modes. Unknown keeps what the previous conversion of the device did
// (premultiplying when there was none).
enum class AlphaMode : std::uint32_t {
    Unknown = 0,
    Premultiplied = 1,
    Straight = 2,
};

class TextureDevice {
public:
    // The largest side of a source texture, in texels (packed 24-bit sources
    // are 3·width texels wide).
    static constexpr std::uint32_t MaxTextureSide = 8192;

    // Converts width × height pixels whose first row starts at data.data().
    // The rows must lie within data. Throws Kestra::COMException with
    // Hr::InvalidArgument and "ID3D10Device::CreateTexture2D", as the device
    // refuses such a texture, when the size is 0 or beyond MaxTextureSide or
    // data is too short for the rows; std::runtime_error when pitch is smaller
    // than a row and there is more than one row, or when format or alpha is
    // none of the above.
    BitmapPtr convert(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> data,
                      std::size_t pitch, TextureFormat format, AlphaMode alpha);

private:
    // The alpha treatment left by the last conversion.
    bool premultiplying_ = true;
};

} // namespace gfx
