#include "assets/texture_decoding.h"
#include "base/errors.h"
#include "base/result_codes.h"

#include "fixtures/dds_builder.h"
#include "fixtures/dxt_blocks.h"
#include "fixtures/tga_builder.h"
#include "gfx/texture_device.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace assets;

namespace {

using gfx::AlphaMode;
using gfx::TextureFormat;
using Bgra = std::array<int, 4>;

// The file's bytes in a heap block of exactly their size, so that a read past
// the end is caught by the address sanitizer.
Mod::FilePtr fileOf(const std::string& bytes)
{
    void* buffer = std::malloc(bytes.size() ? bytes.size() : 1);
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    return Mod::makeHeapFile(buffer, static_cast<std::uint32_t>(bytes.size()));
}

gfx::BitmapPtr decode(const std::string& bytes)
{
    gfx::TextureDevice device;
    return assets::DecodeTexture(fileOf(bytes), device);
}

// The message DecodeTexture throws for bytes, or "" when it succeeds.
std::string failure(const std::string& bytes)
{
    try {
        decode(bytes);
        return {};
    } catch (const std::exception& error) {
        return error.what();
    }
}

std::span<const std::uint8_t> span(const std::string& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

Bgra pixelAt(const gfx::Bitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

int premultiplied(int c, int a) { return static_cast<int>(std::floor(c * a / 255.0 + 0.5)); }

std::string repeat(const std::string& block, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += block;
    return out;
}

Fixtures::DdsHeader ddsHeader(std::uint32_t width, std::uint32_t height, const char* fourCC)
{
    Fixtures::DdsHeader header;
    header.width = width;
    header.height = height;
    header.fourCC = fourCC;
    return header;
}

Fixtures::TgaHeader tgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t depth,
                              std::uint8_t imageType = 2)
{
    Fixtures::TgaHeader header;
    header.imageType = imageType;
    header.width = width;
    header.height = height;
    header.depth = depth;
    return header;
}

// One 16-byte BC2 block and one BC3 block whose colours and alphas vary by pixel.
std::string someBc2Block()
{
    std::array<unsigned, 16> alphas, indices;
    for (unsigned p = 0; p < 16; ++p) {
        alphas[p] = (p * 7) % 16;
        indices[p] = p % 4;
    }
    return Fixtures::bc2Block(Fixtures::explicitAlphas(alphas),
                              Fixtures::colourBlock(Fixtures::rgb565(28, 50, 3), Fixtures::rgb565(2, 9, 30),
                                                    Fixtures::colourIndices(indices)));
}

std::string someBc3Block()
{
    std::array<unsigned, 16> alphas, indices;
    for (unsigned p = 0; p < 16; ++p) {
        alphas[p] = (p * 5) % 8;
        indices[p] = (p / 4) % 4;
    }
    return Fixtures::bc3Block(220, 30, Fixtures::alphaIndices(alphas),
                              Fixtures::colourBlock(Fixtures::rgb565(28, 50, 3), Fixtures::rgb565(2, 9, 30),
                                                    Fixtures::colourIndices(indices)));
}

std::string someBc1Block()
{
    return Fixtures::colourBlock(Fixtures::rgb565(3, 10, 31), Fixtures::rgb565(0, 63, 4), 0x1BE41BE4u);
}

TEST(DecodeTextureRecognition, ByMagicAndSizeOrByFooter)
{
    const std::string signature(Fixtures::TgaSignature);
    std::string ddsAt127 = "DDS " + std::string(123, '\0');
    std::string ddsWithFooterAt127 = "DDS " + std::string(105, '\0') + signature;
    // 18 header bytes (image type 10) and the signature: 36 bytes.
    std::string tgaAt36 = Fixtures::tgaFile(tgaHeader(0, 0, 32, 10), {}, Fixtures::TgaFooter::Signature);
    std::string unterminated = Fixtures::tgaFile(tgaHeader(1, 1, 32), "abcd", Fixtures::TgaFooter::Signature);
    unterminated.back() = '!';
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "Unrecognised image format"},
        {"text", "just some text, not a picture", "Unrecognised image format"},
        // 128 bytes: recognised as DDS, then rejected for its pixel format.
        {"128-byte DDS", Fixtures::ddsRgbaFile(1, 1, {}), "Only DXT[n] and DX10 DDS files are supported"},
        {"128-byte DXT1 without its block", Fixtures::ddsFile(ddsHeader(4, 4, "DXT1"), {}), "Incomplete DDS file"},
        {"127 bytes starting DDS", ddsAt127, "Unrecognised image format"},
        // The footer makes a short DDS a TGA, of image type 'S'.
        {"127 bytes starting DDS with a TGA footer", ddsWithFooterAt127, "Only truecolour TGA files are supported"},
        {"36-byte TGA", tgaAt36, "Only truecolour TGA files are supported"},
        {"35 bytes ending in the footer", tgaAt36.substr(1), "Unrecognised image format"},
        {"TGA 1.0 (no footer)", Fixtures::tgaFile(tgaHeader(1, 1, 32), "abcd", Fixtures::TgaFooter::None),
         "Unrecognised image format"},
        {"footer without its NUL", unterminated, "Unrecognised image format"},
        {"DDS magic in lower case", "dds " + Fixtures::ddsFile(ddsHeader(4, 4, "DXT1"), someBc1Block()).substr(4),
         "Unrecognised image format"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.bytes), c.message) << c.name;
}

