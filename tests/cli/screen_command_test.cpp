// tise-cli tree, render and check on modules made here: real screen text
// through the real loader, pictures read back from the PNGs the tool writes,
// and the reports it prints.

#include "fixtures/tga_builder.h"
#include "fixtures/ucs_builder.h"
#include "support/png_pixels.h"
#include "support/process.h"
#include "support/temp_dir.h"

#include <QByteArray>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using TestSupport::lines;

using TestSupport::pixel;
using TestSupport::Rgba;
using TestSupport::TempDir;

constexpr Rgba Red{255, 0, 0, 255}, Blue{0, 0, 255, 255}, Green{0, 255, 0, 255}, Black{0, 0, 0, 255},
    White{255, 255, 255, 255}, CheckerDark{223, 223, 223, 255};

const std::string RenderUsage =
    "usage: tise-cli render MODULE SCREEN -o OUT.png [--size WxH] [--hover NAME] [--emphasize NAME] [--fade F]"
    " [--watch] | MODULE --all -o FOLDER [--size WxH]... [-j N]";

// An installation with one module, Test.module: data folder Mod/Data with
// the font "plain" (DejaVu Sans 16), the placeholders' font, and an English
// string table that has $1 only. Screens go to art/ui/screens/.
class ScreenModule {
public:
    ScreenModule()
    {
        dir_.write("Test.module", "[global]\nModFolder = Mod\nDataFolder.1 = Data\n");
        write("Font/DejaVuSans.ttf", TestSupport::readFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        write("Font/plain.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
        write("Font/gillsans_16.fnt", "font = { name = 'DejaVu Sans Book', sizeDefault = 16 }");
        dir_.write("Mod/Locale/English/strings.ucs", Fixtures::ucsFile({{1, "Localised"}}));
    }

    // A file of the data folder ("/" separated).
    void write(const std::string& path, const std::string& bytes) const { dir_.write("Mod/Data/" + path, bytes); }
    void screen(const std::string& name, const std::string& lua) const { write("art/ui/screens/" + name, lua); }

    // tise-cli COMMAND MODULE ARGS...
    TestSupport::ProcessResult run(const std::string& command, std::vector<std::string> args) const
    {
        args.insert(args.begin(), {command, dir_ / "Test.module"});
        return TestSupport::runProgram("tise-cli", args);
    }

    std::string operator/(const std::string& relative) const { return dir_ / relative; }

private:
    TempDir dir_;
};

QJsonDocument parseJson(const std::string& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in\n" << text;
    return document;
}

// ---------------------------------------------------------------- tree

TEST(TreeCommand, PrintsEveryWidgetAndArtItemInLuaOrder)
{
    const ScreenModule module;
    module.screen("tree.screen", R"(
        Screen = {
            TooltipWidgets = { name = 'Tip', position = { 0.5, 0 }, size = { 0.5, 0.25 },
                Presentation = { Art = {
                    { type = 'Text', ID = 3, states = { 'Normal' }, fontname = 'plain',
                      textColourTop = { 255, 0, 0, 255 }, textColourBottom = { 0, 0, 255, 51 },
                      multiline = false, dropShadow = true, horzAlign = 'Centre', vertAlign = 'Bottom' },
                } } },
            Widgets = { type = 'Group', name = 'Caf\233', text = 'Hello', tooltip_text = 'Says hello',
                tooltip_name = 'Tip', position = { 0.125, 0.25 }, size = { 0.75, 0.5 },
                Presentation = { Art = {
                    { type = 'Graphic', ID = 1, states = { 'Hover', 'Disabled', 'Normal' },
                      texture = 'art/ui/textures/plate', flipHorizontal = true, colour = { 255, 255, 255, 102 },
                      position = { 0.5, 0 }, size = { 0.5, 0.25 } },
                    { type = 'Rectangle', ID = 2.5, states = { 'CheckedActive', 'Checked' },
                      colour = { 0, 51, 102, 255 }, rectangleType = 'Border' },
                    { type = 'Rectangle' },
                    { type = 'Line', p1 = { 0, 0.5 }, p2 = { 1, 0.75 } },
                    { type = 'Swf', swf = 'menu.swf', alpha = 0.5 },
                    { type = 'Sprite', states = { 'Normal' } },
                } },
                Children = {
                    { type = 'Button', name = 'First', visible = false },
                    { type = 'Custom', name = 'Second', position = { 0, 0.5 }, size = { 1, 0.5 },
                      Children = { { name = 'Leaf' } } },
                } },
        })");
    const auto result = module.run("tree", {"tree.screen"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.back(), '\n') << "one document followed by a newline";
    EXPECT_NE(result.out.find("\"name\": \"Caf\xC3\xA9\""), std::string::npos)
        << "a Windows-1252 name is printed as UTF-8:\n" << result.out;

    const QJsonDocument expected = parseJson(R"({
  "screen": "Art\\UI\\Screens\\tree.screen",
  "tooltipRoot": {
    "kind": "PlainWidget", "type": null, "name": "Tip", "text": null, "tooltipText": "", "visible": true,
    "tooltip": null, "bounds": [0.5, 0, 0.5, 0.25],
    "art": [
      {"kind": "TextArt", "id": 3, "states": [1], "bounds": [0, 0, 1, 1],
       "textColourTop": [1, 0, 0, 1], "textColourBottom": [0, 0, 1, 0.2], "fontname": "plain",
       "multiline": false, "dropShadow": true, "horzAlign": 2, "vertAlign": 1}
    ],
    "children": []
  },
  "widgetsRoot": {
    "kind": "ShapeWidget", "type": "Group", "name": "Café", "text": "Hello", "tooltipText": "Says hello",
    "visible": true, "tooltip": "Tip", "bounds": [0.125, 0.25, 0.75, 0.5],
    "art": [
      {"kind": "TextureArt", "id": 1, "states": [0, 1, 2], "bounds": [0.5, 0, 0.5, 0.25],
       "texture": "art/ui/textures/plate", "flipHorizontal": true, "flipVertical": false, "colour": [1, 1, 1, 0.4]},
      {"kind": "RectangleArt", "id": 2, "states": [5, 7], "bounds": [0, 0, 1, 1],
       "colour": [0, 0.2, 0.4, 1], "rectangleType": "border"},
      {"kind": "RectangleArt", "id": 0, "states": [], "bounds": [0, 0, 1, 1],
       "colour": [0, 0, 0, 1], "rectangleType": "filled"},
      {"kind": "LineArt", "id": 0, "states": [], "bounds": [0, 0, 1, 1],
       "colour": [0, 0, 0, 1], "p1": [0, 0.5], "p2": [1, 0.75]},
      {"kind": "FlashArt", "id": 0, "states": [], "bounds": [0, 0, 1, 1], "swf": "menu.swf", "alpha": 0.5},
      {"kind": "ArtItem", "id": 0, "states": [1], "bounds": [0, 0, 1, 1]}
    ],
    "children": [
      {"kind": "PlainWidget", "type": "Button", "name": "First", "text": null, "tooltipText": "",
       "visible": false, "tooltip": null, "bounds": [0, 0, 1, 1], "art": [], "children": []},
      {"kind": "CustomWidget", "type": "Custom", "name": "Second", "text": null, "tooltipText": "",
       "visible": true, "tooltip": null, "bounds": [0, 0.5, 1, 0.5], "art": [],
       "children": [
         {"kind": "PlainWidget", "type": null, "name": "Leaf", "text": null, "tooltipText": "",
          "visible": true, "tooltip": null, "bounds": [0, 0, 1, 1], "art": [], "children": []}
       ]}
    ]
  }
})");
    // Numbers compare as the doubles they read back as: 0.2 printed as
    // 0.200000003 would differ.
    EXPECT_EQ(parseJson(result.out), expected) << result.out;
}

TEST(TreeCommand, ScreensWithoutRootsAndScreensNamedByPath)
{
    const ScreenModule module;
    module.screen("none.screen", "x = 1");
    module.screen("number.screen", "Screen = 5");
    module.screen("empty.screen", "Screen = { Widgets = 'no table' }");
    module.screen("one.screen", "Screen = { Widgets = { name = 'Only' } }");
    struct Case {
        std::string screen, path; // the path as printed
        const char* widgetsRoot;  // its name, or null
    };
    const std::vector<Case> cases{
        {"none.screen", "Art\\UI\\Screens\\none.screen", nullptr},
        {"number.screen", "Art\\UI\\Screens\\number.screen", nullptr},
        {"empty.screen", "Art\\UI\\Screens\\empty.screen", nullptr},
        // A SCREEN with a separator is a path of the file system, used as given.
        {"art/ui/screens/one.screen", "art/ui/screens/one.screen", "Only"},
        {"ART\\UI\\SCREENS\\one.screen", "ART\\UI\\SCREENS\\one.screen", "Only"},
    };
    for (const Case& c : cases) {
        const auto result = module.run("tree", {c.screen});
        ASSERT_EQ(result.exitCode, 0) << c.screen << ": " << result.err;
        const QJsonObject tree = parseJson(result.out).object();
        EXPECT_EQ(tree.keys(), (QStringList{"screen", "tooltipRoot", "widgetsRoot"})) << result.out;
        EXPECT_EQ(tree["screen"].toString().toStdString(), c.path);
        EXPECT_TRUE(tree["tooltipRoot"].isNull()) << result.out;
        if (c.widgetsRoot)
            EXPECT_EQ(tree["widgetsRoot"].toObject()["name"].toString().toStdString(), c.widgetsRoot) << result.out;
        else
            EXPECT_TRUE(tree["widgetsRoot"].isNull()) << result.out;
    }
}

TEST(TreeCommand, ScreensThatFailSayWhyOnStderr)
{
    const ScreenModule module;
    module.screen("syntax.screen", "Screen = {\n  Widgets = {\n    name = = 'x' } }\n");
    module.screen("size.screen", "Screen = { Widgets = { size = { 'wide', 1 } } }");
    module.screen("bytes.screen", "Screen = { Widgets = { name = 'Caf\xE9 } }\n");
    struct Case {
        std::string screen;
        std::string errStart; // the whole of stderr starts so, and is one line
    };
    const std::vector<Case> cases{
        {"gone.screen", "tise-cli: Cannot open screen file Art\\UI\\Screens\\gone.screen\n"},
        {"nowhere/gone.screen", "tise-cli: Cannot open screen file nowhere/gone.screen\n"},
        {"syntax.screen", "tise-cli: Cannot load screen file Art\\UI\\Screens\\syntax.screen: slice:3: "},
        {"size.screen", "tise-cli: Cannot instantiate screen file Art\\UI\\Screens\\size.screen: "},
        // Lua quotes the screen's bytes; they are decoded as every game text is.
        {"bytes.screen", "tise-cli: Cannot load screen file Art\\UI\\Screens\\bytes.screen: slice:1: "},
    };
    for (const Case& c : cases) {
        const auto result = module.run("tree", {c.screen});
        EXPECT_EQ(result.exitCode, 1) << c.screen;
        EXPECT_EQ(result.out, "") << c.screen;
        EXPECT_EQ(result.err.rfind(c.errStart, 0), 0u) << result.err;
        EXPECT_EQ(lines(result.err).size(), 1u) << result.err;
        EXPECT_EQ(result.err.back(), '\n');
    }
    const auto bytes = module.run("tree", {"bytes.screen"});
    EXPECT_NE(bytes.err.find("Caf\xC3\xA9"), std::string::npos) << bytes.err;
    EXPECT_EQ(bytes.err.find("Caf\xE9 "), std::string::npos) << "no raw Windows-1252 byte";
}

// ---------------------------------------------------------------- render

// Over the checkerboard (8-pixel squares of black at alpha 32 over white),
// from the top left:
//   Panel: (1/4, 1/2) size (1/2, 1/4), red; its right half's top half blue;
//   Hot: (0, 0) size (1/8, 1/8), green only while hovered, tooltip "Tip";
//   Mute: (1/8, 0) size (1/8, 1/8), tooltip "Tip" with a one-letter text;
//   Other (named Café in Windows-1252): (0, 7/8) size (1/4, 1/8), red;
//   Tip (the tooltip tree): (1/2, 0) size (1/2, 1/4), black text.
const char* const RenderScreen = R"(
    Screen = {
        TooltipWidgets = { name = 'Tip', position = { 0.5, 0 }, size = { 0.5, 0.25 },
            Presentation = { Art = { { type = 'Text', fontname = 'plain', states = { 'Normal' } } } } },
        Widgets = { name = 'Root', Children = {
            { name = 'Panel', position = { 0.25, 0.5 }, size = { 0.5, 0.25 }, Presentation = { Art = {
                { type = 'Rectangle', colour = { 255, 0, 0, 255 }, states = { 'Normal' } },
                { type = 'Rectangle', colour = { 0, 0, 255, 255 }, states = { 'Normal' },
                  position = { 0.5, 0 }, size = { 0.5, 0.5 } },
            } } },
            { name = 'Hot', size = { 0.125, 0.125 }, tooltip_name = 'Tip',
              tooltip_text = 'Tooltip words that take room',
              Presentation = { Art = { { type = 'Rectangle', colour = { 0, 255, 0, 255 }, states = { 'Hover' } } } } },
            { name = 'Mute', position = { 0.125, 0 }, size = { 0.125, 0.125 }, tooltip_name = 'Tip',
              tooltip_text = 'i' },
            { name = 'Caf\233', position = { 0, 0.875 }, size = { 0.25, 0.125 }, Presentation = { Art = {
                { type = 'Rectangle', colour = { 255, 0, 0, 255 }, states = { 'Normal' } } } } },
        } },
    })";

Rgba checker(int x, int y) { return (x % 16 < 8) == (y % 16 < 8) ? CheckerDark : White; }

bool near(Rgba actual, Rgba expected, int tolerance = 2)
{
    return std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
           std::abs(actual.b - expected.b) <= tolerance && std::abs(actual.a - expected.a) <= tolerance;
}

// Pixels in [x0, x1) × [y0, y1) that are neither background nor checkerboard.
int inkCount(const QImage& image, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += !near(pixel(image, x, y), checker(x, y));
    return count;
}

class RenderCommand : public testing::Test {
protected:
    void SetUp() override { module.screen("render.screen", RenderScreen); }

