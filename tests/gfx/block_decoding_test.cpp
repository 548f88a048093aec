// Both block decoders, and the texture device that uses the fastest, against
// a reference decoder written independently from the block layouts.

#include "gfx/block_decoding.h"
#include "gfx/texture_device.h"

#include "fixtures/dxt_blocks.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using gfx::AlphaMode;
using gfx::TextureFormat;
using Bytes = std::vector<std::uint8_t>;
using Bgra = std::array<int, 4>; // blue, green, red, alpha

Bgra pixelAt(const gfx::Bitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

int rounded(double value) { return static_cast<int>(std::floor(value + 0.5)); }

Bgra premultipliedPixel(const Bgra& p)
{
    const auto times = [&](int c) { return rounded(c * p[3] / 255.0); };
    return {times(p[0]), times(p[1]), times(p[2]), p[3]};
}

// A straightforward decoder written from the block layouts and the rounding
// rules, pixel by pixel in floating point, to check the device's fast one.
// Returns the pixel at (x, y) of the source, not premultiplied.
Bgra referenceTexel(TextureFormat format, const Bytes& data, std::size_t pitch, int x, int y)
{
    const std::size_t blockBytes = format == TextureFormat::BC1 ? 8 : 16;
    const std::uint8_t* block = data.data() + static_cast<std::size_t>(y / 4) * pitch + (x / 4) * blockBytes;
    const int p = (y % 4) * 4 + x % 4;
    const std::uint8_t* colour = format == TextureFormat::BC1 ? block : block + 8;
    const int c0 = colour[0] | colour[1] << 8, c1 = colour[2] | colour[3] << 8;
    const int index = (colour[4 + p / 4] >> (2 * (p % 4))) & 3;
    // Each value as one division of exact integers, so that halves stay exact.
    const auto channel = [&](int shift, int bits) {
        const int max = (1 << bits) - 1;
        const int x0 = (c0 >> shift) & max, x1 = (c1 >> shift) & max;
        const bool threeColours = format == TextureFormat::BC1 && c0 <= c1;
        switch (index) {
        case 0: return rounded(255.0 * x0 / max);
        case 1: return rounded(255.0 * x1 / max);
        case 2: return threeColours ? rounded(255.0 * (x0 + x1) / (2 * max)) : rounded(255.0 * (2 * x0 + x1) / (3 * max));
        default: return threeColours ? 0 : rounded(255.0 * (x0 + 2 * x1) / (3 * max));
        }
    };
    Bgra texel{channel(0, 5), channel(5, 6), channel(11, 5), 255};
    if (format == TextureFormat::BC1 && c0 <= c1 && index == 3)
        texel[3] = 0;
    if (format == TextureFormat::BC2)
        texel[3] = ((block[p / 2] >> (4 * (p % 2))) & 15) * 17;
    if (format == TextureFormat::BC3) {
        const int a0 = block[0], a1 = block[1];
        std::uint64_t bits = 0;
        for (int b = 5; b >= 0; --b)
            bits = bits << 8 | block[2 + b];
        const int i = static_cast<int>((bits >> (3 * p)) & 7);
        if (i == 0)
            texel[3] = a0;
        else if (i == 1)
            texel[3] = a1;
        else if (a0 > a1)
            texel[3] = rounded(((8 - i) * a0 + (i - 1) * a1) / 7.0);
        else if (i < 6)
            texel[3] = rounded(((6 - i) * a0 + (i - 1) * a1) / 5.0);
        else
            texel[3] = i == 6 ? 0 : 255;
    }
    return texel;
}

// Compares every pixel of a block-compressed conversion with the reference:
// source row y is bitmap row height − 1 − y.
void expectMatchesReference(const gfx::Bitmap& bitmap, TextureFormat format, const Bytes& data, std::size_t pitch,
                            bool premultiply)
{
    int mismatches = 0;
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            Bgra expected = referenceTexel(format, data, pitch, x, y);
            if (premultiply)
                expected = premultipliedPixel(expected);
            const Bgra actual = pixelAt(bitmap, x, bitmap.height - 1 - y);
            if (actual != expected && ++mismatches <= 5)
                ADD_FAILURE() << "source pixel (" << x << ", " << y << "): got " << ::testing::PrintToString(actual)
                              << ", expected " << ::testing::PrintToString(expected);
        }
    }
    EXPECT_EQ(mismatches, 0);
}


