#pragma once
// Reading back the PNGs that tise-cli writes, pixel by pixel.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace TestSupport {

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& p)
{
    return out << '(' << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ')';
}

// The PNG as stored: QImage reads an RGBA PNG into ARGB32 without changing
// the channel values.
inline QImage readPng(const std::string& path)
{
    QImage image(QString::fromStdString(path));
    EXPECT_FALSE(image.isNull()) << path;
    EXPECT_EQ(image.format(), QImage::Format_ARGB32) << "not an RGBA PNG: " << path;
    return image;
}

inline Rgba pixel(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
}

} // namespace TestSupport
