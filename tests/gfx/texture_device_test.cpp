#include "gfx/texture_device.h"

#include "base/errors.h"
#include "base/result_codes.h"
#include "fixtures/dxt_blocks.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using gfx::AlphaMode;
using gfx::TextureFormat;
using Bytes = std::vector<std::uint8_t>;
using Bgra = std::array<int, 4>; // blue, green, red, alpha

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bgra pixelAt(const gfx::Bitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

int rounded(double value) { return static_cast<int>(std::floor(value + 0.5)); }

int premultiplied(int c, int a) { return rounded(c * a / 255.0); }

Bgra premultipliedPixel(const Bgra& p)
{
    return {premultiplied(p[0], p[3]), premultiplied(p[1], p[3]), premultiplied(p[2], p[3]), p[3]};
}

// The four pixels of bitmap row y.
std::vector<Bgra> rowOf(const gfx::Bitmap& bitmap, int y)
{
    std::vector<Bgra> row;
    for (int x = 0; x < bitmap.width; ++x)
        row.push_back(pixelAt(bitmap, x, y));
    return row;
}

// Index (column + row) mod 4 at each pixel: every row differs from the others.
std::uint32_t diagonalIndices()
{
    std::array<unsigned, 16> indices;
    for (unsigned p = 0; p < 16; ++p)
        indices[p] = (p % 4 + p / 4) % 4;
    return Fixtures::colourIndices(indices);
}

TEST(TextureDeviceBc1, FourColourModeRoundsEachChannelFromTheStoredBits)
{
    // c0 = (3, 10, 31) > c1 = (0, 63, 4) as 16-bit words: four colours.
    //   c0: round(3·255/31) = 25, round(10·255/63) = 40, blue 255.
    //   c1: red 0, green 255, round(4·255/31) = 33.
    //   index 2, (2·c0 + c1)/3: round(255·6/93) = 16, round(255·83/189) = 112, round(255·66/93) = 181.
    //   index 3, (c0 + 2·c1)/3: round(255·3/93) = 8, round(255·136/189) = 183, round(255·39/93) = 107.
    // Rounding 8-bit endpoints instead, (2·25 + 0 + 1)/3 = 17, would differ.
    const Bytes block = bytes(Fixtures::colourBlock(Fixtures::rgb565(3, 10, 31), Fixtures::rgb565(0, 63, 4),
                                                    diagonalIndices()));
    const std::array<Bgra, 4> palette{{{255, 40, 25, 255}, {33, 255, 0, 255}, {181, 112, 16, 255}, {107, 183, 8, 255}}};
    for (const AlphaMode alpha : {AlphaMode::Straight, AlphaMode::Premultiplied}) {
        gfx::TextureDevice device;
        const gfx::BitmapPtr bitmap = device.convert(4, 4, block, 8, TextureFormat::BC1, alpha);
        ASSERT_EQ(bitmap->width, 4);
        ASSERT_EQ(bitmap->height, 4);
        for (int row = 0; row < 4; ++row) {
            // Block row `row` is bitmap row 3 − row.
            const std::vector<Bgra> expected{palette[(0 + row) % 4], palette[(1 + row) % 4], palette[(2 + row) % 4],
                                             palette[(3 + row) % 4]};
            EXPECT_EQ(rowOf(*bitmap, 3 - row), expected) << "block row " << row;
        }
    }
}

TEST(TextureDeviceBc1, ThreeColourModeHalvesUpAndIndexThreeIsTransparentBlack)
{
    // c0 = (1, 2, 3) ≤ c1 = (30, 61, 28): three colours.
    //   c0: round(255/31) = 8, round(510/63) = 8, round(765/31) = 25.
    //   c1: round(7650/31) = 247, round(15555/63) = 247, round(7140/31) = 230.
    //   index 2: every channel's sum is 31/62 or 63/126 of full scale, 127.5: halves go up to 128.
    const Bytes block = bytes(Fixtures::colourBlock(Fixtures::rgb565(1, 2, 3), Fixtures::rgb565(30, 61, 28),
                                                    diagonalIndices()));
    const std::array<Bgra, 4> palette{{{25, 8, 8, 255}, {230, 247, 247, 255}, {128, 128, 128, 255}, {0, 0, 0, 0}}};
    gfx::TextureDevice device;
    const gfx::BitmapPtr bitmap = device.convert(4, 4, block, 8, TextureFormat::BC1, AlphaMode::Straight);
    for (int row = 0; row < 4; ++row) {
        const std::vector<Bgra> expected{palette[(0 + row) % 4], palette[(1 + row) % 4], palette[(2 + row) % 4],
                                         palette[(3 + row) % 4]};
        EXPECT_EQ(rowOf(*bitmap, 3 - row), expected) << "block row " << row;
    }
}

TEST(TextureDeviceBc1, EqualEndpointsChooseTheThreeColourMode)
{
    const std::uint16_t red = Fixtures::rgb565(31, 0, 0);
    const Bytes block = bytes(Fixtures::colourBlock(red, red, Fixtures::colourIndices({0, 1, 2, 3})));
    gfx::TextureDevice device;
    const gfx::BitmapPtr bitmap = device.convert(4, 1, block, 8, TextureFormat::BC1, AlphaMode::Straight);
    EXPECT_EQ(rowOf(*bitmap, 0), (std::vector<Bgra>{{0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 0, 0}}));
}

TEST(TextureDeviceBc2, ExplicitAlphaAlwaysFourColoursPremultipliedWhenStraight)
{
    // Pixel p has alpha p·17. Endpoints black ≤ white would choose three
    // colours in BC1; here index 3 is (black + 2·white)/3 = 170 and index 2 is 85.
    std::array<unsigned, 16> alphas, indices;
    for (unsigned p = 0; p < 16; ++p) {
        alphas[p] = p;
        indices[p] = p == 5 ? 2 : 3;
    }
    const Bytes block = bytes(Fixtures::bc2Block(
        Fixtures::explicitAlphas(alphas), Fixtures::colourBlock(0x0000, 0xFFFF, Fixtures::colourIndices(indices))));
    for (const AlphaMode alpha : {AlphaMode::Straight, AlphaMode::Premultiplied}) {
        gfx::TextureDevice device;
        const gfx::BitmapPtr bitmap = device.convert(4, 4, block, 16, TextureFormat::BC2, alpha);
        for (int p = 0; p < 16; ++p) {
            const int a = p * 17, grey = p == 5 ? 85 : 170;
            const int c = alpha == AlphaMode::Straight ? premultiplied(grey, a) : grey;
            EXPECT_EQ(pixelAt(*bitmap, p % 4, 3 - p / 4), (Bgra{c, c, c, a})) << "pixel " << p;
        }
    }
}

TEST(TextureDeviceBc3, EightAndSixValueAlphaModes)
{
    // Alpha index of pixel p is p mod 8.
    //   a0 = 200 > a1 = 10: round((6·200 + 10)/7) = 173, then 146, 119, 91, 64, 37.
    //   a0 = 10 ≤ a1 = 200: round((4·10 + 200)/5) = 48, then 86, 124, 162, and 0, 255.
    struct Case {
        std::uint8_t a0, a1;
        std::array<int, 8> values;
    };
    const Case cases[] = {
        {200, 10, {200, 10, 173, 146, 119, 91, 64, 37}},
        {10, 200, {10, 200, 48, 86, 124, 162, 0, 255}},
        {77, 77, {77, 77, 77, 77, 77, 77, 0, 255}},
    };
    std::array<unsigned, 16> alphaIndices;
    for (unsigned p = 0; p < 16; ++p)
        alphaIndices[p] = p % 8;
    // Colour (red 255, green 0, blue round(15·255/31) = 123) everywhere.
    const std::uint16_t colour = Fixtures::rgb565(31, 0, 15);
    for (const Case& c : cases) {
        const Bytes block = bytes(Fixtures::bc3Block(c.a0, c.a1, Fixtures::alphaIndices(alphaIndices),
                                                     Fixtures::colourBlock(colour, colour, 0)));
        for (const AlphaMode alpha : {AlphaMode::Straight, AlphaMode::Premultiplied}) {
            gfx::TextureDevice device;
            const gfx::BitmapPtr bitmap = device.convert(4, 4, block, 16, TextureFormat::BC3, alpha);
            for (int p = 0; p < 16; ++p) {
                const int a = c.values[p % 8];
                const Bgra expected = alpha == AlphaMode::Straight ? premultipliedPixel({123, 0, 255, a})
                                                                   : Bgra{123, 0, 255, a};
                EXPECT_EQ(pixelAt(*bitmap, p % 4, 3 - p / 4), expected)
                    << "a0 " << int(c.a0) << " a1 " << int(c.a1) << " pixel " << p;
            }
        }
    }
}

TEST(TextureDeviceColour, StraightAlphaIsPremultipliedRoundedToNearestForEveryValue)
{
    // Every colour value c at every alpha a, as blue c, green 255 − c, red
    // c ^ 0x5A. Rows of 256 pixels go four at a time; rows of 3 one by one.
    const auto source = [](int c, int a) {
        return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(255 - c),
                                           static_cast<std::uint8_t>(c ^ 0x5A), static_cast<std::uint8_t>(a)};
    };
    const auto expected = [](int c, int a) {
        return Bgra{premultiplied(c, a), premultiplied(255 - c, a), premultiplied(c ^ 0x5A, a), a};
    };
    for (const int width : {256, 3}) {
        int mismatches = 0;
        for (int a = 0; a < 256; ++a) {
            // Values c = 0 to 255 in rows of width pixels (the last row padded with 0).
            const int height = (256 + width - 1) / width;
            Bytes data;
            for (int i = 0; i < width * height; ++i) {
                const auto p = source(i % 256, a);
                data.insert(data.end(), p.begin(), p.end());
            }
            gfx::TextureDevice device;
            const gfx::BitmapPtr bitmap = device.convert(static_cast<std::uint32_t>(width),
                                                         static_cast<std::uint32_t>(height), data,
                                                         static_cast<std::size_t>(width) * 4,
                                                         TextureFormat::B8G8R8A8, AlphaMode::Straight);
            for (int c = 0; c < 256; ++c) {
                if (pixelAt(*bitmap, c % width, height - 1 - c / width) != expected(c, a) && ++mismatches <= 5)
                    ADD_FAILURE() << "width " << width << ": c " << c << " a " << a;
            }
        }
        EXPECT_EQ(mismatches, 0) << "width " << width;
    }
}

