#pragma once
// The colours of a selector: solid brushes for texts, the header rule and the
// hover outline, and the gradients of the background, the hover highlight and
// the selection band (gamma 2.2, clamped; stretched by their user before each
// use).

#include "gfx/brush.h"

namespace ui {

struct SelectorBrushes {
    SelectorBrushes();

    gfx::SolidColorBrush headerText;
    gfx::SolidColorBrush rule;
    gfx::SolidColorBrush itemText;
    gfx::SolidColorBrush hoverOutline;
    gfx::SolidColorBrush black;
    gfx::SolidColorBrush white;
    gfx::LinearGradientBrush hoverGradient;
    gfx::LinearGradientBrush bandGradient;
    gfx::LinearGradientBrush backgroundGradient;
};

// Points a vertical gradient from (0, 0) down to (0, height).
void stretchVertically(gfx::LinearGradientBrush& brush, float height);

} // namespace ui
