#include "assets/colour_table.h"
#include "assets/style_sheets.h"
#include "support/counting_source.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <lua.hpp>

using namespace assets;

using TestSupport::CountingSource;
using TestSupport::TempDir;

namespace {

void expectColour(const gfx::Color& actual, float r, float g, float b, float a, const std::string& what)
{
    EXPECT_FLOAT_EQ(actual.r, r) << what;
    EXPECT_FLOAT_EQ(actual.g, g) << what;
    EXPECT_FLOAT_EQ(actual.b, b) << what;
    EXPECT_FLOAT_EQ(actual.a, a) << what;
}

} // namespace

TEST(ColourTableTest, LooksUpKeyedColours)
{
    TempDir dir;
    dir.write("art/ui/styles/colourtable.colours", R"(
        ColourTable = {
            { key = "white", value = { 255, 255, 255, 255 } },
            { key = "half", value = { 51, 102, 0, 127.5 } },
            { key = "three", value = { 255, 0, 0 } },
            { key = "strings", value = { "255", "0x33", " 51 ", "abc" } },
            { key = "notatable", value = "red" },
            { key = "white", value = { 0, 0, 255, 255 } },
        })");
    CountingSource files(dir.path().string());
    const ColourTable colours(files);
    ASSERT_TRUE(colours.loaded());
    expectColour(colours.lookup("white"), 0, 0, 1, 1, "a later entry replaces an earlier one");
    expectColour(colours.lookup("half"), 0.2f, 0.4f, 0, 0.5f, "channels over 255");
    expectColour(colours.lookup("three"), 1, 0, 0, 0, "three elements give alpha 0");
    expectColour(colours.lookup("strings"), 1, 0.2f, 0.2f, 0, "numeric strings are numbers");
    expectColour(colours.lookup("notatable"), 0, 0, 0, 1, "a value that is no table");
    expectColour(colours.lookup("missing"), 0, 0, 0, 1, "a missing key");
    EXPECT_EQ(files.opened, std::vector<std::string>{"art\\ui\\styles\\colourtable.colours"});
}

TEST(ColourTableTest, FailingColourFilesLeaveEveryKeyBlack)
{
    for (const std::string body : {"", "ColourTable = { { key = 'x', value = {255,0,0,255} } } error('late')",
                                   "Colours = {}", "while true do end", "ColourTable = { 1 }"}) {
        TempDir dir;
        if (!body.empty())
            dir.write("art/ui/styles/colourtable.colours", body);
        CountingSource files(dir.path().string());
        assets::Limits limits;
        limits.instructions = 1'000'000;
        const ColourTable colours(files, limits);
        EXPECT_FALSE(colours.loaded()) << body;
        expectColour(colours.lookup("x"), 0, 0, 0, 1, body);
    }
}

TEST(StyleSheetsTest, FindsStylesAndReadsEachSheetOnce)
{
    TempDir dir;
    dir.write("art/ui/styles/menu.styles", R"(
        StyleSheet = { Styles = {
            { name = "Button", fontname = "gillsans_16", size = { 0.1, 0.05 } },
            { name = "Title", colour = "white" },
        } })");
    auto files = std::make_shared<CountingSource>(dir.path().string());
    StyleSheets sheets(files);

    lua_State* L = sheets.find("Menu", "Button");
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(lua_gettop(L), 1) << "the style table alone on the stack";
    lua_getfield(L, -1, "fontname");
    EXPECT_STREQ(lua_tostring(L, -1), "gillsans_16");

    EXPECT_EQ(sheets.find("MENU", "Title"), L) << "sheet names differing in case share one state";
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(sheets.find("menu", "Nothing"), nullptr);
    EXPECT_EQ(sheets.find("menu", nullptr), nullptr);
    EXPECT_EQ(sheets.find(nullptr, "Title"), nullptr);
    EXPECT_EQ(sheets.find("missing", "Button"), nullptr);
    EXPECT_EQ(sheets.find("Missing", "Title"), nullptr);
    EXPECT_EQ(files->opened, (std::vector<std::string>{"art/ui/styles/menu.styles", "art/ui/styles/missing.styles"}))
        << "each sheet is tried once, under its lower-case name";
}

TEST(StyleSheetsTest, FailingSheetIsRememberedAsAbsent)
{
    TempDir dir;
    dir.write("art/ui/styles/broken.styles", "StyleSheet = { Styles = { { name = 'A' } } } error('x')");
    auto files = std::make_shared<CountingSource>(dir.path().string());
    StyleSheets sheets(files);
    EXPECT_EQ(sheets.find("Broken", "A"), nullptr);
    EXPECT_EQ(sheets.find("broken", "A"), nullptr);
    EXPECT_EQ(files->opened.size(), 1u);
}
