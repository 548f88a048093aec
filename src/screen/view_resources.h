#pragma once
// The drawing resources a screen view shares with its widgets and art items:
// the placeholder label format and the dash stroke of placeholder boxes, made
// with the view, and the brushes and the emphasis layer, made on first use
// and kept for the view's life.
//
// Fixed values: the label format is "Microsoft Sans Serif", 20 points
// (20 × 96 / 72 DIPs), weight 400, normal style and stretch, "en-us", centred
// both ways; the dash stroke has flat caps, miter-or-bevel joins, miter limit
// 10 and dashes of 4 and 4 stroke widths. The checkerboard is a 16 × 16
// bitmap of 8 × 8 squares, black at alpha 32/255 top left and bottom right,
// transparent elsewhere, repeated in both directions.

#include "gfx/brush.h"
#include "gfx/layer.h"
#include "gfx/stroke_style.h"
#include "gfx/text_format.h"

#include <memory>

namespace gfx {
class GraphicsContext;
}

namespace screen {

class ViewResources {
public:
    // Makes the dash stroke, then the label format; throws
    // Kestra::COMException naming the failing call.
    explicit ViewResources(const gfx::GraphicsContext& graphics);
    ~ViewResources();
    ViewResources(const ViewResources&) = delete;
    ViewResources& operator=(const ViewResources&) = delete;

    const gfx::TextFormat& placeholderFormat() const { return *placeholderFormat_; }
    const gfx::StrokeStyle& dashStroke() const { return dashStroke_; }

    gfx::BitmapBrush& checkerboard();
    gfx::SolidColorBrush& black();           // (0, 0, 0, 1)
    gfx::SolidColorBrush& placeholderFill(); // (213, 213, 213) / 255, opaque
    gfx::SolidColorBrush& placeholderLine(); // (125, 125, 125) / 255, opaque
    gfx::Layer& emphasisLayer();

private:
    gfx::StrokeStyle dashStroke_;
    gfx::TextFormatPtr placeholderFormat_;
    std::unique_ptr<gfx::BitmapBrush> checkerboard_;
    std::unique_ptr<gfx::SolidColorBrush> black_;
    std::unique_ptr<gfx::SolidColorBrush> placeholderFill_;
    std::unique_ptr<gfx::SolidColorBrush> placeholderLine_;
    std::unique_ptr<gfx::Layer> emphasisLayer_;
};

} // namespace screen