TEST(DecodeTextureRejection, UnsupportedKindsWithTheirMessages)
{
    Fixtures::DdsHeader noFourCCFlag = ddsHeader(4, 4, "DXT1");
    noFourCCFlag.pixelFormatFlags = 0;
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"DDS with colour masks", Fixtures::ddsRgbaFile(1, 1, "abcd"), "Only DXT[n] and DX10 DDS files are supported"},
        {"DDS DX10", Fixtures::ddsDx10File(4, 4, 71, someBc1Block()), "Only DXT[n] and DX10 DDS files are supported"},
        {"DDS ATI2", Fixtures::ddsFile(ddsHeader(4, 4, "ATI2"), someBc2Block()),
         "Only DXT[n] and DX10 DDS files are supported"},
        {"DDS dxt1 in lower case", Fixtures::ddsFile(ddsHeader(4, 4, "dxt1"), someBc1Block()),
         "Only DXT[n] and DX10 DDS files are supported"},
        {"DDS DXT1 without the FourCC flag", Fixtures::ddsFile(noFourCCFlag, someBc1Block()),
         "Only DXT[n] and DX10 DDS files are supported"},
        {"DDS DXT6", Fixtures::ddsFile(ddsHeader(4, 4, "DXT6"), someBc2Block()),
         "Only DXT[n] and DX10 DDS files are supported"},
        {"TGA run-length coded", Fixtures::tgaFile(tgaHeader(1, 1, 32, 10), "abcd"),
         "Only truecolour TGA files are supported"},
        {"TGA colour-mapped", Fixtures::tgaColourMappedFile(1, 1, "abc", "\0"),
         "Only truecolour TGA files are supported"},
        {"TGA black and white", Fixtures::tgaFile(tgaHeader(1, 1, 8, 3), "a"),
         "Only truecolour TGA files are supported"},
        {"TGA without image", Fixtures::tgaFile(tgaHeader(0, 0, 0, 0), {}), "Only truecolour TGA files are supported"},
        {"TGA 16-bit", Fixtures::tga16File(2, 1, "abcd"), "Only 24bpp and 32bpp TGA files are supported"},
        {"TGA 8-bit true colour", Fixtures::tgaFile(tgaHeader(1, 1, 8), "a"),
         "Only 24bpp and 32bpp TGA files are supported"},
        {"TGA 15-bit", Fixtures::tgaFile(tgaHeader(1, 1, 15), "ab"), "Only 24bpp and 32bpp TGA files are supported"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.bytes), c.message) << c.name;
    EXPECT_EQ(failure("DDS "), "Unrecognised image format");
}

TEST(DecodeTextureRejection, NoFile)
{
    gfx::TextureDevice device;
    try {
        assets::DecodeTexture(nullptr, device);
        FAIL() << "no file accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "No texture file");
    }
}

