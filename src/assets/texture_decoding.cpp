#include "assets/texture_decoding.h"

#include "base/byte_reader.h"

#include "gfx/texture_device.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string_view>


namespace assets {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t DdsHeaderSize = 128;
constexpr std::string_view TgaFooter{"TRUEVISION-XFILE.\0", 18};
constexpr std::size_t TgaHeaderSize = 18;

bool startsWith(Bytes bytes, std::string_view text)
{
    return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

bool endsWith(Bytes bytes, std::string_view text)
{
    return bytes.size() >= text.size()
           && std::memcmp(bytes.data() + bytes.size() - text.size(), text.data(), text.size()) == 0;
}

struct DxtKind {
    char fourCC[5];
    gfx::TextureFormat format;
    gfx::AlphaMode alpha;
    std::uint32_t blockBytes;
};

constexpr DxtKind DxtKinds[] = {
    {"DXT1", gfx::TextureFormat::BC1, gfx::AlphaMode::Straight, 8},
    {"DXT2", gfx::TextureFormat::BC2, gfx::AlphaMode::Premultiplied, 16},
    {"DXT3", gfx::TextureFormat::BC2, gfx::AlphaMode::Straight, 16},
    {"DXT4", gfx::TextureFormat::BC3, gfx::AlphaMode::Premultiplied, 16},
    {"DXT5", gfx::TextureFormat::BC3, gfx::AlphaMode::Straight, 16},
};

gfx::BitmapPtr decodeDds(Bytes file, gfx::TextureDevice& device)
{
    constexpr std::uint32_t PitchPresent = 0x8, FourCCPresent = 0x4;
    const DxtKind* kind = nullptr;
    if (base::readLe32(file.data() + 80) & FourCCPresent) {
        const auto found = std::find_if(std::begin(DxtKinds), std::end(DxtKinds), [&](const DxtKind& k) {
            return std::memcmp(file.data() + 84, k.fourCC, 4) == 0;
        });
        if (found != std::end(DxtKinds))
            kind = found;
    }
    if (!kind)
        throw std::runtime_error("Only DXT[n] and DX10 DDS files are supported");

    const std::uint32_t height = base::readLe32(file.data() + 12), width = base::readLe32(file.data() + 16);
    const std::uint64_t rowBytes = (std::uint64_t{width} + 3) / 4 * kind->blockBytes;
    const std::uint64_t pitch = base::readLe32(file.data() + 8) & PitchPresent
                                    ? base::readLe32(file.data() + 20)
                                    : std::max<std::uint64_t>(1, (std::uint64_t{width} + 3) / 4) * kind->blockBytes;
    const std::uint64_t blockRows = (std::uint64_t{height} + 3) / 4;
    const Bytes pixels = file.subspan(DdsHeaderSize);
    // Rows start pitch bytes apart; the last one must end within the file.
    // Bounding the pitch first keeps the product far from overflowing.
    const bool complete = blockRows == 0
                          || ((blockRows == 1 || pitch <= pixels.size())
                              && (blockRows - 1) * pitch + rowBytes <= pixels.size());
    if (!complete)
        throw std::runtime_error("Incomplete DDS file");
    return device.convert(width, height, pixels, pitch, kind->format, kind->alpha);
}

gfx::BitmapPtr decodeTga(Bytes file, gfx::TextureDevice& device)
{
    constexpr std::uint8_t TrueColour = 2;
    if (file[2] != TrueColour)
        throw std::runtime_error("Only truecolour TGA files are supported");
    const std::uint8_t depth = file[16];
    if (depth != 24 && depth != 32)
        throw std::runtime_error("Only 24bpp and 32bpp TGA files are supported");

    const std::size_t colourMapBytes = file[1] != 0 ? std::size_t{base::readLe16(file.data() + 5)} * (file[7] / 8) : 0;
    const std::size_t offset = TgaHeaderSize + file[0] + colourMapBytes;
    const std::uint32_t width = base::readLe16(file.data() + 12), height = base::readLe16(file.data() + 14);
    const std::size_t pitch = std::size_t{width} * (depth / 8);
    // The footer counts: a file short of pixels by no more than the footer's
    // size passes, and the footer's bytes become the last pixels.
    if (file.size() < offset + pitch * height)
        throw std::runtime_error("Incomplete TGA file");
    return device.convert(width, height, file.subspan(offset), pitch,
                          depth == 32 ? gfx::TextureFormat::B8G8R8A8 : gfx::TextureFormat::R8,
                          gfx::AlphaMode::Straight);
}

} // namespace

gfx::BitmapPtr DecodeTexture(const Mod::FilePtr& file, gfx::TextureDevice& device)
{
    if (!Mod::hasData(file))
        throw std::runtime_error("No texture file");
    const Bytes bytes(reinterpret_cast<const std::uint8_t*>(file->data), file->length);
    if (bytes.size() >= DdsHeaderSize && startsWith(bytes, "DDS "))
        return decodeDds(bytes, device);
    if (bytes.size() >= TgaHeaderSize + TgaFooter.size() && endsWith(bytes, TgaFooter))
        return decodeTga(bytes, device);
    throw std::runtime_error("Unrecognised image format");
}

} // namespace assets
