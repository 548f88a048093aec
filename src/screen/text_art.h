#pragma once
// "Text" art: the owning widget's `text`, localised through the module's
// string tables ("$" and a number; anything else shown as written), laid out
// in the item's rectangle in the font named by `fontname`, filled with a
// vertical gradient from `textColourTop` at the top of the first line to
// `textColourBottom` at the bottom of the last, optionally over a black drop
// shadow one device pixel right and down.
//
// Font scale: the font's size-table factor for the view's reference width
// (the width of a 4:3 view of the same area, sqrt(width × height × 4 / 3)),
// recomputed on every paint, so resizing the view rescales the text without
// rebuilding it. A factor that is not a positive number (from a broken font
// file) draws nothing.
//
// The layout is made on the first paint and kept until the widget's text
// changes; the brushes are made once.
//
// Findings: the first text art to draw in a font that fell back notes it
// ("font-fallback"); when the view checks text fit, a text whose layout is
// larger than its box at the size drawn is noted ("text-overflow").

#include "gfx/brush.h"
#include "gfx/text_layout.h"
#include "screen/art_item.h"

#include <memory>

namespace assets {
struct FontEntry;
}

namespace screen {

class TextArt final : public ArtItem {
public:
    struct Properties {
        ColourValue textColourTop{{0.0f, 0.0f, 0.0f, 1.0f}, {}};
        ColourValue textColourBottom{{0.0f, 0.0f, 0.0f, 1.0f}, {}};
        std::string fontname;
        bool multiline = true;
        bool dropShadow = false;
        gfx::TextAlignment horzAlign = gfx::TextAlignment::Leading;
        gfx::ParagraphAlignment vertAlign = gfx::ParagraphAlignment::Center;
    };

    TextArt(ScreenView& screen, lua_State* lua, Properties properties);
    ~TextArt() override;

    const Properties& properties() const { return properties_; }
    // The layout of the last paint; null before it and after a text change.
    const gfx::TextLayout* layout() const { return layout_.get(); }

    // Indeterminate inside the item, else Miss.
    ui::HitResult hitTest(float x, float y) override;
    void paint(gfx::RenderTarget& target) override;
    // Drops the layout; the next paint lays the new text out.
    void textChanged() override;

private:
    void reportFallback();
    // Notes the text when its laid-out size (in layout units) exceeds the box.
    void checkFit(const gfx::TextMetrics& metrics, float scale);

    Properties properties_;
    const assets::FontEntry* font_ = nullptr;
    std::unique_ptr<gfx::TextLayout> layout_;
    std::unique_ptr<gfx::LinearGradientBrush> gradient_;
    std::unique_ptr<gfx::SolidColorBrush> shadow_;
};

} // namespace screen
