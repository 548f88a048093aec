// What loading, building and drawing a screen say about the mistakes the
// game absorbs: each row is a screen file (real Lua text, real texture
// bytes) with one mistake, loaded and drawn once off screen, and the one
// finding it must give: its code, the screen file on disk, the line and the
// widget.

#include "base/diagnostic_log.h"
#include "fixtures/dds_builder.h"
#include "fixtures/tga_builder.h"
#include "screen/offscreen_screen.h"
#include "screen/screen_load_error.h"
#include "screen/screen_view.h"
#include "test_module.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using ScreenTest::TestModule;

struct Row {
    const char* mistake;
    std::string lua;
    const char* code;
    std::optional<int> line;
    const char* widget;       // null: about no widget
    const char* hint = "";    // a part of the hint
};

std::string describe(const base::FindingList& findings)
{
    std::string out;
    for (const base::Finding& f : findings.all())
        out += f.code + " (line " + (f.line ? std::to_string(*f.line) : "-") + "): " + f.message + "\n";
    return out;
}

// Loads test.screen and draws it once at 1024 × 768, checking text fit; the
// load error's finding when it does not load.
base::FindingList findingsOf(TestModule& module, const std::string& lua)
{
    module.writeScreen("test.screen", lua);
    try {
        std::unique_ptr<screen::ScreenView> view = module.load("test.screen");
        view->setCheckTextFit(true);
        screen::OffscreenScreen shown(std::move(view), 1024, 768);
        shown.render();
        return shown.view().findings();
    } catch (const screen::ScreenLoadError& error) {
        base::FindingList failed;
        failed.add(error.finding());
        return failed;
    }
}

void expectOne(TestModule& module, const Row& row, const std::string& file)
{
    SCOPED_TRACE(row.mistake);
    const base::FindingList findings = findingsOf(module, row.lua);
    ASSERT_EQ(findings.size(), 1u) << describe(findings);
    const base::Finding& found = findings.all().front();
    EXPECT_EQ(found.code, row.code) << found.message;
    EXPECT_EQ(found.level, found.code == "load-error" ? base::FindingLevel::Error : base::FindingLevel::Warning);
    EXPECT_EQ(found.file, file);
    EXPECT_FALSE(found.member);
    EXPECT_EQ(found.line, row.line) << found.message;
    EXPECT_EQ(found.widget, row.widget ? std::optional<std::string>(row.widget) : std::nullopt) << found.message;
    if (*row.hint) {
        EXPECT_NE(found.hint.value_or("").find(row.hint), std::string::npos) << found.hint.value_or("<no hint>");
    }
}

class ScreenFindings : public testing::Test {
protected:
    void SetUp() override
    {
        module.write("art/ui/styles/common.styles", "StyleSheet = { Styles = {\n"
                                                    "  { name = 'Button', size = { 0.2, 0.1 } },\n"
                                                    "  { name = 'Label' },\n"
                                                    "} }\n");
        module.write("art/ui/styles/broken.styles", "StyleSheet = { Styles = {\n");
        module.write("art/ui/textures/good.tga", goodTga());
    }

    static std::string goodTga()
    {
        Fixtures::TgaHeader header;
        header.width = header.height = 2;
        return Fixtures::tgaFile(header, std::string(16, '\x80'));
    }

    std::string screenFile() const { return module.dir() / "Mod/Data/art/ui/screens/test.screen"; }

    TestModule module;
};