TEST(TextureDeviceColour, PremultipliedSourceIsCopiedAndRowPaddingSkipped)
{
    // Three rows of two pixels, each row followed by three padding bytes.
    const Bytes data{1, 2, 3, 4, 5, 6, 7, 8, 0xEE, 0xEE, 0xEE,
                     9, 10, 11, 12, 13, 14, 15, 16, 0xEE, 0xEE, 0xEE,
                     17, 18, 19, 20, 21, 22, 23, 24};
    gfx::TextureDevice device;
    const gfx::BitmapPtr bitmap = device.convert(2, 3, data, 11, TextureFormat::B8G8R8A8, AlphaMode::Premultiplied);
    ASSERT_EQ(bitmap->width, 2);
    ASSERT_EQ(bitmap->height, 3);
    EXPECT_EQ(bitmap->pixels, (gfx::PixelBytes{17, 18, 19, 20, 21, 22, 23, 24, 9, 10, 11, 12, 13, 14, 15,
                                              16, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(TextureDevicePacked24, RebuildsPixelsFromThreeBytesWithOpaqueAlpha)
{
    // Width 5: each row is 15 single-byte texels plus one padding byte.
    Bytes data;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x)
            data.insert(data.end(), {static_cast<std::uint8_t>(10 + 100 * y + x), static_cast<std::uint8_t>(20 + 100 * y + x),
                                     static_cast<std::uint8_t>(30 + 100 * y + x)});
        data.push_back(0xEE);
    }
    for (const AlphaMode alpha : {AlphaMode::Straight, AlphaMode::Premultiplied}) {
        gfx::TextureDevice device;
        const gfx::BitmapPtr bitmap = device.convert(5, 2, data, 16, TextureFormat::R8, alpha);
        ASSERT_EQ(bitmap->width, 5);
        ASSERT_EQ(bitmap->height, 2);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 5; ++x) {
                // Stored blue, green, red: 10, 20, 30 for the first pixel.
                EXPECT_EQ(pixelAt(*bitmap, x, 1 - y), (Bgra{10 + 100 * y + x, 20 + 100 * y + x, 30 + 100 * y + x, 255}));
            }
        }
    }
}

