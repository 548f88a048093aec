#include "gfx/text_layout.h"

#include "base/errors.h"
#include "gfx/brush.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "pixels.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

using namespace gfx;

constexpr float unlimited = std::numeric_limits<float>::max();

class TextLayoutTest : public testing::Test {
protected:
    GraphicsContext context;
    TextFormatPtr format = context.createStandardTextFormat(FontWeight::Normal, 16.0f);
    SolidColorBrush black{Color{0, 0, 0, 1}};

    TextMetrics measure(std::u16string text, float maxWidth = unlimited, float maxHeight = unlimited)
    {
        return TextLayout(context, std::move(text), *format, maxWidth, maxHeight).metrics();
    }

    // The text drawn in black on white; returns the image.
    QImage render(const TextLayout& layout, Point origin, int width = 200, int height = 100,
                  DrawTextOptions options = DrawTextOptions::None, const Brush* brush = nullptr)
    {
        QImage image = GfxTest::makeImage(width, height, Qt::white);
        RenderTarget target(context, image);
        target.beginDraw();
        target.drawTextLayout(origin, layout, brush ? *brush : black, options);
        target.endDraw();
        return image;
    }
};

TEST_F(TextLayoutTest, OneLineHasTheFontsLineHeight)
{
    const TextMetrics m = measure(u"Hello");
    EXPECT_EQ(m.lineCount, 1u);
    // DejaVu Sans (what "Microsoft Sans Serif" resolves to): ascent plus
    // descent is 1.164 em.
    EXPECT_NEAR(m.height, 16.0f * 1.164f, 0.5f);
    EXPECT_GT(m.width, 30.0f);
    EXPECT_LT(m.width, 50.0f);
    EXPECT_EQ(m.left, 0.0f);
    EXPECT_EQ(m.top, 0.0f);
    EXPECT_EQ(m.layoutWidth, unlimited);
}

TEST_F(TextLayoutTest, LineFeedsBreakLines)
{
    struct Case {
        std::u16string text;
        std::uint32_t lines;
    };
    const TextMetrics one = measure(u"Line one");
    for (const Case& c : {Case{u"Line one\nLine two", 2}, Case{u"Custom\n\nname", 3}, Case{u"\nReason: x", 2},
                          Case{u"a\r\nb", 2}, Case{u"ends in a break\n", 2}, Case{u"", 1}}) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        const TextMetrics m = measure(c.text);
        EXPECT_EQ(m.lineCount, c.lines);
        EXPECT_NEAR(m.height, one.height * c.lines, 0.01f);
    }
    const TextMetrics two = measure(u"Line one\nLonger line two");
    EXPECT_NEAR(two.width, measure(u"Longer line two").width, 0.01f) << "the widest line";
}

TEST_F(TextLayoutTest, TrailingWhitespaceCountsOnlyInTheWiderWidth)
{
    const TextMetrics bare = measure(u"abc");
    const TextMetrics spaced = measure(u"abc   ");
    EXPECT_NEAR(spaced.width, bare.width, 0.01f);
    EXPECT_GT(spaced.widthIncludingTrailingWhitespace, bare.width + 5.0f);
}

TEST_F(TextLayoutTest, TabStopsAreFourTimesTheFontSize)
{
    for (const float size : {12.0f, 48.0f}) {
        const TextFormatPtr sized = context.createStandardTextFormat(FontWeight::Normal, size);
        const auto width = [&](std::u16string text) {
            return TextLayout(context, std::move(text), *sized, unlimited, unlimited).metrics().width;
        };
        // The second I starts at the first stop.
        EXPECT_NEAR(width(u"I\tI") - width(u"I"), 4.0f * size, 0.5f) << size;
        EXPECT_NEAR(width(u"I\t\tI") - width(u"I"), 8.0f * size, 0.5f) << size;
    }
}

TEST_F(TextLayoutTest, WrapsAtWordsWithinTheMaximumWidth)
{
    const std::u16string text = u"the quick brown fox jumps over the lazy dog";
    const TextMetrics wrapped = measure(text, 80.0f);
    EXPECT_GT(wrapped.lineCount, 3u);
    EXPECT_LE(wrapped.width, 80.0f);

    format->setWordWrapping(WordWrapping::NoWrap);
    const TextMetrics single = measure(text, 80.0f);
    EXPECT_EQ(single.lineCount, 1u);
    EXPECT_GT(single.width, 200.0f);

    // A word longer than the width breaks between characters.
    format->setWordWrapping(WordWrapping::Wrap);
    EXPECT_GT(measure(u"Supercalifragilistic", 40.0f).lineCount, 2u);
}

