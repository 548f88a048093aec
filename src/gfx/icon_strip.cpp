#include "gfx/icon_strip.h"

#include "base/errors.h"

#include <QByteArray>
#include <QFile>
#include <QImage>

#include <cstring>
#include <new>
#include <stdexcept>

namespace gfx {

namespace {

IconStrip copyPixels(const QImage& picture)
{
    if (picture.width() == 0 || picture.height() == 0)
        throw std::runtime_error("Empty source");
    // ARGB32 is straight alpha; on little-endian machines its bytes are
    // blue, green, red, alpha.
    const QImage straight = picture.convertToFormat(QImage::Format_ARGB32);
    IconStrip strip;
    strip.width = straight.width();
    strip.height = straight.height();
    const std::size_t stride = static_cast<std::size_t>(strip.width) * 4;
    try {
        strip.pixels.resize(stride * static_cast<std::size_t>(strip.height));
    } catch (const std::bad_alloc&) {
        throw std::runtime_error("Couldn't create DIB section");
    }
    for (int y = 0; y < strip.height; ++y) {
        const uchar* line = straight.constScanLine(y);
        std::uint8_t* out = strip.row(y);
        for (int x = 0; x < strip.width; ++x) {
            QRgb pixel;
            std::memcpy(&pixel, line + 4 * x, 4);
            out[4 * x + 0] = static_cast<std::uint8_t>(qBlue(pixel));
            out[4 * x + 1] = static_cast<std::uint8_t>(qGreen(pixel));
            out[4 * x + 2] = static_cast<std::uint8_t>(qRed(pixel));
            out[4 * x + 3] = static_cast<std::uint8_t>(qAlpha(pixel));
        }
    }
    return strip;
}

} // namespace

IconStrip decodeIconStrip(const std::uint8_t* bytes, std::size_t size)
{
    QImage picture;
    if (size > static_cast<std::size_t>(INT32_MAX)
        || !picture.loadFromData(reinterpret_cast<const uchar*>(bytes), static_cast<int>(size)))
        throw Kestra::COMException(Kestra::Hr::ComponentNotFound, "IWICImagingFactory::CreateDecoderFromStream");
    return copyPixels(picture);
}

IconStrip loadIconResource(const std::string& name)
{
    QFile resource(QStringLiteral(":/") + QString::fromStdString(name));
    if (name.empty() || !resource.open(QIODevice::ReadOnly))
        throw std::runtime_error("Could not load resource " + name);
    const QByteArray bytes = resource.readAll();
    return decodeIconStrip(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
}

} // namespace gfx
