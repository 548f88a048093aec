#pragma once
// What every part of a selector draws with: the graphics context, the header
// and item text formats and the brushes. The selector owns it; its groups,
// rows and band are handed it and nothing else of the selector.

#include "gfx/stroke_style.h"
#include "gfx/text_format.h"
#include "ui/selector_brushes.h"

#include <memory>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class SelectorLook {
public:
    // context must outlive the look.
    explicit SelectorLook(const gfx::GraphicsContext& context);

    const gfx::GraphicsContext& graphics() const { return *graphics_; }
    // Standard font, 12 and 10 points, vertically centred.
    const gfx::TextFormat& headerFormat() const { return *headerFormat_; }
    const gfx::TextFormat& itemFormat() const { return *itemFormat_; }
    // Made on first use, when the first paint needs them.
    SelectorBrushes& brushes();
    // The dotted line around the keyboard's focus row, made on first use.
    const gfx::StrokeStyle& focusStroke();

private:
    const gfx::GraphicsContext* graphics_;
    gfx::TextFormatPtr headerFormat_;
    gfx::TextFormatPtr itemFormat_;
    std::unique_ptr<SelectorBrushes> brushes_;
    std::unique_ptr<gfx::StrokeStyle> focusStroke_;
};

} // namespace ui
