// Screens written to hurt: loops, unbounded allocation, self-containing and
// very deep tables, tables shared so that a small file describes millions of
// widgets, numbers no screen needs, and bytes that are no text. Each must fail
// its stage with a message, or load and draw, and never take the program down.

#include "test_module.h"

#include "screen/art_item.h"
#include "screen/custom_widget.h"
#include "screen/flash_art.h"
#include "screen/offscreen_screen.h"
#include "screen/text_art.h"
#include "screen/widget.h"
#include "screen/widget_factory.h"

#include <gtest/gtest.h>

namespace {

using ScreenTest::TestModule;

const std::string Path = TestModule::screenPath("hostile.screen");

std::string errorOf(const std::string& lua, const assets::Limits& limits = {})
{
    TestModule module;
    module.writeScreen("hostile.screen", lua);
    return module.loadError("hostile.screen", limits);
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(HostileScreenTest, EndlessWorkAndUnboundedMemoryFailTheLoadStage)
{
    assets::Limits small;
    small.instructions = 2'000'000;
    small.memoryBytes = 16u << 20;
    struct Case {
        const char* lua;
        const char* ending;
    };
    const std::vector<Case> cases{
        {"while true do end", "instruction limit exceeded"},
        {"local function f() return f() end f()", "instruction limit exceeded"},
        {"local t, i = {}, 1 while true do t[i] = { i } i = i + 1 end", "not enough memory"},
        {"local s = 'x' while true do s = s .. s end", "not enough memory"},
    };
    for (const Case& c : cases) {
        const std::string error = errorOf(c.lua, small);
        EXPECT_EQ(error.rfind("Cannot load screen file " + Path + ": ", 0), 0u) << error;
        EXPECT_TRUE(endsWith(error, c.ending)) << error;
    }
}

std::string nested(int depth)
{
    return "local root = {} local at = root\n"
           "for i = 2, " + std::to_string(depth) + " do local child = { name = 'level' .. i } at.Children = { child } at = child end\n"
           "Screen = { Widgets = root }";
}

TEST(HostileScreenTest, NestingStopsAtTheDepthLimit)
{
    const std::string tooDeep =
        "Cannot instantiate screen file " + Path + ": stack overflow (Widget recursion too deep)";
    EXPECT_EQ(errorOf("local t = {} t.Children = { t } Screen = { Widgets = t }"), tooDeep);
    EXPECT_EQ(errorOf("local a, b = {}, {} a.Children = { {}, b } b.Children = { a } Screen = { TooltipWidgets = a }"),
              tooDeep);
    EXPECT_EQ(errorOf(nested(screen::MaxNestingDepth + 1)), tooDeep);
    EXPECT_EQ(errorOf(nested(100000)), tooDeep);

    TestModule module;
    module.writeScreen("deepest.screen", nested(screen::MaxNestingDepth));
    const auto view = module.load("deepest.screen");
    const std::string deepest = "level" + std::to_string(screen::MaxNestingDepth);
    ASSERT_NE(view->findWidget(deepest), nullptr);
    EXPECT_TRUE(view->findWidget(deepest)->children().empty());
    screen::OffscreenScreen offscreen(module.load("deepest.screen"), 64, 48);
    offscreen.setHover(offscreen.view().findWidget(deepest));
    EXPECT_NO_THROW(offscreen.renderBitmap());
}

TEST(HostileScreenTest, MillionsOfWidgetsFromSharedTablesFailTheInstantiateStage)
{
    const std::string tooMany = "Cannot instantiate screen file " + Path +
                                ": too many widgets and art items (more than " +
                                std::to_string(screen::MaxWidgetsAndArtItems) + ")";
    // Ten million widgets and ten million art items described in a few
    // kilobytes of tables, and a long flat list.
    EXPECT_EQ(errorOf("local leaf, row, top = {}, {}, {}\n"
                      "for i = 1, 1000 do row[i] = leaf end\n"
                      "local middle = { Children = row }\n"
                      "for i = 1, 10000 do top[i] = middle end\n"
                      "Screen = { Widgets = { Children = top } }"),
              tooMany);
    EXPECT_EQ(errorOf("local art, list = {}, {}\n"
                      "for i = 1, 1000 do art[i] = { type = 'Rectangle', states = { 'Normal' } } end\n"
                      "local styled = { Presentation = { Art = art } }\n"
                      "for i = 1, 10000 do list[i] = styled end\n"
                      "Screen = { TooltipWidgets = { Children = list } }"),
              tooMany);
    EXPECT_EQ(errorOf("local c = {} for i = 1, 150000 do c[i] = 'not a table' end Screen = { Widgets = { Children = c } }"),
              tooMany);
}

TEST(HostileScreenTest, HugeAndSharedStringsFailTheInstantiateStage)
{
    const std::string lead = "Cannot instantiate screen file " + Path + ": ";
    // 128 KiB in one name; 32 KiB shared by a thousand widgets, as text,
    // texture names and colour keys.
    EXPECT_EQ(errorOf("local s = 'x' for i = 1, 17 do s = s .. s end Screen = { Widgets = { name = s } }"),
              lead + "a string of more than 65536 bytes in a widget or art table");
    for (const char* use : {"{ text = s }", "{ Presentation = { Art = { { type = 'Graphic', texture = s } } } }",
                            "{ Presentation = { Art = { { type = 'Rectangle', colour = s } } } }"}) {
        EXPECT_EQ(errorOf(std::string("local s = 'x' for i = 1, 15 do s = s .. s end\n"
                                      "local list = {} for i = 1, 1000 do list[i] = ") +
                          use + " end Screen = { Widgets = { Children = list } }"),
                  lead + "more than 16777216 bytes of text in widget and art tables")
            << use;
    }
}

TEST(HostileScreenTest, RunningOutOfMemoryWhileBuildingFailsTheInstantiateStage)
{
    // The file itself fits; the registry entries of its widgets do not. The
    // widgets built so far are torn down in a state that has no memory left.
    assets::Limits tight;
    tight.memoryBytes = 12u << 20;
    const std::string error = errorOf("local list = {}\n"
                                      "for i = 1, 60000 do list[i] = { name = 'widget number ' .. i } end\n"
                                      "Screen = { Widgets = { Children = list } }",
                                      tight);
    EXPECT_EQ(error, "Cannot instantiate screen file " + Path + ": not enough memory");
}

TEST(HostileScreenTest, NamesAndTextsKeepEveryByteAndDrawDecoded)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = {
            TooltipWidgets = { name = '\255\254\0tip' },
            Widgets = { Children = {
                { type = 'Custom', name = '\255\254\0tip\128', tooltip_name = '\255\254\0tip', text = '\0\1\2',
                  Presentation = { Art = {
                      { type = 'Graphic', texture = 'art/\255\0\254', states = { 'Normal' } },
                      { type = 'Text', fontname = '\255', states = { 'Normal' } },
                      { type = 'Swf', swf = '\192\128\237\160\128' },
                  } } },
            } },
        })");
    const screen::Widget* custom = view->findWidget(std::string("\xff\xfe\0tip\x80", 7));
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->name().size(), 7u);
    EXPECT_EQ(custom->text(), std::string("\0\1\2", 3));
    EXPECT_EQ(custom->tooltipWidget(), view->tooltipRoot());
    EXPECT_EQ(view->findWidget(std::string("\xff\xfe\0tip", 6)), view->tooltipRoot());
    EXPECT_EQ(view->findWidget("\xff\xfe"), nullptr) << "names compare as whole byte strings";

    screen::OffscreenScreen offscreen(ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Children = {
            { type = 'Custom', name = '\255\254\0tip\128' },
            { name = 'art', text = 'a\0\128b', Presentation = { Art = {
                { type = 'Graphic', texture = 'art/\255\0\254', states = { 'Normal' } },
                { type = 'Text', fontname = '\255', states = { 'Normal' } },
                { type = 'Swf', swf = '\192\128\237\160\128' } } } } } } })"),
                                      96, 96);
    offscreen.renderBitmap();
    // The labels drawn hold every byte of the names, decoded as Windows-1252
    // (the bytes are no UTF-8): NUL included, nothing cut after it.
    using namespace std::string_literals;
    const screen::ScreenView& drawn = offscreen.view();
    const auto& placeholder =
        dynamic_cast<const screen::CustomWidget&>(*drawn.findWidget(std::string("\xff\xfe\0tip\x80", 7)));
    ASSERT_NE(placeholder.label(), nullptr);
    EXPECT_EQ(placeholder.label()->text(), u"Custom\n\n\u00ff\u00fe\0tip\u20ac"s);
    const screen::FlashArt* flash = nullptr;
    const screen::TextArt* text = nullptr;
    for (const screen::ArtItem* art : drawn.findWidget("art")->artItems()) {
        if (const auto* found = dynamic_cast<const screen::FlashArt*>(art))
            flash = found;
        if (const auto* found = dynamic_cast<const screen::TextArt*>(art))
            text = found;
    }
    ASSERT_TRUE(flash && flash->label());
    EXPECT_EQ(flash->label()->text(), u"\n\nScaleForm\n\n\u00c0\u20ac\u00ed\u00a0\u20ac"s);
    ASSERT_TRUE(text && text->layout());
    EXPECT_EQ(text->layout()->text(), u"a") << "a text is read as the game reads it, up to its first NUL";
}

