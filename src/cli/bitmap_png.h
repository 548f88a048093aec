#pragma once
// Writes a converted bitmap as an RGBA PNG file.

#include "gfx/bitmap.h"

#include <string>

namespace cli {

// Writes bitmap to path as gfx::encodePng encodes it (straight alpha unless
// premultiplied). The file is replaced whole (app/output_file.h). Throws
// std::runtime_error "Cannot write PATH" on failure.
void writeBitmapPng(const gfx::Bitmap& bitmap, const std::string& path, bool premultiplied);

} // namespace cli
