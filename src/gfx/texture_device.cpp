#include "gfx/texture_device.h"

#include "base/byte_reader.h"
#include "base/errors.h"
#include "base/result_codes.h"

#include "gfx/block_decoding.h"
#include "gfx/premultiply.h"
#include "gfx/resource_count.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace gfx {

namespace {

// Output row of source row y: the rows come out in reverse order.
std::uint8_t* targetRow(Bitmap& bitmap, int y) { return bitmap.row(bitmap.height - 1 - y); }

void convertColour(Bitmap& bitmap, const std::uint8_t* data, std::size_t pitch, bool premultiplying)
{
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width) * 4;
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = data + static_cast<std::size_t>(y) * pitch;
        std::uint8_t* out = targetRow(bitmap, y);
        if (!premultiplying) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        std::size_t x = 0;
#if defined(__SSE2__)
        for (; x + 16 <= rowBytes; x += 16) {
            const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), premultiplyFour(pixels));
        }
#endif
        for (; x < rowBytes; x += 4) {
            const Pixel p = premultiply(base::readLe32(in + x));
            std::memcpy(out + x, &p, 4);
        }
    }
}

// Alpha is 1, so premultiplying leaves these pixels as they are.
void convertPacked24(Bitmap& bitmap, const std::uint8_t* data, std::size_t pitch)
{
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = data + static_cast<std::size_t>(y) * pitch;
        std::uint8_t* out = targetRow(bitmap, y);
        for (int x = 0; x < bitmap.width; ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 255;
        }
    }
}

struct Layout {
    std::uint32_t sourceWidth; // in texels
    std::size_t rowBytes;      // bytes of one row (of pixels or of blocks)
    std::uint32_t rows;        // rows of pixels or of blocks
};

Layout layoutOf(TextureFormat format, std::uint32_t width, std::uint32_t height)
{
    const auto blocks = [&](std::size_t blockBytes) {
        return Layout{width, (width + 3) / 4 * blockBytes, (height + 3) / 4};
    };
    switch (format) {
    case TextureFormat::R8: return {3 * width, 3 * std::size_t{width}, height};
    case TextureFormat::BC1: return blocks(8);
    case TextureFormat::BC2: return blocks(16);
    case TextureFormat::BC3: return blocks(16);
    case TextureFormat::B8G8R8A8: return {width, 4 * std::size_t{width}, height};
    }
    throw std::runtime_error("Unsupported texture format " + std::to_string(static_cast<std::uint32_t>(format)));
}

// What the device answers for a texture it cannot create: a side of 0 or
// beyond its limits, or initial data that ends before the last row.
Kestra::COMException refused() { return {Kestra::Hr::InvalidArgument, "ID3D10Device::CreateTexture2D"}; }

} // namespace

BitmapPtr TextureDevice::convert(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> data,
                                 std::size_t pitch, TextureFormat format, AlphaMode alpha)
{
    if (alpha != AlphaMode::Unknown && alpha != AlphaMode::Premultiplied && alpha != AlphaMode::Straight)
        throw std::runtime_error("Unsupported alpha mode " + std::to_string(static_cast<std::uint32_t>(alpha)));
    // Width and height are at most 8192 from here on, so sizes below cannot overflow.
    if (width == 0 || height == 0 || width > MaxTextureSide || height > MaxTextureSide)
        throw refused();
    const Layout layout = layoutOf(format, width, height);
    if (layout.sourceWidth > MaxTextureSide)
        throw refused();
    if (layout.rows > 1 && pitch < layout.rowBytes)
        throw std::runtime_error("Texture row pitch " + std::to_string(pitch) + " is smaller than a row of "
                                 + std::to_string(layout.rowBytes) + " bytes");
    if ((layout.rows > 1 && pitch > data.size()) || (layout.rows - 1) * pitch + layout.rowBytes > data.size())
        throw refused();

    if (alpha == AlphaMode::Premultiplied)
        premultiplying_ = false;
    else if (alpha == AlphaMode::Straight)
        premultiplying_ = true;

    auto bitmap = std::make_shared<Bitmap>();
    countResource(Resource::Bitmap);
    bitmap->width = static_cast<int>(width);
    bitmap->height = static_cast<int>(height);
    bitmap->pixels.resize(std::size_t{width} * height * 4);
    const std::uint8_t* in = data.data();
    switch (format) {
    case TextureFormat::R8: convertPacked24(*bitmap, in, pitch); break;
    case TextureFormat::BC1:
    case TextureFormat::BC2:
    case TextureFormat::BC3: decodeBlocks(fastestBlockDecoder(), *bitmap, format, in, pitch, premultiplying_); break;
    case TextureFormat::B8G8R8A8: convertColour(*bitmap, in, pitch, premultiplying_); break;
    }
    return bitmap;
}

} // namespace gfx
