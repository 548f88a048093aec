// The texture readers: the input decoded as a DDS or TGA file through
// DecodeTexture, and handed to the texture conversion directly, its first
// bytes choosing size, pitch, format and alpha mode and the rest as the data.

#include "fuzz_bytes.h"

#include "assets/texture_decoding.h"
#include "base/errors.h"
#include "gfx/texture_device.h"

#include <cstdint>
#include <span>
#include <stdexcept>

namespace {

constexpr gfx::TextureFormat Formats[] = {gfx::TextureFormat::R8, gfx::TextureFormat::BC1, gfx::TextureFormat::BC2,
                                          gfx::TextureFormat::BC3, gfx::TextureFormat::B8G8R8A8};
constexpr std::size_t ParameterBytes = 8;

std::size_t rowBytes(std::uint32_t width, gfx::TextureFormat format)
{
    switch (format) {
    case gfx::TextureFormat::R8: return std::size_t{width} * 3;
    case gfx::TextureFormat::BC1: return (std::size_t{width} + 3) / 4 * 8;
    case gfx::TextureFormat::BC2:
    case gfx::TextureFormat::BC3: return (std::size_t{width} + 3) / 4 * 16;
    case gfx::TextureFormat::B8G8R8A8: break;
    }
    return std::size_t{width} * 4;
}

void convertDirectly(const std::uint8_t* data, std::size_t size)
{
    if (size < ParameterBytes)
        return;
    // Sides up to 63 (0 included, which the device refuses); the pitch a
    // little short of, equal to or beyond the row.
    const std::uint32_t width = data[0] & 63, height = data[1] & 63;
    const gfx::TextureFormat format = Formats[data[2] % std::size(Formats)];
    const auto alpha = static_cast<gfx::AlphaMode>(data[3] % 4); // 3: no alpha mode
    const std::size_t row = rowBytes(width, format);
    const std::size_t pitch = data[4] & 0x80 ? row + (data[4] & 0x3F) : (row > (data[4] & 7u) ? row - (data[4] & 7u) : 0);
    gfx::TextureDevice device;
    if (data[5] & 1) // a previous conversion chooses what Unknown means
        device.convert(1, 1, std::span<const std::uint8_t>(data, 4), 4, gfx::TextureFormat::B8G8R8A8,
                       gfx::AlphaMode::Premultiplied);
    device.convert(width, height, std::span<const std::uint8_t>(data + ParameterBytes, size - ParameterBytes), pitch,
                   format, alpha);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        gfx::TextureDevice device;
        const gfx::BitmapPtr bitmap = assets::DecodeTexture(Fuzz::heapFile(data, size), device);
        if (!bitmap || bitmap->pixels.size() != std::size_t(bitmap->width) * bitmap->height * 4)
            __builtin_trap(); // a decoded texture is a whole bitmap
    } catch (const std::runtime_error&) {
    } catch (const Kestra::COMException&) {
    }
    try {
        convertDirectly(data, size);
    } catch (const std::runtime_error&) {
    } catch (const Kestra::COMException&) {
    }
    return 0;
}