    // Renders render.screen with the options; the picture, or a null image
    // and a test failure.
    QImage render(std::vector<std::string> options)
    {
        const std::string out = module / "out.png";
        std::filesystem::remove(out);
        options.insert(options.begin(), {"render.screen", "-o", out});
        const auto result = module.run("render", options);
        EXPECT_EQ(result.exitCode, 0) << testing::PrintToString(options) << ": " << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "");
        if (result.exitCode != 0)
            return {};
        return TestSupport::readPng(out);
    }

    ScreenModule module;
};

TEST_F(RenderCommand, DrawsArtWhereItsFractionsPlaceItOnAWhiteBackground)
{
    struct Case {
        std::vector<std::string> options;
        int width, height;
    };
    for (const Case& c : {Case{{}, 1024, 768}, Case{{"--size", "320x160"}, 320, 160}}) {
        const QImage image = render(c.options);
        ASSERT_EQ(image.size(), QSize(c.width, c.height)) << testing::PrintToString(c.options);
        const int w = c.width, h = c.height;
        struct Probe {
            int x, y;
            Rgba colour;
        };
        const std::vector<Probe> probes{
            // Panel: red over [w/4, 3w/4) × [h/2, 3h/4) ...
            {w / 4, h / 2 + h / 8, Red},
            {w / 4, 3 * h / 4 - 1, Red},
            {w / 2 - 1, h / 2, Red},
            {3 * w / 4 - 1, 3 * h / 4 - 1, Red},
            // ... with its blue art over [w/2, 3w/4) × [h/2, h/2 + h/8).
            {w / 2, h / 2, Blue},
            {3 * w / 4 - 1, h / 2 + h / 8 - 1, Blue},
            {3 * w / 4 - 1, h / 2 + h / 8, Red},
            // Just outside: the checkerboard.
            {w / 4 - 1, h / 2, checker(w / 4 - 1, h / 2)},
            {3 * w / 4, h / 2, checker(3 * w / 4, h / 2)},
            {w / 2, h / 2 - 1, checker(w / 2, h / 2 - 1)},
            {w / 2, 3 * h / 4, checker(w / 2, 3 * h / 4)},
            // Hover art does not draw without the pointer; nothing is in the tooltip.
            {2, 2, CheckerDark},
            {10, 2, White},
            {w - 6, h / 8, checker(w - 6, h / 8)},
            // Nothing drawn over the squares: opaque white and opaque grey.
            {w - 1, h / 2, White},
            {w - 16, h / 2 + 8, White},
            {w - 8, h / 2 + 8, CheckerDark},
        };
        for (const Probe& p : probes)
            EXPECT_EQ(pixel(image, p.x, p.y), p.colour) << w << "x" << h << " at " << p.x << ", " << p.y;
        EXPECT_EQ(inkCount(image, w / 2, 0, w, h / 4), 0) << "an empty tooltip";
    }
}

