#pragma once
// The box that stands in for what the viewer does not render (custom widgets,
// Flash movies): a light grey fill, a dashed grey outline 4 device pixels
// wide inside its edge, and a label centred in the box and cut off at its
// inner edge. Opacity o applies to the fill; the outline and label are drawn
// at o + 0.5, at most 1.

#include "gfx/text_layout.h"

namespace gfx {
class RenderTarget;
}

namespace screen {

class ViewResources;

// Draws the box over (0, 0)-(width, height) of the current transform's space
// (its scale and translation), in device pixels. The label's maximum width
// and height become the inner rectangle's (0 for boxes under 4 pixels).
// The transform is restored.
void drawPlaceholderBox(gfx::RenderTarget& target, ViewResources& resources, gfx::TextLayout& label,
                        float opacity, float width, float height);

} // namespace screen