TEST(HostileScreenTest, NumbersNoScreenNeedsDrawNothingAndFailNothing)
{
    // Every art kind at every absurd place and size, in groups and custom
    // widgets: drawing leaves out what it cannot place and never fails.
    TestModule module;
    screen::OffscreenScreen offscreen(ScreenTest::loadScreen(module, R"(
        local inf, nan = 1/0, 0/0
        local kinds = { 'Graphic', 'Text', 'Rectangle', 'Line', 'Swf' }
        local places = { { inf, 0 }, { nan, nan }, { -1e30, 1e30 }, { 0.25, 0.25 } }
        local sizes = { { inf, 1 }, { nan, 1 }, { 1e30, 1e30 }, { -0.5, -0.5 }, { 0, 0 } }
        local widgets = {}
        for p = 1, #places do for s = 1, #sizes do
            local items = {}
            for k = 1, #kinds do
                items[k] = { type = kinds[k], position = places[p], size = sizes[s], states = { 'Normal', 'Hover' },
                             p1 = { nan, inf }, p2 = { 1e30, -1e30 }, alpha = nan, ID = nan,
                             rectangleType = (k % 2 == 0) and 'Border' or nil, texture = 'art/none' }
            end
            widgets[#widgets + 1] = { name = 'w' .. #widgets, type = (s % 2 == 0) and 'Custom' or 'Group',
                                      position = places[p], size = sizes[s], text = 'text',
                                      Presentation = { Art = items } }
        end end
        Screen = { Widgets = { Children = widgets } })"),
                                      80, 60);
    screen::ScreenView& view = offscreen.view();
    ASSERT_EQ(view.widgetsRoot()->children().size(), 20u);
    for (const screen::Widget* widget : view.widgetsRoot()->children())
        for (const screen::ArtItem* item : widget->artItems())
            EXPECT_EQ(item->id(), 0);
    // The empty screen: the checkerboard alone.
    screen::OffscreenScreen empty(ScreenTest::loadScreen(module, "Screen = {}"), 80, 60);
    const auto checkerboard = empty.renderBitmap()->pixels;
    // Each widget alone, hovered and emphasized: those at an infinite, NaN
    // or far place, or of an infinite, NaN or far size, draw nothing at all.
    const std::vector<screen::Widget*>& all = view.widgetsRoot()->children(); // last built first
    for (std::size_t i = 0; i < all.size(); ++i) {
        screen::Widget* widget = all[all.size() - 1 - i];
        const std::size_t place = i / 5, size = i % 5;
        for (screen::Widget* other : all)
            other->setVisible(other == widget);
        offscreen.setHover(widget);
        view.setEmphasizedWidget(widget);
        view.setEmphasisFade(0.25f);
        gfx::BitmapPtr picture;
        ASSERT_NO_THROW(picture = offscreen.renderBitmap()) << widget->name();
        if (place < 3 || size < 3) {
            EXPECT_EQ(picture->pixels, checkerboard) << widget->name() << " drew something";
        }
    }
}

} // namespace
