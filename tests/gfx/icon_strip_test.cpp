// Decoding the program's icon pictures: straight alpha, top row first,
// conversions of pictures without alpha, and the failures.

#include "gfx/icon_strip.h"

#include "base/errors.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

namespace {

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return bytes;
}

gfx::IconStrip decode(const QByteArray& bytes)
{
    return gfx::decodeIconStrip(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size()));
}

std::array<int, 4> bgraAt(const gfx::IconStrip& strip, int x, int y)
{
    const std::uint8_t* p = strip.row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

TEST(IconStripTest, KeepsStraightAlphaWithTheTopRowFirst)
{
    QImage picture(3, 2, QImage::Format_RGBA8888);
    picture.setPixelColor(0, 0, QColor(200, 100, 50, 128));
    picture.setPixelColor(1, 0, QColor(10, 20, 30, 0));
    picture.setPixelColor(2, 0, QColor(255, 255, 255, 255));
    picture.setPixelColor(0, 1, QColor(1, 2, 3, 64));
    picture.setPixelColor(1, 1, QColor(0, 0, 0, 255));
    picture.setPixelColor(2, 1, QColor(90, 180, 240, 10));

    const gfx::IconStrip strip = decode(pngOf(picture));
    ASSERT_EQ(strip.width, 3);
    ASSERT_EQ(strip.height, 2);
    ASSERT_EQ(strip.pixels.size(), 3u * 2u * 4u) << "no row padding";
    EXPECT_EQ(bgraAt(strip, 0, 0), (std::array<int, 4>{50, 100, 200, 128})) << "not premultiplied";
    EXPECT_EQ(bgraAt(strip, 2, 0), (std::array<int, 4>{255, 255, 255, 255}));
    EXPECT_EQ(bgraAt(strip, 0, 1), (std::array<int, 4>{3, 2, 1, 64})) << "the bottom row comes second";
    EXPECT_EQ(bgraAt(strip, 2, 1), (std::array<int, 4>{240, 180, 90, 10}));
}

TEST(IconStripTest, PicturesWithoutAlphaComeOutOpaque)
{
    QImage rgb(2, 1, QImage::Format_RGB888);
    rgb.setPixelColor(0, 0, QColor(10, 20, 30));
    rgb.setPixelColor(1, 0, QColor(250, 0, 0));
    QImage grey(2, 1, QImage::Format_Grayscale8);
    grey.fill(77);
    QImage paletted(2, 1, QImage::Format_Indexed8);
    paletted.setColorTable({qRgb(0, 128, 255), qRgb(9, 8, 7)});
    paletted.setPixel(0, 0, 1);
    paletted.setPixel(1, 0, 0);

    struct Case {
        const char* name;
        QImage picture;
        std::array<int, 4> first, second;
    };
    for (const Case& c : {Case{"rgb", rgb, {30, 20, 10, 255}, {0, 0, 250, 255}},
                          Case{"grey", grey, {77, 77, 77, 255}, {77, 77, 77, 255}},
                          Case{"paletted", paletted, {7, 8, 9, 255}, {255, 128, 0, 255}}}) {
        const gfx::IconStrip strip = decode(pngOf(c.picture));
        ASSERT_EQ(strip.width, 2) << c.name;
        EXPECT_EQ(bgraAt(strip, 0, 0), c.first) << c.name;
        EXPECT_EQ(bgraAt(strip, 1, 0), c.second) << c.name;
    }
}

TEST(IconStripTest, FailuresSayWhatWentWrong)
{
    try {
        gfx::loadIconResource("NO_SUCH_PICTURE");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Could not load resource NO_SUCH_PICTURE");
    }

    const QByteArray truncated = pngOf(QImage(4, 4, QImage::Format_RGBA8888)).left(20);
    for (const QByteArray& bytes : {QByteArray("not a picture at all"), truncated, QByteArray()}) {
        try {
            decode(bytes);
            FAIL() << "no exception for " << bytes.size() << " bytes";
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), Kestra::Hr::ComponentNotFound);
            EXPECT_STREQ(error.operation(), "IWICImagingFactory::CreateDecoderFromStream");
        }
    }
}

} // namespace