TEST(DecodeTextureDds, EachFourCCGoesToTheDeviceWithItsFormatAndAlphaMode)
{
    struct Case {
        const char* fourCC;
        std::string block;
        TextureFormat format;
        AlphaMode alpha;
    };
    const Case cases[] = {
        {"DXT1", someBc1Block(), TextureFormat::BC1, AlphaMode::Straight},
        {"DXT2", someBc2Block(), TextureFormat::BC2, AlphaMode::Premultiplied},
        {"DXT3", someBc2Block(), TextureFormat::BC2, AlphaMode::Straight},
        {"DXT4", someBc3Block(), TextureFormat::BC3, AlphaMode::Premultiplied},
        {"DXT5", someBc3Block(), TextureFormat::BC3, AlphaMode::Straight},
    };
    for (const Case& c : cases) {
        // 6 × 7 pixels: 2 × 2 blocks.
        const std::string blocks = repeat(c.block, 4);
        const gfx::BitmapPtr decoded = decode(Fixtures::ddsFile(ddsHeader(6, 7, c.fourCC), blocks));
        gfx::TextureDevice device;
        const gfx::BitmapPtr direct = device.convert(6, 7, span(blocks), 2 * c.block.size(), c.format, c.alpha);
        ASSERT_EQ(decoded->width, 6) << c.fourCC;
        ASSERT_EQ(decoded->height, 7) << c.fourCC;
        EXPECT_EQ(decoded->pixels, direct->pixels) << c.fourCC;
    }
}

TEST(DecodeTextureDds, StraightHalfAlphaWhiteComesOutAsHalfGrey)
{
    // White with alpha 128 (a0 = 128, every index 0). As DXT5 (straight) the
    // colour is premultiplied to 128; as DXT4 (premultiplied) it stays 255.
    const std::string block = Fixtures::bc3Block(128, 0, 0, Fixtures::colourBlock(0xFFFF, 0xFFFF, 0));
    const gfx::BitmapPtr straight = decode(Fixtures::ddsFile(ddsHeader(4, 4, "DXT5"), block));
    const gfx::BitmapPtr premultipliedSource = decode(Fixtures::ddsFile(ddsHeader(4, 4, "DXT4"), block));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixelAt(*straight, x, y), (Bgra{128, 128, 128, 128}));
            EXPECT_EQ(pixelAt(*premultipliedSource, x, y), (Bgra{255, 255, 255, 128}));
        }
    }
}

TEST(DecodeTextureDds, FirstStoredBlockRowEndsAtTheBottom)
{
    // 4 × 8: a red block row, then a blue one. Index 0 everywhere.
    const std::string red = Fixtures::colourBlock(Fixtures::rgb565(31, 0, 0), 0, 0);
    const std::string blue = Fixtures::colourBlock(Fixtures::rgb565(0, 0, 31), 0, 0);
    const gfx::BitmapPtr bitmap = decode(Fixtures::ddsFile(ddsHeader(4, 8, "DXT1"), red + blue));
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(pixelAt(*bitmap, 2, y), y < 4 ? (Bgra{255, 0, 0, 255}) : (Bgra{0, 0, 255, 255})) << "row " << y;
}

TEST(DecodeTextureDds, RowPitchFromTheHeaderOrFromTheWidth)
{
    // 5 × 8 DXT3: two blocks a row, two rows.
    const std::string a = someBc2Block(), b = someBc3Block(); // any 16 bytes
    const std::string packed = a + b + b + a;
    gfx::TextureDevice device;
    const gfx::BitmapPtr expected = device.convert(5, 8, span(packed), 32, TextureFormat::BC2, AlphaMode::Straight);

    // Pitch present: 40-byte rows, 8 bytes of padding after each.
    Fixtures::DdsHeader withPitch = ddsHeader(5, 8, "DXT3");
    withPitch.flags = 0x1007 | Fixtures::DdsHeader::PitchPresent;
    withPitch.pitchOrLinearSize = 40;
    EXPECT_EQ(decode(Fixtures::ddsFile(withPitch, a + b + "padding!" + b + a))->pixels, expected->pixels);

    // No pitch flag: the field (a linear size, here nonsense) is ignored.
    Fixtures::DdsHeader linear = ddsHeader(5, 8, "DXT3");
    linear.pitchOrLinearSize = 3;
    EXPECT_EQ(decode(Fixtures::ddsFile(linear, packed))->pixels, expected->pixels);

    // A pitch smaller than a row of blocks is refused by the device.
    withPitch.pitchOrLinearSize = 16;
    EXPECT_EQ(failure(Fixtures::ddsFile(withPitch, packed)), "Texture row pitch 16 is smaller than a row of 32 bytes");
}