TEST_F(RenderCommand, HoverShowsHoverArtAndHandsTheTooltipTextOver)
{
    const QImage none = render({});
    const QImage hot = render({"--hover", "Hot"});
    const QImage mute = render({"--hover", "Mute"});
    ASSERT_FALSE(none.isNull());
    ASSERT_FALSE(hot.isNull());
    ASSERT_FALSE(mute.isNull());

    for (auto [x, y] : {std::pair{0, 0}, {64, 48}, {127, 95}})
        EXPECT_EQ(pixel(hot, x, y), Green) << "hover art at " << x << ", " << y;
    EXPECT_EQ(pixel(hot, 128, 96), CheckerDark) << "only over the widget";
    EXPECT_EQ(pixel(none, 64, 48), CheckerDark);
    EXPECT_EQ(pixel(mute, 64, 48), CheckerDark) << "another widget hovered";

    // The tooltip's text art shows the hovered widget's tooltip_text, inside
    // the tooltip's rectangle [512, 1024) × [0, 192).
    const int hotInk = inkCount(hot, 512, 0, 1024, 192);
    const int muteInk = inkCount(mute, 512, 0, 1024, 192);
    EXPECT_EQ(inkCount(none, 512, 0, 1024, 192), 0);
    EXPECT_GT(hotInk, 500) << "a line of text";
    EXPECT_GT(muteInk, 5) << "one letter";
    EXPECT_GT(hotInk, 5 * muteInk) << "each hovered widget's own text";
    // Glyph edges may bleed a pixel; beyond that the text stays in its box.
    EXPECT_EQ(inkCount(hot, 128, 0, 510, 384), 0);
    EXPECT_EQ(inkCount(hot, 512, 194, 1024, 384), 0);
}

