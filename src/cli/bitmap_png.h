#pragma once
// Writes a converted bitmap as an RGBA PNG file.

#include "gfx/bitmap.h"

#include <string>

namespace cli {

// Writes bitmap to path. With straight alpha (the default) each colour channel
// is divided by alpha: min(255, round(c·255/a)), and a pixel with alpha 0
// becomes (0, 0, 0, 0). With premultiplied the bitmap's bytes are written
// unchanged. The file is replaced whole (see output_file.h). Throws
// std::runtime_error "Cannot write PATH" on failure.
void writeBitmapPng(const gfx::Bitmap& bitmap, const std::string& path, bool premultiplied);

} // namespace cli
