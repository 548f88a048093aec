#pragma once
// Decodes the game's texture files: DDS with DXT1 to DXT5 blocks and
// uncompressed 24- or 32-bit TGA. The file's pixels go unchanged to the
// texture device, which turns them into a premultiplied bitmap whose bottom
// row is the first row stored in the file.

#include "data/file_data.h"
#include "gfx/bitmap.h"

namespace gfx {
class TextureDevice;
}


namespace assets {

// Recognises file as DDS (at least 128 bytes starting with "DDS ") or TGA (at
// least 36 bytes ending in the "TRUEVISION-XFILE." footer), checks that it is
// a supported kind and converts its first image on device. Throws
// std::runtime_error with one of the messages "Unrecognised image format",
// "Only DXT[n] and DX10 DDS files are supported", "Only truecolour TGA files
// are supported", "Only 24bpp and 32bpp TGA files are supported",
// "Incomplete TGA file", "Incomplete DDS file" (pixel data shorter than width,
// height and pitch require), "No texture file" (file holds no FileData), or
// rethrows what the device throws when it refuses the image (a
// Kestra::COMException for a size or data it cannot hold).
gfx::BitmapPtr DecodeTexture(const Mod::FilePtr& file, gfx::TextureDevice& device);

} // namespace assets