TEST_F(RenderCommand, EmphasisDimsTheRestToTheFadeAndOutlinesTheWidget)
{
    // Other's red at (8, 690) lies over a white square, at (0, 690) over a dark one.
    struct Case {
        std::vector<std::string> options;
        Rgba otherOverWhite, otherOverDark;
    };
    const std::vector<Case> cases{
        // The default fade, 0.25: a quarter of red over the rest.
        {{"--emphasize", "Panel"}, {255, 191, 191, 255}, {231, 167, 167, 255}},
        {{"--emphasize", "Panel", "--fade", "0.5"}, {255, 128, 128, 255}, {239, 112, 112, 255}},
        {{"--emphasize", "Panel", "--fade", "1"}, Red, Red},
        // --fade alone emphasizes nothing.
        {{"--fade", "0.5"}, Red, Red},
    };
    for (const Case& c : cases) {
        const QImage image = render(c.options);
        ASSERT_EQ(image.size(), QSize(1024, 768));
        const std::string what = testing::PrintToString(c.options);
        EXPECT_TRUE(near(pixel(image, 8, 690), c.otherOverWhite)) << what << ": " << pixel(image, 8, 690);
        EXPECT_TRUE(near(pixel(image, 0, 690), c.otherOverDark)) << what << ": " << pixel(image, 0, 690);
        // The emphasized widget and its art at full strength; the checkerboard
        // below the dimming unchanged.
        EXPECT_EQ(pixel(image, 300, 500), Red) << what;
        EXPECT_EQ(pixel(image, 600, 400), Blue) << what;
        EXPECT_EQ(pixel(image, 255, 500), checker(255, 500)) << what;
        EXPECT_EQ(pixel(image, 300, 383), checker(300, 383)) << what;
        const bool emphasized = c.options[0] == "--emphasize";
        // A one-pixel outline on the widget's edge pixels [256, 768) × [384, 576).
        for (auto [x, y] : {std::pair{256, 500}, {767, 500}, {300, 384}, {300, 575}, {256, 384}, {767, 575}})
            EXPECT_EQ(pixel(image, x, y), emphasized ? Black : x > 511 && y < 480 ? Blue : Red)
                << what << " at " << x << ", " << y;
        EXPECT_EQ(pixel(image, 257, 500), Red) << what << ": one pixel wide";
    }

    // A Windows-1252 name given in UTF-8, as tree prints it.
    const QImage other = render({"--emphasize", "Caf\xC3\xA9"});
    ASSERT_FALSE(other.isNull());
    EXPECT_EQ(pixel(other, 8, 680), Red);
    EXPECT_EQ(pixel(other, 0, 767), Black) << "its outline";
    EXPECT_TRUE(near(pixel(other, 300, 500), {255, 191, 191, 255})) << pixel(other, 300, 500);
}