// A way of decoding blocks into a bitmap.
struct Decoder {
    const char* name;
    std::function<gfx::BitmapPtr(std::uint32_t width, std::uint32_t height, const Bytes& data, std::size_t pitch,
                                 TextureFormat format, bool premultiply)>
        decode;
    bool available;
};

gfx::BitmapPtr decodeWith(gfx::BlockDecoder decoder, std::uint32_t width, std::uint32_t height, const Bytes& data,
                          std::size_t pitch, TextureFormat format, bool premultiply)
{
    auto bitmap = std::make_shared<gfx::Bitmap>();
    bitmap->width = static_cast<int>(width);
    bitmap->height = static_cast<int>(height);
    bitmap->pixels.assign(std::size_t{width} * height * 4, 0xCD);
    gfx::decodeBlocks(decoder, *bitmap, format, data.data(), pitch, premultiply);
    return bitmap;
}

std::vector<Decoder> decoders()
{
    return {
        {"portable",
         [](auto w, auto h, const Bytes& d, auto pitch, auto f, bool pm) {
             return decodeWith(gfx::BlockDecoder::Portable, w, h, d, pitch, f, pm);
         },
         gfx::available(gfx::BlockDecoder::Portable)},
        {"ssse3",
         [](auto w, auto h, const Bytes& d, auto pitch, auto f, bool pm) {
             return decodeWith(gfx::BlockDecoder::Ssse3, w, h, d, pitch, f, pm);
         },
         gfx::available(gfx::BlockDecoder::Ssse3)},
        {"texture device",
         [](auto w, auto h, const Bytes& d, auto pitch, auto f, bool pm) {
             gfx::TextureDevice device;
             return device.convert(w, h, d, pitch, f, pm ? AlphaMode::Straight : AlphaMode::Premultiplied);
         },
         true},
    };
}

TEST(BlockDecoding, ThePortableDecoderIsAlwaysAvailableAndTheFastestIsAvailable)
{
    EXPECT_TRUE(gfx::available(gfx::BlockDecoder::Portable));
    EXPECT_TRUE(gfx::available(gfx::fastestBlockDecoder()));
#if defined(__x86_64__)
    // Every x86-64 processor this is likely to meet has SSSE3; without it the
    // tests here would check the portable decoder only.
    EXPECT_EQ(gfx::fastestBlockDecoder(), gfx::BlockDecoder::Ssse3);
#endif
}

TEST(BlockDecoding, EveryEndpointPairMatchesTheReference)
{
    // 64 × 64 blocks: block (i, j) has endpoints built from i and j, so every
    // pair of 6-bit greens and of 5-bit reds and blues occurs, in both BC1
    // modes; index k at column k.
    Bytes colours;
    for (unsigned j = 0; j < 64; ++j) {
        for (unsigned i = 0; i < 64; ++i) {
            const std::string block = Fixtures::colourBlock(Fixtures::rgb565(i % 32, i, 31 - i % 32),
                                                            Fixtures::rgb565(j % 32, j, 31 - j % 32), 0xE4E4E4E4u);
            colours.insert(colours.end(), block.begin(), block.end());
        }
    }
    for (const TextureFormat format : {TextureFormat::BC1, TextureFormat::BC2, TextureFormat::BC3}) {
        Bytes data;
        for (std::size_t b = 0; b < colours.size(); b += 8) {
            if (format != TextureFormat::BC1) // opaque alpha halves
                data.insert(data.end(), {255, 255, 255, 255, 255, 255, 255, 255});
            data.insert(data.end(), colours.begin() + static_cast<std::ptrdiff_t>(b),
                        colours.begin() + static_cast<std::ptrdiff_t>(b + 8));
        }
        const std::size_t pitch = 64 * (format == TextureFormat::BC1 ? 8 : 16);
        for (const Decoder& decoder : decoders()) {
            if (!decoder.available)
                continue;
            SCOPED_TRACE(::testing::Message() << decoder.name << ", format " << static_cast<int>(format));
            expectMatchesReference(*decoder.decode(256, 256, data, pitch, format, false), format, data, pitch, false);
        }
    }
}

