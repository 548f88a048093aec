// Building widgets and art items from real screen files: keyword recognition
// by length and Lua hash, defaults, layout, style fallback, colours, art
// properties, ordering, write-back into the tables and hit testing.

#include "test_module.h"

#include "screen/art_item.h"
#include "screen/flash_art.h"
#include "screen/line_art.h"
#include "screen/lua_hash.h"
#include "screen/offscreen_screen.h"
#include "screen/rectangle_art.h"
#include "screen/text_art.h"
#include "screen/texture_art.h"
#include "screen/widget.h"

#include <lua.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

using ScreenTest::TestModule;
using screen::ArtItem;
using screen::Widget;

TEST(WidgetTreeTest, LuaHashOfEveryKeyword)
{
    // The numbers the game's keyword tables are written with.
    struct Row {
        const char* text;
        std::size_t length;
        std::uint32_t hash;
    };
    const Row rows[] = {
        {"Group", 5, 301056964u},         {"Button", 6, 1565890988u},       {"Custom", 6, 2142491162u},
        {"Graphic", 7, 1408413413u},      {"Text", 4, 7903477u},            {"Rectangle", 9, 3769334599u},
        {"Line", 4, 7864041u},            {"Swf", 3, 205275u},              {"Right", 5, 316292869u},
        {"Centre", 6, 1266386506u},       {"Top", 3, 236184u},              {"Bottom", 6, 2142481171u},
        {"Border", 6, 2011155910u},       {"Disabled", 8, 1065089186u},     {"Normal", 6, 1659526928u},
        {"Hover", 5, 305255248u},         {"Active", 6, 1263637891u},       {"CheckedDisabled", 15, 3315179915u},
        {"Checked", 7, 3688526818u},      {"CheckedHover", 12, 1892777196u}, {"CheckedActive", 13, 3922995643u},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(std::strlen(row.text), row.length) << row.text;
        EXPECT_EQ(screen::luaHash(row.text), row.hash) << row.text;
    }
    // Strings of 32 characters and more hash every second, third, ...
    // character only: these differ in characters the hash skips.
    const std::string a(40, 'a');
    std::string b = a;
    b[0] = 'b';
    EXPECT_EQ(screen::luaHash(a), screen::luaHash(b));
    b[39] = 'b';
    EXPECT_NE(screen::luaHash(a), screen::luaHash(b));
}

TEST(WidgetTreeTest, KindsFollowTheTypeByLengthAndHash)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Children = {
            { name = 'group', type = 'Group' }, { name = 'lower', type = 'group' }, { name = 'button', type = 'Button' },
            { name = 'custom', type = 'Custom' }, { name = 'number', type = 5 }, { name = 'table', type = {} },
            { name = 'none' },
            { name = 'art', Presentation = { Art = {
                { type = 'Graphic' }, { type = 'Text' }, { type = 'Rectangle' }, { type = 'Line' }, { type = 'Swf' },
                { type = 'graphic' }, { type = 'Texture' }, { type = 7 }, {}, 'not a table',
                { type = '\0177d' } } } },
        } } })");
    const std::vector<std::pair<const char*, const char*>> widgets{
        {"group", "ShapeWidget"},   {"lower", "PlainWidget"}, {"button", "PlainWidget"}, {"custom", "CustomWidget"},
        {"number", "PlainWidget"},  {"table", "PlainWidget"}, {"none", "PlainWidget"},
    };
    for (const auto& [name, kind] : widgets)
        EXPECT_STREQ(view->findWidget(name)->kindName(), kind) << name;
    EXPECT_EQ(view->findWidget("number")->typeName(), "5");
    EXPECT_EQ(view->findWidget("table")->typeName(), std::nullopt);

    std::vector<std::string> kinds;
    const std::vector<ArtItem*>& items = view->findWidget("art")->artItems();
    for (auto item = items.rbegin(); item != items.rend(); ++item)
        kinds.push_back((*item)->kindName());
    // The last: three bytes that share their length and Lua hash with "Swf".
    EXPECT_EQ(kinds, (std::vector<std::string>{"TextureArt", "TextArt", "RectangleArt", "LineArt", "FlashArt", "ArtItem",
                                               "ArtItem", "ArtItem", "ArtItem", "ArtItem", "FlashArt"}));
    EXPECT_EQ(screen::artKindOf("\x11" "7d"), screen::ArtKind::Flash);
    EXPECT_EQ(screen::artKindOf("Swg"), std::nullopt);
    EXPECT_EQ(screen::widgetKindOf("Button"), screen::WidgetKind::Plain) << "a keyword, of the plain kind";
    EXPECT_EQ(screen::widgetKindOf("Buttons"), std::nullopt);
}