TEST_F(RenderCommand, FailuresWriteNothing)
{
    const std::string out = module / "out.png";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string firstLine; // of stderr
    };
    const std::vector<Case> cases{
        {{"render.screen", "-o", out, "--hover", "Nobody"}, 1, "tise-cli: No widget is named Nobody"},
        {{"render.screen", "-o", out, "--emphasize", "Nobody"}, 1, "tise-cli: No widget is named Nobody"},
        {{"gone.screen", "-o", out}, 1, "tise-cli: Cannot open screen file Art\\UI\\Screens\\gone.screen"},
        {{"render.screen"}, 2, "tise-cli: missing option -o"},
        {{"render.screen", "-o"}, 2, "tise-cli: option -o needs a value"},
        {{"-o", out}, 2, "tise-cli: missing argument"},
        {{"render.screen", "-o", out, "--size", "0x5"}, 2, ""},
        {{"render.screen", "-o", out, "--size", "abc"}, 2, ""},
        {{"render.screen", "-o", out, "--size", "10x"}, 2, ""},
        {{"render.screen", "-o", out, "--size", "x10"}, 2, ""},
        {{"render.screen", "-o", out, "--size", "5x5x5"}, 2, ""},
        {{"render.screen", "-o", out, "--size", "-4x4"}, 2, ""},
        {{"render.screen", "-o", out, "--size", "16385x1"}, 2, ""},
        {{"render.screen", "-o", out, "--fade", "dim"}, 2, ""},
        {{"render.screen", "-o", out, "--zoom", "2"}, 2, "tise-cli: unknown option --zoom"},
    };
    for (const Case& c : cases) {
        const auto result = module.run("render", c.args);
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << what << ": " << result.err;
        EXPECT_EQ(result.out, "") << what;
        const std::vector<std::string> err = lines(result.err);
        ASSERT_FALSE(err.empty()) << what;
        if (!c.firstLine.empty())
            EXPECT_EQ(err[0], c.firstLine) << what;
        else
            EXPECT_EQ(err[0].rfind("tise-cli: ", 0), 0u) << what << ": " << result.err;
        if (c.exitCode == 2)
            EXPECT_EQ(err.back(), RenderUsage) << what;
        else
            EXPECT_EQ(err.size(), 1u) << result.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << what;
    }
}

// A screen filled with one colour.
std::string filled(const Rgba& colour)
{
    return "Screen = { Widgets = { name = 'Root', Presentation = { Art = { { type = 'Rectangle', colour = { "
           + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " + std::to_string(colour.b)
           + ", 255 }, states = { 'Normal' } } } } } }";
}