TEST(DecodeTextureDds, OnlyTheFullSizeLevelOfAMipMappedFile)
{
    // 8 × 8 DXT1 with levels of 8, 4, 2 and 1 pixels: 4 + 1 + 1 + 1 blocks.
    const std::string level0 = someBc1Block() + Fixtures::colourBlock(0, 0xFFFF, 0) + someBc1Block()
                               + Fixtures::colourBlock(0x1234, 0x4321, 0x55AA55AAu);
    Fixtures::DdsHeader header = ddsHeader(8, 8, "DXT1");
    header.mipMapCount = 4;
    const std::string mipMaps = repeat(Fixtures::colourBlock(0xFFFF, 0, 0xFFFFFFFFu), 3);
    const gfx::BitmapPtr bitmap = decode(Fixtures::ddsFile(header, level0 + mipMaps));
    gfx::TextureDevice device;
    const gfx::BitmapPtr expected = device.convert(8, 8, span(level0), 16, TextureFormat::BC1, AlphaMode::Straight);
    ASSERT_EQ(bitmap->width, 8);
    ASSERT_EQ(bitmap->height, 8);
    EXPECT_EQ(bitmap->pixels, expected->pixels);
}

TEST(DecodeTextureDds, PixelDataShorterThanTheHeaderRequires)
{
    Fixtures::DdsHeader wide = ddsHeader(0xFFFFFFFFu, 0xFFFFFFFFu, "DXT5");
    Fixtures::DdsHeader hugePitch = ddsHeader(4, 8, "DXT1");
    hugePitch.flags |= Fixtures::DdsHeader::PitchPresent;
    hugePitch.pitchOrLinearSize = 0xFFFFFFFFu;
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"5 × 5 DXT1 a byte short", Fixtures::ddsFile(ddsHeader(5, 5, "DXT1"), repeat(someBc1Block(), 4).substr(1)),
         "Incomplete DDS file"},
        {"4 × 4 DXT5 a byte short", Fixtures::ddsFile(ddsHeader(4, 4, "DXT5"), someBc3Block().substr(1)),
         "Incomplete DDS file"},
        {"largest sides", Fixtures::ddsFile(wide, repeat(someBc3Block(), 4)), "Incomplete DDS file"},
        {"largest pitch", Fixtures::ddsFile(hugePitch, repeat(someBc1Block(), 4)), "Incomplete DDS file"},
        // Enough data, but beyond what the device holds.
        {"too wide", Fixtures::ddsFile(ddsHeader(8196, 1, "DXT1"), repeat(someBc1Block(), 2049)),
         "The parameter is incorrect.\r\n (ID3D10Device::CreateTexture2D)"},
        {"no pixels", Fixtures::ddsFile(ddsHeader(0, 0, "DXT1"), {}),
         "The parameter is incorrect.\r\n (ID3D10Device::CreateTexture2D)"},
        {"5 × 5 DXT1 complete", Fixtures::ddsFile(ddsHeader(5, 5, "DXT1"), repeat(someBc1Block(), 4)), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.bytes), c.message) << c.name;
}

