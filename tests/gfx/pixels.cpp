#include "pixels.h"

#include <cstdlib>

namespace GfxTest {

QImage makeImage(int width, int height, QColor fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

Rgba rawPixel(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
}

testing::AssertionResult pixelIs(const QImage& image, int x, int y, Rgba expected, int tolerance)
{
    if (!image.valid(x, y))
        return testing::AssertionFailure() << "(" << x << ", " << y << ") is outside the image";
    const Rgba actual = rawPixel(image, x, y);
    const bool close = std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
                       std::abs(actual.b - expected.b) <= tolerance && std::abs(actual.a - expected.a) <= tolerance;
    if (close)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << actual.r << ", " << actual.g
                                       << ", " << actual.b << ", " << actual.a << "), expected (" << expected.r
                                       << ", " << expected.g << ", " << expected.b << ", " << expected.a
                                       << ") within " << tolerance;
}

QRect inkBounds(const QImage& image, QColor background)
{
    const QRgb bg = background.rgba();
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QRect bounds;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (argb.pixel(x, y) != bg)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int inkCount(const QImage& image, QColor background)
{
    const QRgb bg = background.rgba();
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            count += argb.pixel(x, y) != bg;
    return count;
}

} // namespace GfxTest