TEST(WidgetTreeTest, AnEmptyTableIsAVisibleUntitledWidgetCoveringItsParent)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, "Screen = { Widgets = {} }");
    const Widget& widget = *view->widgetsRoot();
    EXPECT_STREQ(widget.kindName(), "PlainWidget");
    EXPECT_EQ(widget.name(), "Untitled");
    EXPECT_TRUE(widget.visible());
    EXPECT_EQ(widget.text(), std::nullopt);
    EXPECT_EQ(widget.tooltipText(), "");
    EXPECT_EQ(widget.typeName(), std::nullopt);
    EXPECT_EQ(widget.tooltipWidget(), nullptr);
    const screen::Bounds b = widget.bounds();
    EXPECT_EQ((std::array{b.x, b.y, b.width, b.height}), (std::array{0.0f, 0.0f, 1.0f, 1.0f}));
    EXPECT_GE(widget.tableRef(), 0);
}

TEST(WidgetTreeTest, LayoutReadsPositionAndSizeWithLuasConversions)
{
    struct Case {
        const char* fields;
        std::array<float, 4> bounds;
    };
    const std::vector<Case> cases{
        {"size = { 0.5 }", {0, 0, 0.5f, 1}},
        {"size = { nil, 0.25 }", {0, 0, 1, 0.25f}},
        {"size = { '0.5', ' 0x10 ' }", {0, 0, 0.5f, 16}},
        {"size = 'big'", {0, 0, 1, 1}},
        {"position = { 'left', 1 }", {0, 1, 1, 1}},
        {"position = { '0.25', 0.75, 9 }", {0.25f, 0.75f, 1, 1}},
        {"position = { true, {} }", {0, 0, 1, 1}},
        {"position = { 0.5, 0.5 }, size = { 0.125, 0.25 }", {0.5f, 0.5f, 0.125f, 0.25f}},
    };
    TestModule module;
    for (const Case& c : cases) {
        const auto view = ScreenTest::loadScreen(module, std::string("Screen = { Widgets = { ") + c.fields + " } }");
        const screen::Bounds b = view->widgetsRoot()->bounds();
        EXPECT_EQ((std::array{b.x, b.y, b.width, b.height}), c.bounds) << c.fields;
    }
}

TEST(WidgetTreeTest, ValuesThatAreNotTablesInChildrenBecomeDefaultWidgets)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, "Screen = { Widgets = { Children = { 'a string', 42, true } } }");
    ASSERT_EQ(view->widgetsRoot()->children().size(), 3u);
    for (const Widget* child : view->widgetsRoot()->children()) {
        EXPECT_STREQ(child->kindName(), "PlainWidget");
        EXPECT_EQ(child->name(), "Untitled");
        EXPECT_LT(child->tableRef(), 0);
        const screen::Bounds b = child->bounds();
        EXPECT_EQ((std::array{b.x, b.y, b.width, b.height}), (std::array{0.0f, 0.0f, 64.0f, 64.0f}))
            << "the control base's initial bounds";
    }
}

TEST(WidgetTreeTest, ListsAreKeptLastElementFirst)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Children = { { name = 'A' }, { name = 'B' } },
                               Presentation = { Art = { { ID = 1 }, { ID = 2 }, { ID = 3 } } } } })");
    const Widget& root = *view->widgetsRoot();
    ASSERT_EQ(root.children().size(), 2u);
    EXPECT_EQ(root.children()[0]->name(), "B");
    EXPECT_EQ(root.children()[1]->name(), "A");
    std::vector<int> ids;
    for (const ArtItem* item : root.artItems())
        ids.push_back(item->id());
    EXPECT_EQ(ids, (std::vector<int>{3, 2, 1}));
    // Children are adopted before art items: art is painted first (below).
    ASSERT_EQ(root.ContainerControl::children().size(), 5u);
    EXPECT_EQ(root.ContainerControl::children()[0].get(), root.children()[0]);
    EXPECT_EQ(root.ContainerControl::children()[4].get(), root.artItems()[2]);
}

class StyledTest : public testing::Test {
protected:
    void SetUp() override
    {
        module.write("art/ui/styles/menu.styles", R"(
            StyleSheet = { Styles = {
                { name = 'Panel', text = 'styled text', tooltip_text = 'styled tip', visible = false,
                  position = { 0.25, 0.5 }, size = { 0.5, 0.25 },
                  Presentation = { Art = { { type = 'Rectangle', colour = 'red', style = { 'MENU', 'Small' } } } } },
                { name = 'Small', size = { 0.125, 0.125 } },
                { name = 'Shown', visible = true },
            } })");
    }
    TestModule module;
};

