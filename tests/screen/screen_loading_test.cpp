// Loading screen files through the real loader over a mounted module: the
// two stages and their messages, the two roots, tooltip links between them,
// and the emphasis selection.

#include "test_module.h"

#include "data/archive_source.h"
#include "data/sga_writer.h"
#include "fixtures/tga_builder.h"
#include "screen/offscreen_screen.h"
#include "screen/widget.h"

#include <lua.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

using ScreenTest::TestModule;
using screen::Widget;

std::string startOf(const std::string& text, std::size_t length) { return text.substr(0, length); }

TEST(ScreenLoadingTest, RootsComeFromScreenWhenTheyAreTables)
{
    struct Case {
        const char* lua;
        bool tooltipRoot, widgetsRoot;
    };
    const std::vector<Case> cases{
        {"-- nothing but a comment", false, false},
        {"Screen = {}", false, false},
        {"Screen = 'not a table'", false, false},
        {"Screen = { Widgets = {}, TooltipWidgets = 7 }", false, true},
        {"Screen = { TooltipWidgets = {} }", true, false},
        {"Screen = { Widgets = { name = 'w' }, TooltipWidgets = { name = 't' }, Other = 1 }", true, true},
        {"Widgets = {} -- a global of its own, not a field of Screen", false, false},
    };
    for (const Case& c : cases) {
        TestModule module;
        const auto view = ScreenTest::loadScreen(module, c.lua);
        EXPECT_EQ(view->tooltipRoot() != nullptr, c.tooltipRoot) << c.lua;
        EXPECT_EQ(view->widgetsRoot() != nullptr, c.widgetsRoot) << c.lua;
        EXPECT_EQ(view->children().size(), std::size_t(c.tooltipRoot) + std::size_t(c.widgetsRoot)) << c.lua;
    }
}

TEST(ScreenLoadingTest, TheTooltipRootIsAdoptedFirstSoItIsPaintedOnTop)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, "Screen = { Widgets = {}, TooltipWidgets = {} }");
    ASSERT_EQ(view->children().size(), 2u);
    EXPECT_EQ(view->children()[0].get(), view->tooltipRoot()) << "the first child is the front-most";
    EXPECT_EQ(view->children()[1].get(), view->widgetsRoot());
}

TEST(ScreenLoadingTest, AnEmptyArchivedScreenLoadsWithoutRoots)
{
    TestModule module;
    module.pack({{TestModule::screenPath("empty.screen"), ""}});
    const auto view = module.load("empty.screen");
    EXPECT_EQ(view->widgetsRoot(), nullptr);
    EXPECT_EQ(view->tooltipRoot(), nullptr);
    // The disk folder hands out no file for an empty one.
    module.writeScreen("empty-on-disk.screen", "");
    EXPECT_EQ(module.loadError("empty-on-disk.screen"),
              "Cannot open screen file " + TestModule::screenPath("empty-on-disk.screen"));
}

// A precompiled chunk, made by Lua itself from real text.
std::string precompiled(const char* source)
{
    lua_State* L = luaL_newstate();
    EXPECT_EQ(luaL_loadstring(L, source), LUA_OK);
    std::string bytes;
    lua_dump(
        L,
        [](lua_State*, const void* data, std::size_t size, void* out) {
            static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
            return 0;
        },
        &bytes);
    lua_close(L);
    return bytes;
}

