#pragma once
// How to fix a texture file that the decoder rejects (texture_decoding.h):
// what the file really is, told by its bytes (a PNG, JPEG, BMP or GIF
// image, a TGA without the TGA 2.0 footer, a run-length coded, colour-mapped,
// greyscale or 16-bit TGA, a DX10 or uncompressed DDS, a file shorter than
// its header says), what to save it as instead, and that the first stored
// row is drawn at the bottom.

#include <string>
#include <string_view>

namespace assets {

// The hint for a file whose decoding failed with the decoder's message.
std::string textureHint(std::string_view bytes, std::string_view message);

} // namespace assets