TEST_F(ScreenFindings, EachMistakeInAScreenIsAFindingAtTheLineOfItsTable)
{
    const std::vector<Row> rows{
        {"a syntax error", "Screen = {\n  Widgets = {\n    name = = 'x' } }\n", "load-error", 3, nullptr},
        {"a call of a function the game does not give", "local x = 1\nprint(x)\n", "load-error", 2, nullptr},
        {"a size that is no number", "Screen = {\n  Widgets = {\n    Children = {\n      { name = 'A',\n"
                                     "        size = { 'wide', 1 } },\n    },\n  },\n}\n",
         "load-error", 4, nullptr},
        {"no Screen table", "screen = { Widgets = {} }\n", "no-screen-table", std::nullopt, nullptr, "`Screen`"},
        {"Widgets that are no table", "Screen = {\n  Widgets = 'all of them',\n}\n", "no-screen-table", 1, nullptr},
        {"neither root", "Screen = {\n  widgets = { name = 'A' },\n}\n", "no-screen-table", 1, nullptr, "`Widgets`"},
        {"a string no table has", "Screen = { Widgets = {\n  name = 'A', text = '$77' } }", "string-missing", 1, "A"},
        {"a style sheet that does not exist", "Screen = { Widgets = { name = 'A', style = { 'Comon', 'Button' } } }",
         "style-sheet-missing", 1, "A", "`common`"},
        {"a style sheet that fails", "Screen = { Widgets = { name = 'A', style = { 'Broken', 'Button' } } }",
         "style-sheet-missing", 1, "A"},
        {"a misspelt style", "Screen = { Widgets = {\n\n  name = 'A', style = { 'Common', 'Buton' } } }",
         "style-missing", 1, "A", "`Button`"},
        {"a misspelt key", "Screen = { Widgets = { Children = {\n  { name = 'A',\n    positon = { 0.5, 0.5 } } } } }",
         "unknown-key", 2, "A", "`position`"},
        {"a misspelt art key", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                               "  { type = 'Rectangle', colur = 'red', states = { 'Normal' } } } } } }",
         "unknown-key", 2, "A", "`colour`"},
        {"a key of another art kind", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                                      "  { type = 'Rectangle', texture = 'x', states = { 'Normal' } } } } } }",
         "unknown-key", 2, "A", "only Graphic art reads `texture`"},
        {"children without Children", "Screen = { Widgets = { name = 'A',\n  { name = 'B' } } }", "unknown-key", 1,
         "A", "Children = {"},
        {"a Presentation key in lower case", "Screen = { Widgets = { name = 'A', Presentation = { art = {} } } }",
         "unknown-key", 1, "A", "`Art`"},
        {"a position keyword", "Screen = { Widgets = { name = 'A', position = { 'left', 0 } } }", "bad-value", 1, "A",
         "fractions"},
        {"visible as a number", "Screen = { Widgets = { name = 'A', visible = 1 } }", "bad-value", 1, "A",
         "visible = true"},
        {"visible in quotes", "Screen = { Widgets = { name = 'A', visible = 'false' } }", "bad-value", 1, "A",
         "without quotes"},
        {"text as a number", "Screen = { Widgets = { name = 'A', text = 5 } }", "bad-value", 1, "A", "text = \"5\""},
        {"a colour as a number", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                                 "  { type = 'Rectangle', colour = 5, states = { 'Normal' } } } } } }",
         "bad-value", 2, "A"},
        {"a colour without alpha", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n\n"
                                   "  { type = 'Rectangle', colour = { 255, 0, 0 }, states = { 'Normal' } } } } } }",
         "bad-value", 3, "A", "alpha"},
        {"an alignment in American",
         "Screen = { Widgets = { name = 'A', text = 'x', Presentation = { Art = {\n"
         "  { type = 'Text', fontname = 'plain', horzAlign = 'Center', states = { 'Normal' } },\n} } } }",
         "bad-value", 2, "A", "`Centre`"},
        {"a misspelt state", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                             "  { type = 'Rectangle', states = { 'Normal', 'Hovered' } } } } } }",
         "bad-value", 2, "A", "`Hover`"},
        {"a style that is no table", "Screen = { Widgets = { name = 'A', style = 'Common.Button' } }", "bad-value", 1,
         "A", "{ \"SHEET\", \"NAME\" }"},
        {"a colour key the table lacks", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                                         "  { type = 'Rectangle', colour = 'bleu', states = { 'Normal' } } } } } }",
         "colour-key-missing", 2, "A", "`blue`"},
        {"a misspelt tooltip", "Screen = {\n  TooltipWidgets = { name = 'Tip' },\n"
                               "  Widgets = { name = 'A', tooltip_name = 'Tpi' },\n}",
         "tooltip-missing", 3, "A", "`Tip`"},
        {"a tooltip widget built after its user", "Screen = { Widgets = { Children = {\n  { name = 'Tip' },\n"
                                                  "  { name = 'A', tooltip_name = 'Tip' },\n} } }",
         "tooltip-missing", 3, "A", "built after this one"},
        {"two widgets of one name", "Screen = { Widgets = { Children = {\n  { name = 'A' },\n  { name = 'A' },\n} } }",
         "duplicate-name", 2, "A", "own"},
        {"a misspelt widget type", "Screen = { Widgets = { name = 'A', type = 'Buton' } }", "unknown-type", 1, "A",
         "`Button`"},
        {"a misspelt art type", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                                "  { type = 'Grafic', states = { 'Normal' } } } } } }",
         "unknown-type", 2, "A", "`Graphic`"},
        {"art without states", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                               "  { type = 'Rectangle', colour = 'red' } } } } }",
         "art-never-drawn", 2, "A", "states = {"},
        {"a Graphic without a texture", "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n"
                                        "  { type = 'Graphic', states = { 'Normal' } } } } } }",
         "texture-no-name", 2, "A"},
        {"a font with no description", "Screen = { Widgets = { name = 'A', text = 'words', Presentation = { Art = {\n"
                                       "  { type = 'Text', fontname = 'bdy', states = { 'Normal' } } } } } }",
         "font-fallback", 2, "A", "`body`"},
        {"a text too long for one line",
         "Screen = { Widgets = { name = 'A', size = { 0.05, 0.05 }, text = 'A sentence far too long for its box',\n"
         "  Presentation = { Art = {\n"
         "  { type = 'Text', fontname = 'plain', multiline = false, states = { 'Normal' } },\n} } } }",
         "text-overflow", 3, "A", "multiline = true"},
        {"a text too long for its box",
         "Screen = { Widgets = { name = 'A', size = { 0.05, 0.05 }, text = "
         "'Many words that wrap onto more lines than the box can hold', Presentation = {\n"
         "  Art = { { type = 'Text', fontname = 'plain', states = { 'Normal' } } } } } }",
         "text-overflow", 2, "A", "box larger"},
    };
    for (const Row& row : rows)
        expectOne(module, row, screenFile());
}