TEST_F(TextLayoutTest, MaximumWidthCanChangeLater)
{
    TextLayout layout(context, u"the quick brown fox jumps over the lazy dog", *format, 1000.0f, unlimited);
    EXPECT_EQ(layout.metrics().lineCount, 1u);
    layout.setMaxWidth(80.0f);
    EXPECT_GT(layout.metrics().lineCount, 3u);
    EXPECT_EQ(layout.metrics().layoutWidth, 80.0f);
    layout.setWordWrapping(WordWrapping::NoWrap);
    EXPECT_EQ(layout.metrics().lineCount, 1u);
}

TEST_F(TextLayoutTest, AlignmentsPlaceTextInTheBox)
{
    TextLayout layout(context, u"Hi there", *format, 200.0f, 100.0f);
    format->setTextAlignment(TextAlignment::Trailing); // the layout keeps what it was made with
    const TextMetrics leading = layout.metrics();
    const float w = leading.width, h = leading.height;
    EXPECT_EQ(leading.left, 0.0f);

    struct Case {
        TextAlignment horizontal;
        ParagraphAlignment vertical;
        float left, top;
    };
    for (const Case& c : {Case{TextAlignment::Trailing, ParagraphAlignment::Near, 200 - w, 0},
                          Case{TextAlignment::Center, ParagraphAlignment::Center, (200 - w) / 2, (100 - h) / 2},
                          Case{TextAlignment::Leading, ParagraphAlignment::Far, 0, 100 - h}}) {
        layout.setTextAlignment(c.horizontal);
        layout.setParagraphAlignment(c.vertical);
        const TextMetrics m = layout.metrics();
        EXPECT_NEAR(m.left, c.left, 0.01f);
        EXPECT_NEAR(m.top, c.top, 0.01f);
        EXPECT_NEAR(m.width, w, 0.01f);
    }
}

TEST_F(TextLayoutTest, CentredTextIsDrawnFurtherRight)
{
    TextLayout layout(context, u"Hi", *format, 200.0f, 40.0f);
    const QRect leading = GfxTest::inkBounds(render(layout, {0, 0}), Qt::white);
    layout.setTextAlignment(TextAlignment::Center);
    const QRect centred = GfxTest::inkBounds(render(layout, {0, 0}), Qt::white);
    ASSERT_FALSE(leading.isEmpty());
    EXPECT_LT(leading.left(), 5);
    const float expectedShift = (200.0f - layout.metrics().width) / 2.0f;
    EXPECT_NEAR(centred.left() - leading.left(), expectedShift, 1.5f);
    EXPECT_EQ(centred.top(), leading.top());

    layout.setParagraphAlignment(ParagraphAlignment::Far);
    const QRect bottom = GfxTest::inkBounds(render(layout, {0, 0}), Qt::white);
    EXPECT_NEAR(bottom.top() - centred.top(), 40.0f - layout.metrics().height, 1.5f);
}

TEST_F(TextLayoutTest, DrawsAtTheOriginUnderTheTransform)
{
    TextLayout layout(context, u"Hi", *format, unlimited, unlimited);
    const QRect plain = GfxTest::inkBounds(render(layout, {0, 0}), Qt::white);
    const QRect moved = GfxTest::inkBounds(render(layout, {30, 20}), Qt::white);
    EXPECT_EQ(moved, plain.translated(30, 20));
    // The ink lies within the line box.
    const TextMetrics m = layout.metrics();
    EXPECT_GE(plain.top(), 0);
    EXPECT_LE(plain.bottom(), m.height);
    EXPECT_LE(plain.right(), m.width + 1);
}

TEST_F(TextLayoutTest, ClipOptionCutsTextAtTheLayoutBox)
{
    TextLayout layout(context, u"WWWWWWWWWWWWWWWW", *format, 50.0f, 40.0f);
    layout.setWordWrapping(WordWrapping::NoWrap);
    const QRect unclipped = GfxTest::inkBounds(render(layout, {10, 10}), Qt::white);
    const QRect clipped = GfxTest::inkBounds(render(layout, {10, 10}, 200, 100, DrawTextOptions::Clip), Qt::white);
    EXPECT_GT(unclipped.right(), 100);
    EXPECT_LE(clipped.right(), 59);
    EXPECT_GE(clipped.right(), 50);
    EXPECT_EQ(clipped.left(), unclipped.left());
}

