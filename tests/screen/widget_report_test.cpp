// What a widget report says a screen's values resolved to: bounds in the
// parent's units and in the view's pixels, style references, localised
// text, textures that resolve, are missing or do not decode, colours with
// their colour-table keys, and fonts with their typeface and size.

#include "screen/widget_report.h"

#include "fixtures/tga_builder.h"
#include "screen/widget.h"
#include "test_module.h"

#include <gtest/gtest.h>

namespace {

using Status = assets::TextureCache::Status;

const char* const Report = R"(
    Screen = { Widgets = { name = 'Root', Children = {
        { name = 'outer', position = { 0.5, 0.25 }, size = { 0.5, 0.5 }, style = { 'Nowhere', 'Nothing' },
          text = '$1', tooltip_name = 'tip', tooltip_text = 'Hint',
          Children = { { name = 'inner', position = { 0.1, 0.2 }, size = { 0.25, 0.5 }, text = 'as written' } },
          Presentation = { Art = {
            { type = 'Graphic', texture = 'art/ui/good', states = { 'Normal' } },
            { type = 'Graphic', texture = 'art/ui/gone', colour = 'blue', states = { 'Hover' } },
            { type = 'Graphic', texture = 'art/ui/bad.tga' },
            { type = 'Graphic', texture = '' },
            { type = 'Text', fontname = 'body', textColourTop = 'red', textColourBottom = { 0, 255, 0, 255 },
              horzAlign = 'Right', vertAlign = 'Bottom' },
            { type = 'Text', fontname = 'nosuchfont' },
            { type = 'Rectangle', colour = 'half_green' },
          } } },
        { name = 'tip' },
    } } })";

TEST(WidgetReport, SaysWhatEveryValueResolvedTo)
{
    ScreenTest::TestModule module;
    Fixtures::TgaHeader header;
    header.width = header.height = 1;
    module.write("art/ui/good.tga", Fixtures::tgaFile(header, std::string(4, '\x7f')));
    header.depth = 16;
    module.write("art/ui/bad.tga", Fixtures::tgaFile(header, std::string(2, '\0')));
    const auto view = ScreenTest::loadScreen(module, Report);
    view->setBounds(0, 0, 800, 600);

    const screen::WidgetReport outer = screen::reportWidget(*view->findWidget("outer"));
    EXPECT_STREQ(outer.kind, "PlainWidget");
    EXPECT_FALSE(outer.type);
    EXPECT_EQ(outer.name, "outer");
    EXPECT_EQ(outer.pixelBounds.left, 400);
    EXPECT_EQ(outer.pixelBounds.top, 150);
    EXPECT_EQ(outer.pixelBounds.right, 800);
    EXPECT_EQ(outer.pixelBounds.bottom, 450);
    EXPECT_EQ(outer.style.sheet, "Nowhere");
    EXPECT_EQ(outer.style.name, "Nothing");
    EXPECT_FALSE(outer.style.found);
    EXPECT_EQ(outer.text, "$1");
    EXPECT_EQ(outer.localisedText, u"Localised");
    EXPECT_EQ(outer.tooltipText, "Hint");
    EXPECT_EQ(outer.tooltipWidget, "tip");

    // Nested: bounds in the parent's units, pixels through both.
    const screen::WidgetReport inner = screen::reportWidget(*view->findWidget("inner"));
    EXPECT_FLOAT_EQ(inner.bounds.x, 0.1f);
    EXPECT_FLOAT_EQ(inner.bounds.width, 0.25f);
    EXPECT_FLOAT_EQ(inner.pixelBounds.left, 400 + 0.1f * 800);
    EXPECT_FLOAT_EQ(inner.pixelBounds.top, 150 + 0.2f * 600);
    EXPECT_FLOAT_EQ(inner.pixelBounds.width(), 0.25f * 800);
    EXPECT_FLOAT_EQ(inner.pixelBounds.height(), 0.5f * 600);
    EXPECT_EQ(inner.localisedText, u"as written");
    EXPECT_FALSE(inner.style.sheet || inner.style.name);

    ASSERT_EQ(outer.art.size(), 7u);
    const auto& good = outer.art[0];
    EXPECT_STREQ(good.kind, "TextureArt");
    EXPECT_EQ(good.states, (std::vector<int>{1}));
    EXPECT_EQ(good.texture, "art/ui/good");
    EXPECT_EQ(good.textureStatus, Status::Ok);
    EXPECT_EQ(good.textureReason, "");
    const auto& gone = outer.art[1];
    EXPECT_EQ(gone.states, (std::vector<int>{2}));
    EXPECT_EQ(gone.textureStatus, Status::Missing);
    EXPECT_EQ(gone.textureReason, "no file art/ui/gone.dds or art/ui/gone.tga");
    ASSERT_EQ(gone.colours.size(), 1u);
    EXPECT_STREQ(gone.colours[0].property, "colour");
    EXPECT_EQ(gone.colours[0].value.key, "blue");
    const auto& bad = outer.art[2];
    EXPECT_TRUE(bad.states.empty());
    EXPECT_EQ(bad.textureStatus, Status::Invalid);
    EXPECT_EQ(bad.textureReason.rfind("art/ui/bad.tga: ", 0), 0u) << bad.textureReason;
    EXPECT_FALSE(outer.art[3].texture) << "an empty name is not resolved";

    // "body" is 12 DIPs at 1024 and 9 at 800: the view's reference width is 800.
    const auto& body = outer.art[4];
    EXPECT_STREQ(body.kind, "TextArt");
    EXPECT_EQ(body.fontname, "body");
    EXPECT_EQ(body.typeface, u"DejaVu Sans");
    EXPECT_FALSE(body.fontFallback);
    EXPECT_FLOAT_EQ(body.fontSize, 9.0f);
    EXPECT_EQ(body.horzAlign, 1);
    EXPECT_EQ(body.vertAlign, 1);
    ASSERT_EQ(body.colours.size(), 2u);
    EXPECT_STREQ(body.colours[0].property, "textColourTop");
    EXPECT_EQ(body.colours[0].value.key, "red");
    EXPECT_STREQ(body.colours[1].property, "textColourBottom");
    EXPECT_FALSE(body.colours[1].value.key) << "given as numbers";
    EXPECT_FLOAT_EQ(body.colours[1].value.color.g, 1.0f);

    const auto& fallback = outer.art[5];
    EXPECT_TRUE(fallback.fontFallback);
    EXPECT_EQ(fallback.typeface, u"Microsoft Sans Serif");
    EXPECT_FLOAT_EQ(fallback.fontSize, 16.0f) << "no size table: the same at any width";

    EXPECT_STREQ(outer.art[6].kind, "RectangleArt");
    ASSERT_EQ(outer.art[6].colours.size(), 1u);
    EXPECT_EQ(outer.art[6].colours[0].value.key, "half_green");
    EXPECT_FALSE(outer.art[6].fontname);
}

} // namespace