TEST(ScreenLoadingTest, FailuresNameTheStageThePathAndLuasMessage)
{
    struct Case {
        std::string lua;
        std::string stage;
        std::string message; // what Lua's message starts with
    };
    const std::vector<Case> cases{
        {"Screen = {\n  Widgets = {},\n  = 3 }", "load", "slice:3:"},
        {"print('hello')", "load", "slice:1: attempt to call global 'print' (a nil value)"},
        {"next({})", "load", "slice:1: attempt to call global 'next' (a nil value)"},
        {"Screen = { Widgets = { Children = pairs({}) } }", "load", "slice:1: attempt to call global 'pairs'"},
        {precompiled("Screen = {}"), "load", "attempt to load a binary chunk (mode is 't')"},
        {"Screen = { Widgets = { size = { 'wide', 1 } } }", "instantiate",
         "bad argument #1 to '?' (number expected, got string)"},
        {"Screen = { Widgets = { Children = { { size = { 1, {} } } } } }", "instantiate",
         "bad argument #2 to '?' (number expected, got table)"},
    };
    for (const Case& c : cases) {
        TestModule module;
        module.writeScreen("bad.screen", c.lua);
        const std::string lead = "Cannot " + c.stage + " screen file " + TestModule::screenPath("bad.screen") + ": ";
        const std::string error = module.loadError("bad.screen");
        EXPECT_EQ(startOf(error, lead.size() + c.message.size()), lead + c.message) << c.lua;
    }
    TestModule module;
    EXPECT_EQ(module.loadError("none.screen"), "Cannot open screen file art/ui/screens/none.screen");
    const Mod::ModContext unmounted;
    EXPECT_THROW(screen::ScreenView(module.graphics, unmounted, "art/ui/screens/none.screen"), std::runtime_error);
}

TEST(ScreenLoadingTest, MainWidgetsCanNameTooltipWidgetsButNotTheReverse)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = {
            TooltipWidgets = { name = 'tips', Children = {
                { name = 'tip' },
                { name = 'asks', tooltip_name = 'button' },
            } },
            Widgets = { Children = {
                { name = 'button', tooltip_name = 'tip', tooltip_text = 'Press me' },
                { name = 'nowhere', tooltip_name = 'no such widget' },
            } },
        })");
    Widget* tip = view->findWidget("tip");
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(view->findWidget("button")->tooltipWidget(), tip);
    EXPECT_EQ(view->findWidget("button")->tooltipText(), "Press me");
    EXPECT_EQ(view->findWidget("asks")->tooltipWidget(), nullptr) << "the widget tree is built after the tooltips";
    EXPECT_EQ(view->findWidget("nowhere")->tooltipWidget(), nullptr);
}

TEST(ScreenLoadingTest, ALaterWidgetOfTheSameNameTakesOverTheName)
{
    // Lists are built from the last element to the first: 'asks' finds the
    // twin built last before it.
    struct Case {
        const char* children;
        const char* found;
    };
    const std::vector<Case> cases{
        {"{ name = 'asks', tooltip_name = 'twin' }, { name = 'twin', text = 'element 2' },"
         "{ name = 'twin', text = 'element 3' }",
         "element 2"},
        {"{ name = 'twin', text = 'element 1' }, { name = 'asks', tooltip_name = 'twin' },"
         "{ name = 'twin', text = 'element 3' }",
         "element 3"},
    };
    TestModule module;
    for (const Case& c : cases) {
        const auto view =
            ScreenTest::loadScreen(module, std::string("Screen = { Widgets = { Children = { ") + c.children + " } } }");
        const Widget* tooltip = view->findWidget("asks")->tooltipWidget();
        ASSERT_NE(tooltip, nullptr) << c.children;
        EXPECT_EQ(tooltip->text(), c.found) << c.children;
    }
}

TEST(ScreenLoadingTest, EmphasisShowsTheWidgetItsChildrenAndItsAncestorsOnly)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { name = 'root', Children = {
            { name = 'parent', Children = {
                { name = 'chosen', Children = { { name = 'child', Children = { { name = 'grandchild' } } } } },
                { name = 'sibling' },
            } },
            { name = 'other', Children = { { name = 'other child' } } },
        } } })");
    auto shown = [&] {
        std::vector<std::string> names;
        for (const char* name : {"root", "parent", "chosen", "child", "grandchild", "sibling", "other", "other child"})
            if (view->findWidget(name)->shownForSelection())
                names.push_back(name);
        return names;
    };
    view->setEmphasizedWidget(view->findWidget("chosen"));
    EXPECT_EQ(view->emphasizedWidget(), view->findWidget("chosen"));
    EXPECT_EQ(shown(), (std::vector<std::string>{"root", "parent", "chosen", "child"}));
    view->setEmphasizedWidget(view->findWidget("other"));
    EXPECT_EQ(shown(), (std::vector<std::string>{"root", "other", "other child"}));
    view->setEmphasizedWidget(nullptr);
    EXPECT_EQ(shown(), std::vector<std::string>{});
}

} // namespace

