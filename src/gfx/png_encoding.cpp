#include "gfx/png_encoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace gfx {

namespace {

std::uint8_t unpremultiplied(std::uint32_t c, std::uint32_t a)
{
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
}

} // namespace

std::string encodePng(const Bitmap& bitmap, bool premultiplied)
{
    // The bitmap's B, G, R, A bytes are QImage's ARGB32 words on little-endian
    // machines; Format_ARGB32 (not the premultiplied one) makes the PNG writer
    // store them as they are.
    QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32);
    if (image.isNull())
        throw std::runtime_error("Cannot encode PNG");
    const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width) * 4;
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = bitmap.row(y);
        std::uint8_t* out = image.scanLine(y);
        if (premultiplied) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        for (std::size_t x = 0; x < rowBytes; x += 4) {
            const std::uint32_t a = in[x + 3];
            for (std::size_t c = 0; c < 3; ++c)
                out[x + c] = a == 0 ? 0 : unpremultiplied(in[x + c], a);
            out[x + 3] = static_cast<std::uint8_t>(a);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw std::runtime_error("Cannot encode PNG");
    return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

} // namespace gfx
