#pragma once
// Decoding of BC1, BC2 and BC3 blocks into bitmap rows, for the texture
// device (whose header defines the results). Two implementations give the
// same bytes: a portable one, and one built on SSSE3 byte shuffles for the
// x86-64 processors that have them.

#include "gfx/bitmap.h"
#include "gfx/texture_device.h"

#include <cstddef>
#include <cstdint>

namespace gfx {

enum class BlockDecoder { Portable, Ssse3 };

// Whether this build and processor can run decoder.
bool available(BlockDecoder decoder);
// The fastest decoder available.
BlockDecoder fastestBlockDecoder();

// Decodes the blocks that cover bitmap (width, height and pixels already set)
// from rows of blocks starting at data + r · pitch, source row y going to
// bitmap row height − 1 − y. format is BC1, BC2 or BC3; the caller has checked
// that the rows lie within the data.
void decodeBlocks(BlockDecoder decoder, Bitmap& bitmap, TextureFormat format, const std::uint8_t* data,
                  std::size_t pitch, bool premultiply);

} // namespace gfx