TEST(DecodeTextureTga, ThirtyTwoBitPixelsArePremultipliedAndTheFirstRowEndsAtTheBottom)
{
    // 2 × 2, rows stored as given; the origin bits (top left here) are not consulted.
    Fixtures::TgaHeader header = tgaHeader(2, 2, 32);
    header.descriptor = 0x28;
    const std::string pixels{'\x10', '\x20', '\x30', '\xFF', '\xC8', '\x64', '\x32', '\x80',
                             '\x00', '\xFF', '\x00', '\x00', '\x05', '\x06', '\x07', '\x08'};
    const gfx::BitmapPtr bitmap = decode(Fixtures::tgaFile(header, pixels));
    ASSERT_EQ(bitmap->width, 2);
    ASSERT_EQ(bitmap->height, 2);
    EXPECT_EQ(pixelAt(*bitmap, 0, 1), (Bgra{0x10, 0x20, 0x30, 0xFF}));
    EXPECT_EQ(pixelAt(*bitmap, 1, 1), (Bgra{premultiplied(200, 128), premultiplied(100, 128), premultiplied(50, 128), 128}));
    EXPECT_EQ(pixelAt(*bitmap, 0, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(*bitmap, 1, 0), (Bgra{premultiplied(5, 8), premultiplied(6, 8), premultiplied(7, 8), 8}));
}

TEST(DecodeTextureTga, TwentyFourBitPixelsAreRebuiltOpaque)
{
    // 3 × 2. The first pixel is stored as 10, 20, 30: blue 10, green 20, red 30.
    const std::string pixels{10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const gfx::BitmapPtr bitmap = decode(Fixtures::tgaFile(tgaHeader(3, 2, 24), pixels));
    ASSERT_EQ(bitmap->width, 3);
    ASSERT_EQ(bitmap->height, 2);
    EXPECT_EQ(pixelAt(*bitmap, 0, 1), (Bgra{10, 20, 30, 255}));
    EXPECT_EQ(pixelAt(*bitmap, 2, 1), (Bgra{70, 80, 90, 255}));
    EXPECT_EQ(pixelAt(*bitmap, 1, 0), (Bgra{4, 5, 6, 255}));
}

TEST(DecodeTextureTga, IdentificationFieldAndColourMapAreSkipped)
{
    const std::string pixel{11, 22, 33, 44};
    struct Case {
        const char* name;
        std::string id;
        std::uint8_t mapType;
        std::uint16_t mapLength;
        std::uint8_t entryBits;
        std::string map; // the bytes the decoder is expected to skip
    };
    const Case cases[] = {
        {"id field", "hello", 0, 0, 0, ""},
        {"24-bit map", "", 1, 3, 24, std::string(9, 'm')},
        {"id and 32-bit map", "x", 1, 2, 32, std::string(8, 'm')},
        // Entry bits are divided by 8 as whole numbers: 15-bit entries take one byte each.
        {"15-bit map", "", 1, 4, 15, std::string(4, 'm')},
        // A length without a map type is not a map.
        {"map length without a map", "", 0, 9, 24, ""},
    };
    for (const Case& c : cases) {
        Fixtures::TgaHeader header = tgaHeader(1, 1, 32);
        header.id = c.id;
        header.colourMapType = c.mapType;
        header.colourMapLength = c.mapLength;
        header.colourMapEntryBits = c.entryBits;
        header.colourMap = c.map;
        const gfx::BitmapPtr bitmap = decode(Fixtures::tgaFile(header, pixel));
        EXPECT_EQ(pixelAt(*bitmap, 0, 0), (Bgra{premultiplied(11, 44), premultiplied(22, 44), premultiplied(33, 44), 44}))
            << c.name;
    }
}

TEST(DecodeTextureTga, SizeCheckCountsTheFooter)
{
    // 5 × 2 at 32 bits needs 40 bytes of pixels; some of them are left out.
    const std::string pixels = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    struct Case {
        Fixtures::TgaFooter footer;
        std::size_t shortBy;
        bool passes;
    };
    const std::size_t signature = Fixtures::tgaFooterSize(Fixtures::TgaFooter::Signature);
    const std::size_t full = Fixtures::tgaFooterSize(Fixtures::TgaFooter::Full);
    ASSERT_EQ(signature, 18u);
    ASSERT_EQ(full, 26u);
    const Case cases[] = {
        {Fixtures::TgaFooter::Signature, 0, true},
        {Fixtures::TgaFooter::Signature, 8, true},
        {Fixtures::TgaFooter::Signature, signature - 1, true},
        {Fixtures::TgaFooter::Signature, signature, true},
        {Fixtures::TgaFooter::Signature, signature + 1, false},
        {Fixtures::TgaFooter::Full, full, true},
        {Fixtures::TgaFooter::Full, full + 1, false},
    };
    for (const Case& c : cases) {
        const std::string file = Fixtures::tgaFile(tgaHeader(5, 2, 32), pixels.substr(0, 40 - c.shortBy), c.footer);
        SCOPED_TRACE(::testing::Message() << "footer " << static_cast<int>(c.footer) << ", short by " << c.shortBy);
        if (!c.passes) {
            EXPECT_EQ(failure(file), "Incomplete TGA file");
            continue;
        }
        const gfx::BitmapPtr bitmap = decode(file);
        // The stored bytes from offset 18 on, footer included, are the pixels;
        // the second stored row is the top row.
        const std::string seen = file.substr(18, 40);
        for (int i = 0; i < 10; ++i) {
            const auto byte = [&](int k) { return static_cast<std::uint8_t>(seen[static_cast<std::size_t>(4 * i + k)]); };
            const int a = byte(3);
            EXPECT_EQ(pixelAt(*bitmap, i % 5, 1 - i / 5),
                      (Bgra{premultiplied(byte(0), a), premultiplied(byte(1), a), premultiplied(byte(2), a), a}))
                << "pixel " << i;
        }
    }
}

TEST(DecodeTextureTga, IncompleteFiles)
{
    Fixtures::TgaHeader longId = tgaHeader(1, 1, 24);
    longId.id = std::string(255, 'i');
    Fixtures::TgaHeader hugeMap = tgaHeader(1, 1, 24);
    hugeMap.colourMapType = 1;
    hugeMap.colourMapLength = 0xFFFF;
    hugeMap.colourMapEntryBits = 32;
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"largest sides", Fixtures::tgaFile(tgaHeader(0xFFFF, 0xFFFF, 32), "abcd")},
        // 60 bytes of pixels needed, 33 stored, and the 26-byte footer: one short.
        {"24-bit, one byte short", Fixtures::tgaFile(tgaHeader(20, 1, 24), std::string(33, 'p'))},
        {"id field past the end", Fixtures::tgaFile(longId, {}, Fixtures::TgaFooter::Signature).substr(0, 18 + 200)
                                      + std::string(Fixtures::TgaSignature)},
        {"colour map past the end", Fixtures::tgaFile(hugeMap, "abc")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.bytes), "Incomplete TGA file") << c.name;
}