TEST_F(ScreenFindings, TexturesThatDoNotDrawSayWhyAndHowToFixThem)
{
    // Art/UI/Textures/NAME drawn by the art item on line 2.
    const auto screenDrawing = [](const std::string& texture) {
        return "Screen = { Widgets = { name = 'A', Presentation = { Art = {\n  { type = 'Graphic', texture = '" +
               texture + "', states = { 'Normal' } } } } } }";
    };
    Fixtures::TgaHeader tga;
    tga.width = tga.height = 2;
    Fixtures::TgaHeader rle = tga;
    rle.imageType = 10;
    const std::string pixels(16, '\x40');
    const base::DiagnosticCapture quiet; // the decoder's messages
    struct Case {
        const char* name;
        std::string bytes; // empty: no file at all
        const char* code;
        const char* hint;
    };
    const std::vector<Case> cases{
        {"tga10", Fixtures::tgaFile(tga, pixels, Fixtures::TgaFooter::None), "texture-invalid", "TGA 2.0 footer"},
        {"tgarle", Fixtures::tgaFile(rle, pixels), "texture-invalid", "run-length coded"},
        {"tga16", Fixtures::tga16File(2, 2, std::string(8, '\x1F')), "texture-invalid", "16 bits per pixel"},
        {"png", "\x89PNG\r\n\x1A\n" + std::string(60, '\0'), "texture-invalid", "a PNG image"},
        {"jpeg", "\xFF\xD8\xFF\xE0" + std::string(60, '\0'), "texture-invalid", "a JPEG image"},
        {"bmp", "BM" + std::string(60, '\0'), "texture-invalid", "a BMP image"},
        {"gif", "GIF89a" + std::string(60, '\0'), "texture-invalid", "a GIF image"},
        {"dx10", Fixtures::ddsDx10File(4, 4, 28, std::string(64, '\0')), "texture-invalid", "a DX10 header"},
        {"rgba", Fixtures::ddsRgbaFile(4, 4, std::string(64, '\0')), "texture-invalid", "uncompressed"},
        {"godo", "", "texture-missing", "did you mean `good`?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool dds = c.name[0] == 'd' || c.name[0] == 'r';
        if (!c.bytes.empty())
            module.write(std::string("art/ui/textures/") + c.name + (dds ? ".dds" : ".tga"), c.bytes);
        const base::FindingList findings = findingsOf(module, screenDrawing(std::string("art/ui/textures/") + c.name));
        ASSERT_EQ(findings.size(), 1u) << describe(findings);
        const base::Finding& found = findings.all().front();
        EXPECT_EQ(found.code, c.code);
        EXPECT_EQ(found.line, 2);
        EXPECT_EQ(found.widget, "A");
        EXPECT_EQ(found.file, screenFile());
        EXPECT_NE(found.hint.value_or("").find(c.hint), std::string::npos) << found.hint.value_or("<no hint>");
        if (found.code == "texture-invalid") {
            EXPECT_NE(found.hint->find("first stored row at the bottom"), std::string::npos);
        }
    }
    EXPECT_TRUE(findingsOf(module, screenDrawing("art/ui/textures/good")).empty());
}

TEST_F(ScreenFindings, AScreenInAnArchiveIsLocatedAtTheArchiveAndItsMember)
{
    TestModule packed;
    packed.pack({{"art/ui/screens/packed.screen", "Screen = { Widgets = {\n  name = 'A', text = '$5' } }"}});
    const auto view = packed.load("packed.screen");
    ASSERT_EQ(view->findings().size(), 1u);
    const base::Finding& found = view->findings().all().front();
    EXPECT_EQ(found.file, packed.dir() / "Mod/Packed.sga");
    EXPECT_EQ(found.member, "art\\ui\\screens\\packed.screen");
    EXPECT_EQ(found.line, 1);
}

TEST_F(ScreenFindings, TextFitIsCheckedOnlyWhenAskedAndAtTheSizeDrawn)
{
    // Fits at 1024 × 768, not at 400 × 300 (the font "plain" keeps its size at any width).
    module.writeScreen("fit.screen", "Screen = { Widgets = { name = 'A', position = { 0, 0 }, size = { 0.16, 0.05 },"
                                     " text = 'Some words here',\n Presentation = { Art = {\n  { type = 'Text',"
                                     " fontname = 'plain', multiline = false, states = { 'Normal' } } } } } }");
    screen::OffscreenScreen shown(module.load("fit.screen"), 1024, 768);
    shown.render();
    EXPECT_TRUE(shown.view().findings().empty()) << describe(shown.view().findings());
    shown.view().setCheckTextFit(true);
    for (const auto& [width, height, overflows] : {std::tuple{1024, 768, false}, std::tuple{400, 300, true}}) {
        shown.resize(width, height);
        shown.render();
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        bool found = false;
        for (const base::Finding& f : shown.view().findings().all())
            found = found || (f.code == "text-overflow" && f.message.find("at " + size) != std::string::npos);
        EXPECT_EQ(found, overflows) << size << "\n" << describe(shown.view().findings());
    }
}

} // namespace