TEST(BlockDecoding, EveryAlphaEndpointPairMatchesTheReference)
{
    // 256 × 256 BC3 blocks, block (i, j) with a0 = i, a1 = j and indices 0-7 twice.
    std::array<unsigned, 16> indices;
    for (unsigned p = 0; p < 16; ++p)
        indices[p] = (p * 3) % 8;
    Bytes data;
    for (unsigned j = 0; j < 256; ++j) {
        for (unsigned i = 0; i < 256; ++i) {
            const std::string block = Fixtures::bc3Block(
                static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(j), Fixtures::alphaIndices(indices),
                Fixtures::colourBlock(Fixtures::rgb565(31, 63, 31), Fixtures::rgb565(2, 40, 9), 0x1B1B1B1Bu));
            data.insert(data.end(), block.begin(), block.end());
        }
    }
    for (const Decoder& decoder : decoders()) {
        if (!decoder.available)
            continue;
        for (const bool premultiply : {false, true}) {
            SCOPED_TRACE(::testing::Message() << decoder.name << (premultiply ? ", premultiplying" : ", copying"));
            expectMatchesReference(*decoder.decode(1024, 1024, data, 256 * 16, TextureFormat::BC3, premultiply),
                                   TextureFormat::BC3, data, 256 * 16, premultiply);
        }
    }
}

TEST(BlockDecoding, RandomBlocksOfEverySizeMatchTheReference)
{
    struct Size {
        std::uint32_t width, height;
    };
    // Sides that are and are not multiples of 4, single rows and columns.
    const Size sizes[] = {{1, 1}, {4, 4}, {5, 3}, {3, 7}, {13, 6}, {16, 16}, {8, 1}, {1, 9}, {31, 17}, {64, 64}};
    std::mt19937 random(20240601);
    for (const TextureFormat format : {TextureFormat::BC1, TextureFormat::BC2, TextureFormat::BC3}) {
        const std::size_t blockBytes = format == TextureFormat::BC1 ? 8 : 16;
        for (const Size size : sizes) {
            for (const std::size_t padding : {std::size_t{0}, std::size_t{5}}) {
                const std::size_t pitch = (size.width + 3) / 4 * blockBytes + padding;
                Bytes data((size.height + 3) / 4 * pitch);
                for (std::uint8_t& byte : data)
                    byte = static_cast<std::uint8_t>(random());
                for (const Decoder& decoder : decoders()) {
                    for (const bool premultiply : {false, true}) {
                        if (!decoder.available)
                            continue;
                        SCOPED_TRACE(::testing::Message()
                                     << decoder.name << ", format " << static_cast<int>(format) << ", " << size.width
                                     << "x" << size.height << ", padding " << padding
                                     << (premultiply ? ", premultiplying" : ", copying"));
                        const gfx::BitmapPtr bitmap =
                            decoder.decode(size.width, size.height, data, pitch, format, premultiply);
                        ASSERT_EQ(bitmap->width, static_cast<int>(size.width));
                        ASSERT_EQ(bitmap->height, static_cast<int>(size.height));
                        ASSERT_EQ(bitmap->pixels.size(), std::size_t{size.width} * size.height * 4);
                        expectMatchesReference(*bitmap, format, data, pitch, premultiply);
                    }
                }
            }
        }
    }
}

} // namespace
