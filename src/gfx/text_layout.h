#pragma once
// A laid-out block of text: the text, the font and paragraph settings copied
// from a text format, and a maximum width and height (the layout box) that
// can be changed later. Lines break at line feeds, and at word boundaries
// within the maximum width when word wrapping is on (a word too long for a
// line is broken between characters). Each line is aligned within the maximum
// width, the block within the maximum height.

#include "gfx/geometry.h"
#include "gfx/text_format.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>

class QPainter;

namespace gfx {

class GraphicsContext;

// Measurements of the whole layout, relative to its layout box's top left.
struct TextMetrics {
    float left = 0;   // left edge of the left-most line's text
    float top = 0;    // top of the first line
    float width = 0;  // advance of the widest line, trailing whitespace excluded
    float widthIncludingTrailingWhitespace = 0;
    float height = 0; // sum of the line heights
    float layoutWidth = 0;  // the maximum width
    float layoutHeight = 0; // the maximum height
    std::uint32_t maxBidiReorderingDepth = 1;
    std::uint32_t lineCount = 0;
};

class TextLayout {
public:
    // A maximum width or height that sets no limit.
    static constexpr float NoLimit = std::numeric_limits<float>::infinity();

    // Throws Kestra::COMException (E_INVALIDARG, "IDWriteFactory::CreateTextLayout")
    // when a maximum is negative or not a number. Infinite maxima mean no limit.
    TextLayout(const GraphicsContext& context, std::u16string text, const TextFormat& format,
               float maxWidth, float maxHeight);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    const std::u16string& text() const;

    float maxWidth() const;
    float maxHeight() const;
    // Throw Kestra::COMException (E_INVALIDARG, "IDWriteTextLayout::SetMaxWidth"
    // or "...SetMaxHeight") for a negative value or not a number.
    void setMaxWidth(float maxWidth);
    void setMaxHeight(float maxHeight);

    TextAlignment textAlignment() const;
    ParagraphAlignment paragraphAlignment() const;
    WordWrapping wordWrapping() const;
    // Same checks and operation names as the text format's setters.
    void setTextAlignment(TextAlignment alignment);
    void setParagraphAlignment(ParagraphAlignment alignment);
    void setWordWrapping(WordWrapping wrapping);

    TextMetrics metrics() const;

private:
    friend class RenderTarget;
    // Draws the text in the painter's current pen with the layout box's top
    // left at origin.
    void draw(QPainter& painter, Point origin) const;
    // The same glyphs drawn one at a time, each where draw() puts it, with
    // drawn() called after each: for finding pixels that more than one
    // glyph touches.
    void drawGlyphByGlyph(QPainter& painter, Point origin, const std::function<void()>& drawn) const;
    // Where draw() with origin (0, 0) may put ink: the glyphs' outlines,
    // widened by a quarter of the font's size for what rasterising adds
    // (hinting, antialiasing); empty without visible glyphs.
    Rect inkBounds() const;
    // Unique to this layout in the process, never reused: with the maxima,
    // alignments and wrapping it says everything that decides the drawing
    // (the text and the font do not change).
    std::uint64_t serial() const;

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace gfx