TEST(TextureDeviceAlphaMode, UnknownKeepsWhatThePreviousConversionDid)
{
    const Bytes pixel{200, 100, 50, 128};
    const Bgra straight = premultipliedPixel({200, 100, 50, 128}), copied{200, 100, 50, 128};
    const auto convert = [&](gfx::TextureDevice& device, AlphaMode alpha) {
        return pixelAt(*device.convert(1, 1, pixel, 4, TextureFormat::B8G8R8A8, alpha), 0, 0);
    };
    gfx::TextureDevice device;
    EXPECT_EQ(convert(device, AlphaMode::Unknown), straight); // premultiplying from the start
    EXPECT_EQ(convert(device, AlphaMode::Premultiplied), copied);
    EXPECT_EQ(convert(device, AlphaMode::Unknown), copied);
    // A refused conversion does not change the treatment.
    EXPECT_THROW(device.convert(1, 1, {}, 4, TextureFormat::B8G8R8A8, AlphaMode::Straight), Kestra::COMException);
    EXPECT_EQ(convert(device, AlphaMode::Unknown), copied);
    EXPECT_EQ(convert(device, AlphaMode::Straight), straight);
    EXPECT_EQ(convert(device, AlphaMode::Unknown), straight);
}

// What the device answers for a texture it cannot create.
const char* const Refused = "The parameter is incorrect.\r\n (ID3D10Device::CreateTexture2D)";

