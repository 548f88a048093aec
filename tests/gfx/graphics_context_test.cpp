#include "gfx/graphics_context.h"

#include <gtest/gtest.h>

namespace {

using namespace gfx;

TEST(GraphicsContext, OffScreenTheDesktopHas96Dpi)
{
    const GraphicsContext context;
    EXPECT_EQ(context.desktopDpi().width, 96.0f);
    EXPECT_EQ(context.desktopDpi().height, 96.0f);
    EXPECT_EQ(context.dipsToPixelsX(400.0f), 400);
    EXPECT_EQ(context.dipsToPixelsY(300.25f), 301) << "window sizes round up";
    EXPECT_EQ(context.pixelsToDips({601, 450}).width, 601.0f);
}

TEST(GraphicsContext, StandardTextFormat)
{
    const GraphicsContext context;
    const TextFormatPtr format = context.createStandardTextFormat(FontWeight::Bold, 12.0f * 96 / 72);
    EXPECT_EQ(format->familyName(), u"Microsoft Sans Serif");
    EXPECT_EQ(format->fontCollection(), nullptr);
    EXPECT_EQ(format->fontWeight(), FontWeight::Bold);
    EXPECT_EQ(format->fontStyle(), FontStyle::Normal);
    EXPECT_EQ(format->fontStretch(), FontStretch::Normal);
    EXPECT_EQ(format->fontSize(), 16.0f);
    EXPECT_EQ(format->localeName(), u"en-us");
    EXPECT_EQ(format->textAlignment(), TextAlignment::Leading);
    EXPECT_EQ(format->paragraphAlignment(), ParagraphAlignment::Near);
    EXPECT_EQ(format->wordWrapping(), WordWrapping::Wrap);
    // Every call makes a format of its own.
    EXPECT_NE(context.createStandardTextFormat(FontWeight::Bold, 16.0f), format);
}

} // namespace