TEST(DecodeTextureSamples, CompressedPicturesDecodeCloseToThePicture)
{
    // A 19 × 13 picture whose channels all follow t = 3x + 5y, so that each
    // block's colours lie on a line, as DXT expects. Within a block t spans 24:
    // palette steps of 8 in blue leave at most 4, 5-bit endpoints about 4 more,
    // and DXT3's 4-bit alphas (error up to 8) move premultiplied colours by up
    // to 8·124/255. A wrong channel or pixel order would be off by far more.
    const int width = 19, height = 13;
    std::vector<std::uint8_t> picture;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int t = 3 * x + 5 * y;
            picture.insert(picture.end(), {static_cast<std::uint8_t>(10 + t), static_cast<std::uint8_t>(200 - t),
                                           static_cast<std::uint8_t>(60 + t / 2), static_cast<std::uint8_t>(255 - t)});
        }
    }
    for (const Fixtures::Dxt kind : {Fixtures::Dxt::Dxt1, Fixtures::Dxt::Dxt3, Fixtures::Dxt::Dxt5}) {
        const gfx::BitmapPtr bitmap = decode(Fixtures::ddsFromPicture(picture, width, height, kind));
        ASSERT_EQ(bitmap->width, width);
        ASSERT_EQ(bitmap->height, height);
        int worst = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = &picture[(static_cast<std::size_t>(y) * width + x) * 4];
                const int a = kind == Fixtures::Dxt::Dxt1 ? 255 : p[3];
                const Bgra expected{premultiplied(p[0], a), premultiplied(p[1], a), premultiplied(p[2], a), a};
                const Bgra actual = pixelAt(*bitmap, x, height - 1 - y);
                for (int k = 0; k < 4; ++k)
                    worst = std::max(worst, std::abs(actual[k] - expected[k]));
            }
        }
        EXPECT_LE(worst, 14) << "kind " << static_cast<int>(kind);
    }
}