// Packers rewrite archives in place: a screen that reads its textures from a
// mounted archive while it is truncated and written again draws without
// them (no crash, no bytes of the new version), and a new mount loads the
// new version.
TEST(ScreenLoadingTest, AnArchiveRewrittenInPlaceUnderAShownScreenIsNoCrash)
{
    // 2 × 2 textures of one colour.
    const auto texture = [](char blue, char green, char red) {
        Fixtures::TgaHeader header;
        header.width = 2;
        header.height = 2;
        header.depth = 24;
        header.descriptor = 0;
        std::string pixels;
        for (int i = 0; i < 4; ++i)
            pixels += {blue, green, red};
        return Fixtures::tgaFile(header, pixels);
    };
    const std::string grey = texture('\x80', '\x80', '\x80'), green = texture(0, '\xff', 0);
    auto screenWith = [](const char* name) {
        return std::string("Screen = { Widgets = { name = '") + name + "', Presentation = { Art = {"
               " { type = 'Graphic', texture = 'art/ui/packed', states = { 'Normal', 'Hover' } },"
               " { type = 'Graphic', texture = 'art/ui/hover', size = { 0.5, 1 }, states = { 'Hover' } } } } } }";
    };
    TestModule module;
    // Stored, so that the new version's members stand where the old ones did.
    module.pack({{TestModule::screenPath("packed.screen"), screenWith("old")},
                 {"art/ui/packed.tga", grey}, {"art/ui/hover.tga", grey}},
                false);
    screen::OffscreenScreen offscreen(module.load("packed.screen"), 64, 48);
    std::string archive;
    for (const auto& source : module.context().source->sources())
        if (const auto* packed = dynamic_cast<const Mod::ArchiveSource*>(source.get()))
            archive = packed->path();
    ASSERT_FALSE(archive.empty());
    std::replace(archive.begin(), archive.end(), '\\', '/');

    offscreen.renderBitmap(); // reads the packed texture
    std::filesystem::resize_file(archive, 0);
    EXPECT_NO_THROW(offscreen.renderBitmap());
    {
        const std::string rewritten = Mod::writeSga({{TestModule::screenPath("packed.screen"), screenWith("new")},
                                                     {"art/ui/packed.tga", green}, {"art/ui/hover.tga", green}},
                                                    false);
        std::ofstream out(archive, std::ios::binary | std::ios::in | std::ios::out);
        out.write(rewritten.data(), static_cast<std::streamsize>(rewritten.size()));
    }
    offscreen.setHover(offscreen.view().widgetsRoot());
    gfx::BitmapPtr picture;
    ASSERT_NO_THROW(picture = offscreen.renderBitmap()) << "the hover art is read from the archive only now";
    EXPECT_EQ(offscreen.view().widgetsRoot()->name(), "old");
    // The texture read before stays grey; the hover art, read after the
    // rewrite, is the missing-texture placeholder: nothing of the new
    // version's green.
    int greenPixels = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            greenPixels += ScreenTest::near(ScreenTest::pixel(*picture, x, y), {0, 255, 0}, 8);
    EXPECT_EQ(greenPixels, 0);
    EXPECT_TRUE(ScreenTest::near(ScreenTest::pixel(*picture, 48, 24), {128, 128, 128}, 2));
    EXPECT_TRUE(ScreenTest::near(ScreenTest::pixel(*picture, 2, 2), {255, 0, 255}, 2)) << "the placeholder";

    Mod::ModContext remounted;
    Mod::MountModule(remounted, archive.substr(0, archive.rfind("Mod/Packed.sga")) + "Test.module");
    const screen::ScreenView again(module.graphics, remounted, TestModule::screenPath("packed.screen"));
    ASSERT_NE(again.widgetsRoot(), nullptr);
    EXPECT_EQ(again.widgetsRoot()->name(), "new");
}