TEST_F(StyledTest, OwnValuesOfTheWrongKindFallBackOnTheStyle)
{
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Children = {
            { name = 'own', style = { 'Menu', 'Panel' }, text = 'own text', visible = true, size = { 1, 1 } },
            { name = 'wrong kinds', style = { 'menu', 'Panel' }, text = 5, tooltip_text = {}, visible = 1,
              position = 'here', Presentation = 'none' },
            { name = 'unstyled', style = { 'menu', 'Nothing' }, visible = 1 },
            { name = 'number visible', style = { 'menu', 'Shown' }, visible = 0 },
        } } })");
    const Widget& own = *view->findWidget("own");
    EXPECT_EQ(own.text(), "own text");
    EXPECT_TRUE(own.visible());
    EXPECT_EQ(own.bounds().x, 0.25f) << "position from the style";
    EXPECT_EQ(own.bounds().width, 1.0f) << "own size";
    EXPECT_TRUE(own.style().found);
    EXPECT_EQ(own.style().sheet, "Menu");

    const Widget& wrong = *view->findWidget("wrong kinds");
    EXPECT_EQ(wrong.text(), "styled text");
    EXPECT_EQ(wrong.tooltipText(), "styled tip");
    EXPECT_FALSE(wrong.visible());
    EXPECT_EQ(wrong.bounds().x, 0.25f);
    ASSERT_EQ(wrong.artItems().size(), 1u);

    const Widget& unstyled = *view->findWidget("unstyled");
    EXPECT_FALSE(unstyled.style().found);
    EXPECT_TRUE(unstyled.visible()) << "a number is no boolean";
    EXPECT_TRUE(view->findWidget("number visible")->visible());
}

TEST_F(StyledTest, ArtFromAStyleLivesInTheSheetsStateWithItsOwnStyle)
{
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Children = {
            { name = 'a', style = { 'menu', 'Panel' } },
            { name = 'b', style = { 'MeNu', 'Panel' } },
        } } })");
    const ArtItem& a = *view->findWidget("a")->artItems().at(0);
    const ArtItem& b = *view->findWidget("b")->artItems().at(0);
    EXPECT_NE(a.lua(), view->lua()) << "built in the style sheet's state";
    EXPECT_EQ(a.lua(), b.lua()) << "sheet names that differ in case share one sheet";
    EXPECT_EQ(a.bounds().width, 0.125f) << "the art table's own style";
    EXPECT_TRUE(a.style().found);
    const auto& rectangle = dynamic_cast<const screen::RectangleArt&>(a);
    EXPECT_EQ(rectangle.properties().colour.key, "red");
    EXPECT_EQ(rectangle.properties().colour.color.r, 1.0f);
}

TEST(WidgetTreeTest, ColoursAreKeysOrTablesOfBytes)
{
    struct Case {
        const char* value;
        gfx::Color colour;
        std::optional<std::string> key;
    };
    const std::vector<Case> cases{
        {"{ 255, 0, 0, 255 }", {1, 0, 0, 1}, {}},
        {"{ 255, 255, 255 }", {1, 1, 1, 0}, {}},
        {"{ '255', '51', 'x', '255' }", {1, 0.2f, 0, 1}, {}},
        {"'blue'", {0, 0, 1, 1}, "blue"},
        {"'half_green'", {0, 1, 0, 128 / 255.0f}, "half_green"},
        {"'no such key'", {0, 0, 0, 1}, "no such key"},
        {"42", {0, 0, 0, 1}, {}},
        {"nil", {0, 0, 0, 1}, {}},
    };
    TestModule module;
    for (const Case& c : cases) {
        const auto view = ScreenTest::loadScreen(
            module, std::string("Screen = { Widgets = { Presentation = { Art = { { type = 'Rectangle', colour = ") +
                        c.value + " } } } } }");
        const auto& art = dynamic_cast<const screen::RectangleArt&>(*view->widgetsRoot()->artItems().at(0));
        const gfx::Color got = art.properties().colour.color;
        EXPECT_NEAR(got.r, c.colour.r, 1e-6) << c.value;
        EXPECT_NEAR(got.g, c.colour.g, 1e-6) << c.value;
        EXPECT_NEAR(got.b, c.colour.b, 1e-6) << c.value;
        EXPECT_NEAR(got.a, c.colour.a, 1e-6) << c.value;
        EXPECT_EQ(art.properties().colour.key, c.key) << c.value;
    }
}

