#pragma once
// A converted bitmap as the bytes of an RGBA PNG file: what tise-cli writes
// with -o and the viewer saves and copies.

#include "gfx/bitmap.h"

#include <string>

namespace gfx {

// The PNG of bitmap. With straight alpha (the default) each colour channel
// is divided by alpha: min(255, round(c·255/a)), and a pixel with alpha 0
// becomes (0, 0, 0, 0). With premultiplied the bitmap's bytes are stored
// unchanged. Throws std::runtime_error "Cannot encode PNG" when the picture
// cannot be made (too large for memory).
std::string encodePng(const Bitmap& bitmap, bool premultiplied = false);

} // namespace gfx
