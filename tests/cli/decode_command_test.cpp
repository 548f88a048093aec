// tise-cli decode: DDS and TGA files on disk to PNG.

#include "fixtures/dds_builder.h"
#include "fixtures/dxt_blocks.h"
#include "fixtures/tga_builder.h"
#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using TestSupport::runProgram;
using TestSupport::TempDir;
using TestSupport::Rgba;
using TestSupport::pixel;
using TestSupport::readPng;

Fixtures::TgaHeader tgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t depth)
{
    Fixtures::TgaHeader header;
    header.width = width;
    header.height = height;
    header.depth = depth;
    return header;
}

TEST(DecodeCommand, WritesStraightAlphaByDefaultAndTheConvertedBytesOnRequest)
{
    // A 32-bit TGA, 3 × 2, rows stored bottom row first. Stored as blue, green, red, alpha:
    //   row 0: opaque (10, 20, 30), (b 77, g 154, r 231, a 200), transparent white
    //   row 1: (b 100, g 50, r 25, a 128), (1, 2, 3, a 1), (b 255, g 255, r 255, a 255)
    const std::string pixels{10, 20, 30, '\xFF', 77, '\x9A', '\xE7', '\xC8', '\xFF', '\xFF', '\xFF', 0,
                             100, 50, 25, '\x80', 1, 2, 3, 1, '\xFF', '\xFF', '\xFF', '\xFF'};
    const TempDir dir;
    const std::string input = dir.write("in.tga", Fixtures::tgaFile(tgaHeader(3, 2, 32), pixels));

    // Converted (premultiplied, round(c·a/255)):
    //   (231, 154, 77) at 200 -> round(181.2) 181, round(120.8) 121, round(60.4) 60
    //   (25, 50, 100) at 128 -> round(12.5) 13, round(25.1) 25, round(50.2) 50
    //   (3, 2, 1) at 1 -> round(0.01) 0, 0, 0
    const auto premultiplied = runProgram("tise-cli", {"decode", input, "-o", dir / "pm.png", "--premultiplied"});
    ASSERT_EQ(premultiplied.exitCode, 0) << premultiplied.err;
    EXPECT_EQ(premultiplied.out, "");
    EXPECT_EQ(premultiplied.err, "");
    const QImage pm = readPng(dir / "pm.png");
    ASSERT_EQ(pm.width(), 3);
    ASSERT_EQ(pm.height(), 2);
    EXPECT_EQ(pixel(pm, 0, 1), (Rgba{30, 20, 10, 255}));
    EXPECT_EQ(pixel(pm, 1, 1), (Rgba{181, 121, 60, 200}));
    EXPECT_EQ(pixel(pm, 2, 1), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(pixel(pm, 0, 0), (Rgba{13, 25, 50, 128}));
    EXPECT_EQ(pixel(pm, 1, 0), (Rgba{0, 0, 0, 1}));
    EXPECT_EQ(pixel(pm, 2, 0), (Rgba{255, 255, 255, 255}));

    // Straight: the converted colour divided by alpha, min(255, round(c·255/a)):
    //   181·255/200 = 230.8 -> 231, 121·255/200 = 154.3 -> 154, 60·255/200 = 76.5 -> 77
    //   13·255/128 = 25.9 -> 26, 25·255/128 = 49.8 -> 50, 50·255/128 = 99.6 -> 100
    const auto straight = runProgram("tise-cli", {"decode", input, "-o", dir / "straight.png"});
    ASSERT_EQ(straight.exitCode, 0) << straight.err;
    const QImage st = readPng(dir / "straight.png");
    EXPECT_EQ(pixel(st, 0, 1), (Rgba{30, 20, 10, 255}));
    EXPECT_EQ(pixel(st, 1, 1), (Rgba{231, 154, 77, 200}));
    EXPECT_EQ(pixel(st, 2, 1), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(pixel(st, 0, 0), (Rgba{26, 50, 100, 128}));
    EXPECT_EQ(pixel(st, 1, 0), (Rgba{0, 0, 0, 1}));
    EXPECT_EQ(pixel(st, 2, 0), (Rgba{255, 255, 255, 255}));
}

TEST(DecodeCommand, DdsAndTwentyFourBitTga)
{
    const TempDir dir;
    // DXT5, 4 × 8: the first block row white at alpha 128, the second opaque blue.
    const std::string white = Fixtures::bc3Block(128, 0, 0, Fixtures::colourBlock(0xFFFF, 0xFFFF, 0));
    const std::string blue = Fixtures::bc3Block(255, 0, 0, Fixtures::colourBlock(Fixtures::rgb565(0, 0, 31), 0, 0));
    Fixtures::DdsHeader header;
    header.width = 4;
    header.height = 8;
    header.fourCC = "DXT5";
    const std::string dds = dir.write("in.dds", Fixtures::ddsFile(header, white + blue));
    ASSERT_EQ(runProgram("tise-cli", {"decode", dds, "-o", dir / "dds.png"}).exitCode, 0);
    ASSERT_EQ(runProgram("tise-cli", {"decode", dds, "-o", dir / "dds-pm.png", "--premultiplied"}).exitCode, 0);
    const QImage straight = readPng(dir / "dds.png"), premultiplied = readPng(dir / "dds-pm.png");
    ASSERT_EQ(straight.size(), QSize(4, 8));
    for (int y = 0; y < 8; ++y) {
        // The first stored block row is at the bottom.
        EXPECT_EQ(pixel(straight, 1, y), y < 4 ? (Rgba{0, 0, 255, 255}) : (Rgba{255, 255, 255, 128})) << y;
        EXPECT_EQ(pixel(premultiplied, 1, y), y < 4 ? (Rgba{0, 0, 255, 255}) : (Rgba{128, 128, 128, 128})) << y;
    }

    // 24-bit TGA, 2 × 1: stored blue 10, green 20, red 30, then 40, 50, 60.
    const std::string tga = dir.write("in.tga", Fixtures::tgaFile(tgaHeader(2, 1, 24), std::string{10, 20, 30, 40, 50, 60}));
    ASSERT_EQ(runProgram("tise-cli", {"decode", tga, "-o", dir / "tga.png"}).exitCode, 0);
    const QImage opaque = readPng(dir / "tga.png");
    EXPECT_EQ(pixel(opaque, 0, 0), (Rgba{30, 20, 10, 255}));
    EXPECT_EQ(pixel(opaque, 1, 0), (Rgba{60, 50, 40, 255}));
}

TEST(DecodeCommand, FailuresExitWithStatusOneAndWriteNothing)
{
    const TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "Unrecognised image format"},
        {"16-bit TGA", Fixtures::tga16File(1, 1, "ab"), "Only 24bpp and 32bpp TGA files are supported"},
        {"short TGA", Fixtures::tgaFile(tgaHeader(100, 1, 32), "abcd"), "Incomplete TGA file"},
        {"DX10", Fixtures::ddsDx10File(4, 4, 71, std::string(8, '\0')), "Only DXT[n] and DX10 DDS files are supported"},
    };
    for (const Case& c : cases) {
        const std::string input = dir.write("bad.bin", c.bytes);
        const auto result = runProgram("tise-cli", {"decode", input, "-o", dir / "out.png"});
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_EQ(result.err, std::string("tise-cli: ") + c.message + "\n") << c.name;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.png")) << c.name;
    }

    const auto missing = runProgram("tise-cli", {"decode", dir / "none.dds", "-o", dir / "out.png"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "tise-cli: Cannot open file " + (dir / "none.dds") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));

    const std::string good = dir.write("good.tga", Fixtures::tgaFile(tgaHeader(1, 1, 24), "abc"));
    const auto unwritable = runProgram("tise-cli", {"decode", good, "-o", dir / "no/such/folder/out.png"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err, "tise-cli: Cannot write " + (dir / "no/such/folder/out.png") + "\n");
}

TEST(DecodeCommand, Usage)
{
    const TempDir dir;
    const std::string good = dir.write("good.tga", Fixtures::tgaFile(tgaHeader(1, 1, 24), "abc"));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    };
    const Case cases[] = {
        {{"decode", good}, 2},                                   // no -o
        {{"decode", "-o", dir / "out.png"}, 2},                  // no FILE
        {{"decode", good, good, "-o", dir / "out.png"}, 2},      // two FILEs
        {{"decode", good, "-o"}, 2},                             // -o without its value
        {{"decode", good, "-o", dir / "out.png", "--straight"}, 2},
    };
    for (const Case& c : cases) {
        const auto result = runProgram("tise-cli", c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << ::testing::PrintToString(c.args);
        EXPECT_NE(result.err.find("usage: tise-cli decode FILE -o OUT.png [--premultiplied]"), std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));

    const auto help = runProgram("tise-cli", {"decode", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, "usage: tise-cli decode FILE -o OUT.png [--premultiplied]\n");
    const auto list = runProgram("tise-cli", {"--help"});
    EXPECT_NE(list.out.find("tise-cli decode FILE -o OUT.png [--premultiplied]"), std::string::npos);
}

} // namespace