struct Bounds {
    TextureFormat format;
    std::uint32_t width, height;
    std::size_t pitch;
    std::size_t needed; // (rows − 1) · pitch + one row
};

TEST(TextureDeviceChecks, DataMustReachTheEndOfTheLastRow)
{
    const Bounds cases[] = {
        {TextureFormat::BC1, 4, 4, 8, 8},
        {TextureFormat::BC1, 5, 5, 20, 36},   // 2 × 2 blocks, 4 padding bytes a row
        {TextureFormat::BC2, 9, 1, 48, 48},
        {TextureFormat::BC3, 3, 8, 16, 32},
        {TextureFormat::B8G8R8A8, 3, 2, 12, 24},
        {TextureFormat::B8G8R8A8, 1, 3, 7, 18},
        {TextureFormat::R8, 5, 2, 15, 30},
        {TextureFormat::R8, 2, 3, 8, 22},
    };
    for (const Bounds& c : cases) {
        SCOPED_TRACE(::testing::Message() << "format " << static_cast<int>(c.format) << ", " << c.width << "x"
                                          << c.height);
        gfx::TextureDevice device;
        // Exactly sized buffers: a read past the end is a sanitizer error.
        const Bytes exact(c.needed, 0x41);
        EXPECT_NO_THROW(device.convert(c.width, c.height, exact, c.pitch, c.format, AlphaMode::Straight));
        const Bytes shortData(c.needed - 1, 0x41);
        try {
            device.convert(c.width, c.height, shortData, c.pitch, c.format, AlphaMode::Straight);
            ADD_FAILURE() << "short data accepted";
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), Kestra::Hr::InvalidArgument);
            EXPECT_STREQ(error.what(), Refused);
        }
    }
}

TEST(TextureDeviceChecks, RefusesWhatTheDeviceCannotHold)
{
    const Bytes data(64 * 1024, 0);
    struct Case {
        std::uint32_t width, height;
        std::size_t pitch;
        TextureFormat format;
        AlphaMode alpha;
        const char* message;
    };
    const Case cases[] = {
        {0, 4, 8, TextureFormat::BC1, AlphaMode::Straight, Refused},
        {4, 0, 8, TextureFormat::BC1, AlphaMode::Straight, Refused},
        {8193, 1, 40000, TextureFormat::B8G8R8A8, AlphaMode::Straight,
         Refused},
        {1, 8193, 0, TextureFormat::BC1, AlphaMode::Straight, Refused},
        // Packed 24-bit sources are three texels a pixel wide.
        {2731, 1, 8193, TextureFormat::R8, AlphaMode::Straight, Refused},
        {4, 8, 7, TextureFormat::BC1, AlphaMode::Straight, "Texture row pitch 7 is smaller than a row of 8 bytes"},
        {2, 2, 7, TextureFormat::B8G8R8A8, AlphaMode::Straight, "Texture row pitch 7 is smaller than a row of 8 bytes"},
        {4, 4, 16, static_cast<TextureFormat>(72), AlphaMode::Straight, "Unsupported texture format 72"},
        {4, 4, 16, TextureFormat::BC1, static_cast<AlphaMode>(3), "Unsupported alpha mode 3"},
    };
    for (const Case& c : cases) {
        gfx::TextureDevice device;
        try {
            device.convert(c.width, c.height, data, c.pitch, c.format, c.alpha);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), Kestra::Hr::InvalidArgument);
            EXPECT_STREQ(error.operation(), "ID3D10Device::CreateTexture2D");
            EXPECT_STREQ(error.what(), c.message);
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(TextureDeviceChecks, LargestSidesAndPitchOfASingleRowAreAccepted)
{
    gfx::TextureDevice device;
    const Bytes packed(3 * 2730, 7);
    EXPECT_EQ(device.convert(2730, 1, packed, 0, TextureFormat::R8, AlphaMode::Straight)->width, 2730);
    const Bytes blocks(8, 0);
    EXPECT_EQ(device.convert(3, 4, blocks, 0, TextureFormat::BC1, AlphaMode::Straight)->height, 4);
    const Bytes column(8192 / 4 * 8, 0);
    EXPECT_EQ(device.convert(1, 8192, column, 8, TextureFormat::BC1, AlphaMode::Straight)->height, 8192);
}

} // namespace