// Thousands of damaged files: the decoder may refuse them, but only with
// std::runtime_error, never by crashing or reading outside the file.
TEST(DecodeTextureCorruption, DamagedFilesFailCleanly)
{
    std::vector<std::uint8_t> picture(13 * 9 * 4);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<std::uint8_t>(i * 37);
    Fixtures::DdsHeader pitched = ddsHeader(9, 6, "DXT5");
    pitched.flags |= Fixtures::DdsHeader::PitchPresent;
    pitched.pitchOrLinearSize = 56;
    Fixtures::TgaHeader mapped = tgaHeader(3, 3, 24);
    mapped.id = "id";
    mapped.colourMapType = 1;
    mapped.colourMapLength = 2;
    mapped.colourMapEntryBits = 24;
    mapped.colourMap = "mapmap";
    const std::vector<std::string> originals = {
        Fixtures::ddsFromPicture(picture, 13, 9, Fixtures::Dxt::Dxt1),
        Fixtures::ddsFromPicture(picture, 13, 9, Fixtures::Dxt::Dxt3),
        Fixtures::ddsFromPicture(picture, 13, 9, Fixtures::Dxt::Dxt5),
        Fixtures::ddsFile(ddsHeader(8, 8, "DXT2"), repeat(someBc2Block(), 4)),
        Fixtures::ddsFile(ddsHeader(4, 4, "DXT4"), someBc3Block()),
        Fixtures::ddsFile(pitched, repeat(someBc3Block() + "12345678", 2)),
        Fixtures::ddsDx10File(4, 4, 71, someBc1Block()),
        Fixtures::tgaFile(tgaHeader(5, 3, 32), std::string(60, 'p')),
        Fixtures::tgaFile(tgaHeader(5, 3, 24), std::string(45, 'p'), Fixtures::TgaFooter::Signature),
        Fixtures::tgaFile(mapped, std::string(27, 'p')),
        Fixtures::tga16File(2, 2, "abcdefgh"),
    };
    // Header fields where a damaged value matters most.
    const std::vector<std::size_t> ddsFields = {8, 12, 16, 20, 28, 80, 84};
    const std::vector<std::size_t> tgaFields = {0, 1, 2, 5, 7, 12, 14, 16};
    const std::uint32_t extremes[] = {0, 1, 3, 4, 5, 0x7F, 0xFF, 0x100, 0x2000, 0x2001, 0xFFFF, 0x10000,
                                      0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};

    std::mt19937 random(1234567);
    const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    int refused = 0, decoded = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string bytes = originals[below(originals.size())];
        const bool dds = bytes.compare(0, 4, "DDS ") == 0;
        switch (below(5)) {
        case 0: // random bytes anywhere
            for (std::size_t n = 1 + below(4); n > 0; --n)
                bytes[below(bytes.size())] = static_cast<char>(random());
            break;
        case 1: { // a header field set to an extreme value
            const std::vector<std::size_t>& fields = dds ? ddsFields : tgaFields;
            const std::size_t at = fields[below(fields.size())];
            const std::uint32_t value = extremes[below(std::size(extremes))];
            const std::size_t width = dds ? 4 : (at == 12 || at == 14 || at == 5 ? 2 : 1);
            for (std::size_t k = 0; k < width && at + k < bytes.size(); ++k)
                bytes[at + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
            break;
        }
        case 2: // cut short, keeping the TGA footer when there is one
            if (dds) {
                bytes.resize(below(bytes.size() + 1));
            } else {
                const std::string footer = bytes.substr(bytes.size() - 18);
                bytes.resize(below(bytes.size() - 17));
                bytes += footer;
            }
            break;
        case 3: // grown by random bytes (a DDS) or bytes before the footer (a TGA)
            for (std::size_t n = 1 + below(40); n > 0; --n)
                bytes.insert(dds ? bytes.size() : bytes.size() - 18, 1, static_cast<char>(random()));
            break;
        default: // several header bytes at once
            for (std::size_t n = 1 + below(8); n > 0; --n)
                bytes[below(std::min<std::size_t>(bytes.size(), dds ? 128 : 18))] = static_cast<char>(random());
            break;
        }
        try {
            const gfx::BitmapPtr bitmap = decode(bytes);
            ASSERT_TRUE(bitmap);
            ASSERT_GT(bitmap->width, 0);
            ASSERT_GT(bitmap->height, 0);
            ASSERT_EQ(bitmap->pixels.size(), static_cast<std::size_t>(bitmap->width) * bitmap->height * 4);
            ++decoded;
        } catch (const std::runtime_error&) {
            ++refused;
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), Kestra::Hr::InvalidArgument) << "round " << round;
            ++refused;
        } catch (...) {
            FAIL() << "round " << round << ": an exception the decoder does not throw";
        }
    }
    // Both outcomes occur, so the damage reaches past the first checks.
    EXPECT_GT(refused, 500);
    EXPECT_GT(decoded, 500);
}

} // namespace
