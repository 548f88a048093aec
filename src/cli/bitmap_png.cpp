#include "cli/bitmap_png.h"

#include "app/output_file.h"
#include "gfx/png_encoding.h"

#include <stdexcept>

namespace cli {

void writeBitmapPng(const gfx::Bitmap& bitmap, const std::string& path, bool premultiplied)
{
    std::string png;
    try {
        png = gfx::encodePng(bitmap, premultiplied);
    } catch (const std::runtime_error&) {
        throw std::runtime_error("Cannot write " + path);
    }
    app::writeOutputFile(path, png);
}

} // namespace cli