TEST(WidgetTreeTest, ArtItemsReadTheirKindsProperties)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Presentation = { Art = {
            { type = 'Graphic' },
            { type = 'Graphic', texture = 12, flipHorizontal = true, flipVertical = 1, colour = { 0, 0, 0, 51 } },
            { type = 'Text' },
            { type = 'Text', fontname = 'body', multiline = false, dropShadow = true, horzAlign = 'Right',
              vertAlign = 'Bottom', textColourTop = 'red', textColourBottom = 'blue' },
            { type = 'Text', horzAlign = 'Centre', vertAlign = 'Top' },
            { type = 'Text', horzAlign = 1, vertAlign = 'centre' },
            { type = 'Rectangle', rectangleType = 'Border' },
            { type = 'Rectangle', rectangleType = 'border' },
            { type = 'Line', p1 = { 0.25, '0.5' }, p2 = { 'x' } },
            { type = 'Swf' },
            { type = 'Swf', swf = 'menu.swf', alpha = '0.5' },
        } } } })");
    std::vector<ArtItem*> items = view->widgetsRoot()->artItems();
    std::reverse(items.begin(), items.end());
    ASSERT_EQ(items.size(), 11u);
    auto texture = [&](int i) { return dynamic_cast<screen::TextureArt&>(*items[i]).properties(); };
    auto text = [&](int i) { return dynamic_cast<screen::TextArt&>(*items[i]).properties(); };
    EXPECT_EQ(texture(0).texture, "art/");
    EXPECT_FALSE(texture(0).flipHorizontal);
    EXPECT_EQ(texture(0).colour.color.a, 1.0f);
    EXPECT_EQ(texture(1).texture, "12");
    EXPECT_TRUE(texture(1).flipHorizontal);
    EXPECT_FALSE(texture(1).flipVertical) << "only booleans";
    EXPECT_FLOAT_EQ(texture(1).colour.color.a, 0.2f);

    EXPECT_EQ(text(2).fontname, "");
    EXPECT_TRUE(text(2).multiline);
    EXPECT_FALSE(text(2).dropShadow);
    EXPECT_EQ(text(2).horzAlign, gfx::TextAlignment::Leading);
    EXPECT_EQ(text(2).vertAlign, gfx::ParagraphAlignment::Center);
    EXPECT_EQ(text(3).fontname, "body");
    EXPECT_FALSE(text(3).multiline);
    EXPECT_TRUE(text(3).dropShadow);
    EXPECT_EQ(text(3).horzAlign, gfx::TextAlignment::Trailing);
    EXPECT_EQ(text(3).vertAlign, gfx::ParagraphAlignment::Far);
    EXPECT_EQ(text(3).textColourTop.key, "red");
    EXPECT_EQ(text(3).textColourBottom.color.b, 1.0f);
    EXPECT_EQ(text(4).horzAlign, gfx::TextAlignment::Center);
    EXPECT_EQ(text(4).vertAlign, gfx::ParagraphAlignment::Near);
    EXPECT_EQ(text(5).horzAlign, gfx::TextAlignment::Leading) << "numbers are not compared";
    EXPECT_EQ(text(5).vertAlign, gfx::ParagraphAlignment::Center) << "keywords are case-sensitive";

    EXPECT_TRUE(dynamic_cast<screen::RectangleArt&>(*items[6]).properties().border);
    EXPECT_FALSE(dynamic_cast<screen::RectangleArt&>(*items[7]).properties().border);
    const auto& line = dynamic_cast<screen::LineArt&>(*items[8]).properties();
    EXPECT_EQ((std::array{line.p1.x, line.p1.y, line.p2.x, line.p2.y}), (std::array{0.25f, 0.5f, 0.0f, 0.0f}));
    EXPECT_EQ(dynamic_cast<screen::FlashArt&>(*items[9]).properties().swf, "no file");
    EXPECT_EQ(dynamic_cast<screen::FlashArt&>(*items[9]).properties().alpha, 1.0f);
    EXPECT_EQ(dynamic_cast<screen::FlashArt&>(*items[10]).properties().swf, "menu.swf");
    EXPECT_EQ(dynamic_cast<screen::FlashArt&>(*items[10]).properties().alpha, 0.5f);
}

