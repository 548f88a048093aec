// tise-cli texture: textures of the sample installation, found through a
// mounted module as a screen finds them, and both kinds of placeholder.

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

constexpr Rgba Red{255, 0, 0, 255}, Green{0, 255, 0, 255}, Blue{0, 0, 255, 255}, White{255, 255, 255, 255},
    Magenta{255, 0, 255, 255};

struct Texture {
    int exitCode;
    std::string err;
    QImage image;
};

// Runs the command in the sample installation and reads the PNG it wrote.
Texture texture(const std::string& module, const std::string& name, bool premultiplied = false)
{
    const TempDir dir;
    std::vector<std::string> args{"texture", module, name, "-o", dir / "out.png"};
    if (premultiplied)
        args.push_back("--premultiplied");
    const auto result = runProgram("tise-cli", args, TISE_SAMPLE_DIR);
    EXPECT_EQ(result.out, "") << name;
    QImage image;
    if (result.exitCode == 0) {
        image.load(QString::fromStdString(dir / "out.png"));
        EXPECT_EQ(image.format(), QImage::Format_ARGB32) << "not an RGBA PNG: " << name;
    }
    return {result.exitCode, result.err, image};
}

TEST(TextureCommand, DrawsTheSamplesTexturesUpright)
{
    struct Probe {
        int x, y;
        Rgba colour;
    };
    struct Case {
        std::string module, name;
        int width, height;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases{
        // 24-bit TGA in a data folder: red, green, blue, white quadrants.
        {"Ironveil.module", "Art/UI/Textures/banner", 48, 24, {{0, 0, Red}, {47, 0, Green}, {0, 23, Blue}, {47, 23, White}}},
        // The name as given first, then .dds, then .tga; a prefix up to ':' is dropped.
        {"Ironveil.module", "ui:Art/UI/Textures/banner.png", 48, 24, {{23, 11, Red}, {24, 12, White}}},
        // DXT1 in the base game's archive, seen through the mod that requires it.
        {"Emberwake.module", "art\\ui\\textures\\frame", 16, 16, {{0, 0, Green}, {15, 7, Green}, {0, 8, Blue}, {15, 15, Blue}}},
        {"Emberwake.module", "Art/UI/Textures/checker_dxt1.dds", 64, 64, {{0, 0, Red}, {16, 0, White}, {16, 16, Red}, {63, 63, Red}}},
        // DXT3 with explicit alpha 0x88 on the right half.
        {"Ironveil.module", "Art/UI/Textures/panel_dxt3", 32, 32, {{0, 0, Blue}, {31, 31, {0, 255, 0, 136}}}},
        // 32-bit TGA: orange squares on transparent black.
        {"Ironveil.module", "Art/UI/Textures/badge.tga", 20, 20, {{0, 0, {255, 128, 0, 255}}, {5, 0, {0, 0, 0, 0}}, {5, 5, {255, 128, 0, 255}}}},
    };
    for (const Case& c : cases) {
        const Texture result = texture(c.module, c.name);
        ASSERT_EQ(result.exitCode, 0) << c.name << ": " << result.err;
        EXPECT_EQ(result.err, "") << c.name;
        ASSERT_EQ(result.image.size(), QSize(c.width, c.height)) << c.name;
        for (const Probe& p : c.probes)
            EXPECT_EQ(pixel(result.image, p.x, p.y), p.colour) << c.name << " at " << p.x << ", " << p.y;
    }

    // Sides that are not multiples of 4: a DXT5 gradient from opaque yellow to transparent.
    const Texture glow = texture("Ironveil.module", "Art/UI/Textures/glow_dxt5");
    ASSERT_EQ(glow.exitCode, 0) << glow.err;
    ASSERT_EQ(glow.image.size(), QSize(30, 18));
    EXPECT_EQ(pixel(glow.image, 0, 17), (Rgba{255, 255, 0, 255}));
    EXPECT_EQ(pixel(glow.image, 29, 0).a, 0);
    EXPECT_GT(pixel(glow.image, 10, 9).a, pixel(glow.image, 20, 9).a);

    const Texture premultiplied = texture("Ironveil.module", "Art/UI/Textures/panel_dxt3", true);
    ASSERT_EQ(premultiplied.exitCode, 0) << premultiplied.err;
    EXPECT_EQ(pixel(premultiplied.image, 31, 31), (Rgba{0, 136, 0, 136}));
}

TEST(TextureCommand, MissingAndInvalidTexturesGivePlaceholders)
{
    const Texture invalid = texture("Emberwake.module", "Art/UI/Textures/oldformat");
    ASSERT_EQ(invalid.exitCode, 0) << invalid.err;
    EXPECT_EQ(invalid.err, "Art/UI/Textures/oldformat.tga: Only 24bpp and 32bpp TGA files are supported\n")
        << "the member that failed, then the decoder's message";

    const Texture missing = texture("Emberwake.module", "Art/UI/Textures/nothing");
    ASSERT_EQ(missing.exitCode, 0) << missing.err;
    EXPECT_EQ(missing.err, "tise-cli: warning: missing texture \"Art/UI/Textures/nothing\": no file "
                           "Art/UI/Textures/nothing.dds or Art/UI/Textures/nothing.tga\n");

    for (const QImage* image : {&invalid.image, &missing.image}) {
        ASSERT_EQ(image->size(), QSize(256, 256));
        for (auto [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}, {128, 10}})
            EXPECT_EQ(pixel(*image, x, y), Magenta) << x << ", " << y;
        int dark = 0;
        for (int y = 96; y < 160; ++y)
            for (int x = 0; x < 256; ++x)
                dark += qRed(image->pixel(x, y)) < 64 && qBlue(image->pixel(x, y)) < 64;
        EXPECT_GT(dark, 100) << "black text across the middle";
    }
    EXPECT_NE(invalid.image, missing.image);
}

TEST(TextureCommand, FailuresAndUsage)
{
    const Texture noModule = texture("Nothing.module", "Art/UI/Textures/banner");
    EXPECT_EQ(noModule.exitCode, 1);
    EXPECT_EQ(noModule.err, "tise-cli: Cannot open module file Nothing.module\n");

    const TempDir dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"texture", "Ironveil.module", "x"},
                                                 {"texture", "Ironveil.module", "-o", dir / "out.png"},
                                                 {"texture", "Ironveil.module", "x", "-o", dir / "out.png", "--bogus"}}) {
        const auto result = runProgram("tise-cli", args, TISE_SAMPLE_DIR);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(args);
        EXPECT_NE(result.err.find("usage: tise-cli texture MODULE NAME -o OUT.png [--premultiplied]"), std::string::npos)
            << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"));
}

} // namespace