// The output goes beside the module file, in a folder the tool watches: its
// own writes there must not start another render.
TEST_F(RenderCommand, WatchRendersAgainAfterEachChangeUntilInterrupted)
{
    using namespace std::chrono_literals;
    module.screen("watched.screen", filled(Red));
    const std::string out = module / "watched.png";
    TestSupport::RunningProgram watching(
        "tise-cli", {"render", module / "Test.module", "watched.screen", "-o", out, "--size", "32x24", "--watch"});
    auto printed = [&](std::size_t count) {
        return watching.waitFor([&] { return lines(watching.out()).size() >= count; }, 30s);
    };
    auto centre = [&] {
        const QImage image = TestSupport::readPng(out);
        return image.isNull() ? Rgba{} : pixel(image, 16, 12);
    };
    // After a change the line names the file that changed.
    const std::string changed = " (changed: " + module / "Mod/Data/art/ui/screens/watched.screen" + ")";
    auto rendered = [&](const std::string& line, const std::string& after = "") {
        const std::string end = " ms" + after;
        return line.rfind("rendered in ", 0) == 0 && line.size() > 12 + end.size() &&
               line.substr(line.size() - end.size()) == end;
    };

    ASSERT_TRUE(printed(1)) << watching.err();
    EXPECT_TRUE(rendered(lines(watching.out())[0])) << watching.out();
    EXPECT_EQ(centre(), Red);

    module.screen("watched.screen", "Screen = {");
    ASSERT_TRUE(printed(2)) << watching.err();
    EXPECT_EQ(lines(watching.out())[1].rfind("error: Cannot load screen file Art\\UI\\Screens\\watched.screen: slice:1:", 0), 0u)
        << watching.out();
    EXPECT_TRUE(lines(watching.out())[1].ends_with(changed)) << watching.out();
    EXPECT_EQ(centre(), Red) << "a failed render writes nothing";

    module.screen("watched.screen", filled(Blue));
    ASSERT_TRUE(printed(3)) << watching.err();
    EXPECT_TRUE(rendered(lines(watching.out())[2], changed)) << watching.out();
    EXPECT_EQ(centre(), Blue);

    std::this_thread::sleep_for(1500ms); // a render set off by its own output would print by now
    EXPECT_EQ(lines(watching.out()).size(), 3u) << watching.out();
    EXPECT_EQ(watching.stop(SIGINT, 10s), 0) << watching.err();
}

// ---------------------------------------------------------------- check

// A 2 × 2 24-bit TGA: a texture that decodes.
std::string goodTga()
{
    Fixtures::TgaHeader header;
    header.width = 2;
    header.height = 2;
    header.depth = 24;
    header.descriptor = 0;
    return Fixtures::tgaFile(header, std::string(12, '\x80'));
}

class CheckCommand : public testing::Test {
protected:
    void SetUp() override
    {
        module.write("art/ui/textures/good.tga", goodTga());
        module.write("art/ui/textures/old.tga", Fixtures::tga16File(2, 2, std::string(8, '\x1F')));
        module.write("art/ui/textures/fake.dds", "not a texture at all, whatever its name says");
        module.write("Font/broken.fnt", "font = { name = 'No Such Typeface', sizeDefault = 16 }");

        module.screen("broken.screen", "Screen = {\n  Widgets = {\n");
        module.screen("Clean.screen", R"(
            Screen = { Widgets = { name = 'fine', type = 'TextLabel', text = '$1', Presentation = { Art = {
                { type = 'Graphic', texture = 'art/ui/textures/good', states = { 'Normal' } },
                { type = 'Text', fontname = 'plain', states = { 'Normal' } },
                { type = 'Rectangle', states = { 'Normal' } },
            } } } })");
        module.screen("fonts.screen", R"(
            local shown = { 'Normal' }
            Screen = {
                TooltipWidgets = { name = 'tip',
                    Presentation = { Art = { { type = 'Text', fontname = 'tipfont', states = shown } } } },
                Widgets = { Children = {
                    { name = 'a', text = 'words', tooltip_name = 'tip', tooltip_text = 'more words',
                      Presentation = { Art = { { type = 'Text', fontname = 'plain', states = shown } } } },
                    { name = 'b', text = 'words',
                      Presentation = { Art = { { type = 'Text', fontname = 'nofont', states = shown } } } },
                    { name = 'c', text = 'words',
                      Presentation = { Art = { { type = 'Text', fontname = 'broken', states = shown } } } },
                    { name = 'd', text = 'words',
                      Presentation = { Art = { { type = 'Text', fontname = 'nofont', states = shown } } } },
                    { name = 'no text',
                      Presentation = { Art = { { type = 'Text', fontname = 'unused', states = shown } } } },
                } } })");
        module.screen("strings.screen", R"(
            Screen = {
                TooltipWidgets = { name = 'tip' },
                Widgets = { Children = {
                    { name = 'found', text = '$1', tooltip_text = '$1', tooltip_name = 'tip' },
                    { name = 'lost', text = '$99' },
                    { name = 'lost tip', tooltip_text = '$98', tooltip_name = 'tip' },
                    { name = 'never shown', tooltip_text = '$97' },
                    { name = 'plain', text = 'Just words' },
                } } })");
        module.screen("textures.screen", R"(
            local shown = { 'Normal' }
            Screen = { Widgets = { Presentation = { Art = {
                { type = 'Graphic', texture = 'art/ui/textures/gone', states = shown },
                { type = 'Graphic', texture = 'art/ui/textures/old', states = shown },
                { type = 'Graphic', texture = 'ui:art/ui/textures/fake.dds', states = shown },
                { type = 'Graphic', texture = 'art/ui/textures/good.tga', states = shown },
                { type = 'Graphic', texture = '', states = shown },
                { type = 'Graphic', texture = 'art/ui/textures/gone', states = shown },
            } } } })");
        module.screen("types.screen", R"(
            Screen = { Widgets = { name = 'Caf\233', type = 'Frobnicator', Children = {
                { type = 'Group' }, { type = 'Button' }, { type = 'Custom' }, { type = 'TextLabel' },
                { type = 'CheckButton' }, { type = 'ComboBox' }, { type = 'ProgressBar' }, { type = 'EditText' },
                { type = 'RadioButton' }, { type = 'TextListBox' }, { type = 'Swf' }, { name = 'untyped' },
                { name = 'two\nlines', type = 7 },
                { name = 'art', Presentation = { Art = { { type = 'Sprite' }, {}, { type = 'Line', states = {} } } } },
            } } })");
    }