TEST(WidgetTreeTest, IdsRoundToEvenAndStatesSetTheirFlags)
{
    struct Case {
        const char* id;
        int expected;
    };
    const std::vector<Case> ids{{"2.5", 2},   {"3.5", 4},     {"-2.5", -2},      {"'7.5'", 8}, {"'seven'", 0},
                                {"1e20", INT_MAX}, {"-1e20", INT_MIN}, {"0/0", 0}, {"2.49", 2}};
    TestModule module;
    for (const Case& c : ids) {
        const auto view = ScreenTest::loadScreen(
            module, std::string("Screen = { Widgets = { Presentation = { Art = { { ID = ") + c.id + " } } } } }");
        EXPECT_EQ(view->widgetsRoot()->artItems().at(0)->id(), c.expected) << c.id;
    }
    const auto view = ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Presentation = { Art = {
            { states = { 'Normal', 'Hover', 'normal', 'Bogus', 7, 'CheckedActive' } },
            { states = 'Normal' },
            { states = { 'Disabled', 'Active', 'CheckedDisabled', 'Checked', 'CheckedHover' } },
        } } } })");
    auto flags = [&](int i) { return view->widgetsRoot()->artItems().at(i)->stateFlags(); };
    EXPECT_EQ(flags(2), (std::array<bool, 8>{false, true, true, false, false, false, false, true}));
    EXPECT_EQ(flags(1), (std::array<bool, 8>{}));
    EXPECT_EQ(flags(0), (std::array<bool, 8>{true, false, false, true, true, true, true, false}));
}

// The widget's table field as Lua sees it now.
std::string tableField(const Widget& widget, const char* key)
{
    lua_State* L = widget.lua();
    lua_rawgeti(L, LUA_REGISTRYINDEX, widget.tableRef());
    lua_getfield(L, -1, key);
    std::string value = lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                        : lua_isstring(L, -1) ? lua_tostring(L, -1)
                                              : luaL_typename(L, -1);
    lua_pop(L, 2);
    return value;
}

TEST(WidgetTreeTest, VisibilityAndTextAreWrittenBackIntoTheTable)
{
    TestModule module;
    const auto view = ScreenTest::loadScreen(module, "Screen = { Widgets = { text = 'before' } }");
    Widget& widget = *view->widgetsRoot();
    widget.setVisible(false);
    EXPECT_FALSE(widget.visible());
    EXPECT_EQ(tableField(widget, "visible"), "false");
    widget.setText("after");
    EXPECT_EQ(widget.text(), "after");
    EXPECT_EQ(tableField(widget, "text"), "after");
    widget.setText(std::string("\0bytes", 6));
    EXPECT_EQ(widget.text()->size(), 6u);
}

TEST(WidgetTreeTest, HitTargetsFollowEachKindsRule)
{
    // Each widget covers a quarter of a 100 × 100 view; the point asked is
    // its centre.
    TestModule module;
    screen::OffscreenScreen offscreen(ScreenTest::loadScreen(module, R"(
        Screen = { Widgets = { Children = {
            { name = 'button', type = 'Button', position = { 0, 0 }, size = { 0.5, 0.5 },
              Presentation = { Art = { { type = 'Text' } } } },
            { name = 'group', type = 'Group', position = { 0.5, 0 }, size = { 0.5, 0.5 },
              Presentation = { Art = { { type = 'Rectangle', colour = { 0, 0, 0, 128 } } } } },
            { name = 'solid group', type = 'Group', position = { 0, 0.5 }, size = { 0.5, 0.5 },
              Presentation = { Art = { { type = 'Rectangle', position = { 0.5, 0 }, size = { 0.5, 1 } },
                                       { type = 'Graphic', size = { 0.5, 1 } } } } },
            { name = 'hidden custom', type = 'Custom', visible = false, position = { 0.5, 0.5 }, size = { 0.5, 0.5 },
              Presentation = { Art = { { type = 'Swf' } } } },
        } } })"),
                                      100, 100);
    screen::ScreenView& view = offscreen.view();
    auto at = [&](float x, float y) { return offscreen.root().hitTarget(x, y); };
    EXPECT_EQ(at(25, 25), view.findWidget("button")) << "a button is a target wherever its art is";
    // Where a group is no target, the plain root widget behind it is.
    EXPECT_EQ(at(75, 25), view.widgetsRoot()) << "translucent art does not make a group a target";
    EXPECT_EQ(at(40, 75), view.findWidget("solid group")) << "over the opaque rectangle";
    EXPECT_EQ(at(10, 75), view.widgetsRoot()) << "over the texture only";
    EXPECT_EQ(at(75, 75), view.findWidget("hidden custom")) << "custom widgets are targets even when hidden";

    view.findWidget("button")->setVisible(false);
    EXPECT_EQ(at(25, 25), &offscreen.root()) << "nothing else is there";
    view.setEmphasizedWidget(view.findWidget("button"));
    EXPECT_EQ(at(25, 25), view.findWidget("button")) << "shown for the selection";
}

} // namespace