TEST_F(TextLayoutTest, BrushesColourTheGlyphs)
{
    TextLayout layout(context, u"█", *format, unlimited, unlimited); // a full block: solid ink
    const TextMetrics m = layout.metrics();
    LinearGradientBrush gradient({0, 0}, {0, m.height},
                                 std::make_shared<GradientStopCollection>(std::initializer_list<GradientStop>{
                                     {0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}}));
    const QImage image = render(layout, {0, 0}, 40, 40, DrawTextOptions::None, &gradient);
    const QRect ink = GfxTest::inkBounds(image, Qt::white);
    ASSERT_GT(ink.height(), 8);
    const QColor top = image.pixelColor(ink.center().x(), ink.top() + 1);
    const QColor bottom = image.pixelColor(ink.center().x(), ink.bottom() - 1);
    EXPECT_GT(top.red(), top.blue());
    EXPECT_GT(bottom.blue(), bottom.red());
    EXPECT_LT(top.green(), 30);
}

TEST_F(TextLayoutTest, SizeIsInDipsOnAnyTarget)
{
    TextLayout layout(context, u"Hxg", *format, unlimited, unlimited);
    const QRect normal = GfxTest::inkBounds(render(layout, {0, 0}), Qt::white);

    // An image that claims 300 DPI still has one DIP per pixel.
    QImage print = GfxTest::makeImage(200, 100, Qt::white);
    print.setDotsPerMeterX(11811);
    print.setDotsPerMeterY(11811);
    RenderTarget target(context, print);
    target.beginDraw();
    target.drawTextLayout({0, 0}, layout, black);
    target.endDraw();
    EXPECT_EQ(GfxTest::inkBounds(print, Qt::white), normal);

    // A format twice the size is twice as tall.
    const TextFormatPtr big = context.createStandardTextFormat(FontWeight::Normal, 32.0f);
    EXPECT_NEAR(TextLayout(context, u"Hxg", *big, unlimited, unlimited).metrics().height,
                2.0f * layout.metrics().height, 0.5f);
}

TEST_F(TextLayoutTest, DrawTextLaysOutWithinTheRectangle)
{
    format->setTextAlignment(TextAlignment::Center);
    format->setParagraphAlignment(ParagraphAlignment::Center);
    QImage image = GfxTest::makeImage(100, 100, Qt::white);
    RenderTarget target(context, image);
    target.beginDraw();
    target.drawText(u"Middle", *format, {0, 0, 100, 100}, black);
    target.endDraw();
    const QRect ink = GfxTest::inkBounds(image, Qt::white);
    EXPECT_NEAR(ink.center().x(), 50, 2);
    EXPECT_NEAR(ink.center().y(), 50, 4);
}

TEST_F(TextLayoutTest, BadValuesThrowWithTheCallsName)
{
    struct Case {
        const char* operation;
        std::function<void()> call;
    };
    TextLayout layout(context, u"x", *format, 10.0f, 10.0f);
    const Case cases[] = {
        {"IDWriteFactory::CreateTextLayout", [&] { TextLayout(context, u"x", *format, -1.0f, 10.0f); }},
        {"IDWriteFactory::CreateTextLayout", [&] { TextLayout(context, u"x", *format, 1.0f, NAN); }},
        {"IDWriteTextLayout::SetMaxWidth", [&] { layout.setMaxWidth(-5.0f); }},
        {"IDWriteTextLayout::SetMaxHeight", [&] { layout.setMaxHeight(NAN); }},
        {"IDWriteTextFormat::SetTextAlignment", [&] { layout.setTextAlignment(static_cast<TextAlignment>(3)); }},
        {"IDWriteTextFormat::SetParagraphAlignment", [&] { format->setParagraphAlignment(static_cast<ParagraphAlignment>(-1)); }},
        {"IDWriteTextFormat::SetWordWrapping", [&] { format->setWordWrapping(static_cast<WordWrapping>(2)); }},
        {"IDWriteFactory::CreateTextFormat", [&] { context.createStandardTextFormat(FontWeight::Normal, 0.0f); }},
        {"IDWriteFactory::CreateTextFormat", [&] { context.createStandardTextFormat(static_cast<FontWeight>(1000), 12.0f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        try {
            c.call();
            ADD_FAILURE() << "must throw";
        } catch (const Kestra::COMException& error) {
            EXPECT_EQ(error.code(), Kestra::Hr::InvalidArgument);
            EXPECT_STREQ(error.operation(), c.operation);
        }
    }
    EXPECT_EQ(layout.maxWidth(), 10.0f) << "a refused value changes nothing";
    EXPECT_EQ(format->paragraphAlignment(), ParagraphAlignment::Near);
}

} // namespace