    ScreenModule module;
};

TEST_F(CheckCommand, ReportsEachProblemOnALineOfItsOwn)
{
    const auto result = module.run("check", {});
    EXPECT_EQ(result.exitCode, 1) << "a screen failed to load";
    const std::vector<std::string> got = lines(result.out);
    const std::vector<std::string> expected{
        "broken.screen: error: Cannot load screen file Art\\UI\\Screens\\broken.screen: slice:3: ",
        // The tooltip's text art shows the text of the widget hovered; findings come in the file's order.
        "fonts.screen: warning: font \"tipfont\" fell back to Microsoft Sans Serif: no file font\\tipfont.fnt",
        "fonts.screen: warning: font \"nofont\" fell back to Microsoft Sans Serif: no file font\\nofont.fnt",
        "fonts.screen: warning: font \"broken\" fell back to Microsoft Sans Serif: font\\broken.fnt does not load, "
        "or names a typeface that no .ttf file in font\\ has",
        "strings.screen: warning: widget \"lost\": text $99 is in no string table",
        "strings.screen: warning: widget \"lost tip\": tooltip_text $98 is in no string table",
        "textures.screen: warning: missing texture \"art/ui/textures/gone\": no file art/ui/textures/gone.dds or "
        "art/ui/textures/gone.tga",
        "textures.screen: warning: invalid texture \"art/ui/textures/old\": art/ui/textures/old.tga: "
        "Only 24bpp and 32bpp TGA files are supported",
        "textures.screen: warning: invalid texture \"ui:art/ui/textures/fake.dds\": art/ui/textures/fake.dds: "
        "Unrecognised image format",
        "textures.screen: warning: widget \"Untitled\", art 5 (Graphic): its texture is \"\": it draws nothing",
        "types.screen: warning: widget \"Café\" has the unknown type \"Frobnicator\" (drawn as a plain widget)",
        "types.screen: warning: widget \"two\\nlines\" has the unknown type \"7\" (drawn as a plain widget)",
        "types.screen: warning: widget \"art\" has an art item of the unknown type \"Sprite\" (it draws nothing)",
        "types.screen: warning: widget \"art\" has an art item without a type (it draws nothing)",
        "6 screens, 1 errors, 13 warnings",
    };
    ASSERT_EQ(got.size(), expected.size()) << result.out;
    // The load error goes on with Lua's own message.
    EXPECT_EQ(got[0].rfind(expected[0], 0), 0u) << got[0];
    for (std::size_t i = 1; i < expected.size(); ++i)
        EXPECT_EQ(got[i], expected[i]);
    // The decoder's messages are diagnostics as well.
    EXPECT_NE(result.err.find("Only 24bpp and 32bpp TGA files are supported\n"), std::string::npos) << result.err;
}

TEST_F(CheckCommand, NamedScreensAloneAreChecked)
{
    struct Case {
        std::vector<std::string> screens;
        int exitCode;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {{"Clean.screen"}, 0, {"1 screens, 0 errors, 0 warnings"}},
        {{"strings.screen", "Clean.screen"},
         0,
         {"strings.screen: warning: widget \"lost\": text $99 is in no string table",
          "strings.screen: warning: widget \"lost tip\": tooltip_text $98 is in no string table",
          "2 screens, 0 errors, 2 warnings"}},
        {{"art/ui/screens/clean.screen", "gone.screen"},
         1,
         {"gone.screen: error: Cannot open screen file Art\\UI\\Screens\\gone.screen",
          "2 screens, 1 errors, 0 warnings"}},
    };
    for (const Case& c : cases) {
        const auto result = module.run("check", c.screens);
        EXPECT_EQ(result.exitCode, c.exitCode) << testing::PrintToString(c.screens) << ": " << result.err;
        EXPECT_EQ(lines(result.out), c.lines) << testing::PrintToString(c.screens);
    }

    const auto usage = TestSupport::runProgram("tise-cli", {"check"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.err.find("usage: tise-cli check MODULE [SCREEN...] [--own] [--size WxH]... "
                             "[--format text|gnu|json|sarif] [-j N]\n"),
              std::string::npos)
        << usage.err;
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--format", "xml"}, {"--size", "0x10"},
                                                {"-j", "0"}, {"--format"}, {"--owned"}}) {
        const auto result = module.run("check", bad);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(bad);
        EXPECT_EQ(result.out, "") << testing::PrintToString(bad);
    }
}

// What a script, an editor and a code-scanning service read: the same
// findings in each format, and the same exit status.
TEST_F(CheckCommand, EveryFormatReportsTheSameFindings)
{
    const auto text = module.run("check", {});
    const auto gnu = module.run("check", {"--format", "gnu", "-j", "2"});
    const auto json = module.run("check", {"--format", "json", "--size", "800x600", "--size", "1920x1080"});
    const auto sarif = module.run("check", {"--format", "sarif"});
    for (const auto* result : {&text, &gnu, &json, &sarif})
        EXPECT_EQ(result->exitCode, 1) << result->out << result->err;
    for (const char* jobs : {"1", "3", "9"}) {
        const auto parallel = module.run("check", {"-j", jobs});
        EXPECT_EQ(parallel.exitCode, 1) << jobs;
        EXPECT_EQ(parallel.out, text.out) << "-j " << jobs << " prints what one process prints";
        EXPECT_EQ(parallel.err, text.err) << "-j " << jobs << ": the diagnostics in the screens' order";
    }

    const std::vector<std::string> textLines = lines(text.out), gnuLines = lines(gnu.out);
    ASSERT_FALSE(textLines.empty());
    ASSERT_FALSE(gnuLines.empty());
    EXPECT_EQ(gnuLines.back(), textLines.back()) << "the same last line";
    const nlohmann::json report = nlohmann::json::parse(json.out);
    EXPECT_EQ(textLines.back(), std::to_string(report["screens"].get<int>()) + " screens, " +
                                    std::to_string(report["errors"].get<int>()) + " errors, " +
                                    std::to_string(report["warnings"].get<int>()) + " warnings");
    EXPECT_EQ(report["module"], module / "Test.module");
    const nlohmann::json& findings = report["findings"];
    ASSERT_EQ(findings.size(), textLines.size() - 1) << "no notes here: text shows every finding";
    std::size_t gnuFindings = 0;
    for (const std::string& line : gnuLines)
        gnuFindings += line.find(": note: ") == std::string::npos;
    EXPECT_EQ(gnuFindings - 1, findings.size());

    const nlohmann::json results = nlohmann::json::parse(sarif.out)["runs"][0]["results"];
    ASSERT_EQ(results.size(), findings.size());
    const auto oneLine = [](std::string text) {
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
            text.replace(at, 1, "\\n");
        return text;
    };
    for (std::size_t i = 0; i < findings.size(); ++i) {
        std::string where = findings[i]["screen"].is_string() ? findings[i]["screen"].get<std::string>()
                                                              : findings[i]["file"].get<std::string>();
        if (!findings[i]["screen"].is_string())
            where = std::filesystem::path(where).filename().string(); // the file's name
        EXPECT_EQ(textLines[i], where + ": " + findings[i]["level"].get<std::string>() + ": " +
                                    oneLine(findings[i]["message"].get<std::string>()));
        EXPECT_EQ(results[i]["ruleId"], findings[i]["code"]);
        EXPECT_EQ(results[i]["message"]["text"], findings[i]["message"]);
    }
    EXPECT_EQ(findings[0]["code"], "load-error");
    EXPECT_EQ(findings[0]["screen"], "broken.screen");
}

// A mod over a base game whose screens fail: the mod's own check passes.
TEST_F(CheckCommand, OwnKeepsToTheModulesOwnScreens)
{
    TempDir install;
    install.write("Base.module", "ModFolder = Base\nDataFolder.1 = Data\n");
    install.write("Base/Data/Art/UI/Screens/base.screen", "Screen = {");
    install.write("Base/Data/Art/UI/Screens/shared.screen", "Screen = {");
    install.write("Mod.module", "ModFolder = Mod\nDataFolder.1 = Data\nRequiredMod.1 = Base\n");
    install.write("Mod/Data/Art/UI/Screens/shared.screen", "Screen = { Widgets = { name = 'fixed' } }");
    install.write("Mod/Data/Art/UI/Screens/mine.screen", "Screen = { Widgets = { text = '$5' } }");

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases{
        {{},
         1,
         {"base.screen: error: Cannot load screen file Art\\UI\\Screens\\base.screen: slice:1: unexpected symbol "
          "near <eof>",
          "mine.screen: warning: widget \"Untitled\": text $5 is in no string table",
          "3 screens, 1 errors, 1 warnings"}},
        {{"--own"}, 0, {"mine.screen: warning: widget \"Untitled\": text $5 is in no string table",
                        "2 screens, 0 errors, 1 warnings"}},
        {{"--own", "base.screen", "shared.screen"}, 0, {"1 screens, 0 errors, 0 warnings"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"check", install / "Mod.module"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = TestSupport::runProgram("tise-cli", args);
        EXPECT_EQ(result.exitCode, c.exitCode) << testing::PrintToString(c.args) << result.err;
        EXPECT_EQ(lines(result.out), c.lines) << testing::PrintToString(c.args);
    }
}

} // namespace
