#pragma once
// Values that widgets and art items report about what their build read from
// the screen's tables: their place, the style they named, and colours with
// the colour-table key they came from. Readers such as the widget tree panel
// and tise-cli show them; drawing does not depend on the extra detail.

#include "gfx/color.h"

#include <optional>
#include <string>

namespace screen {

// A widget's position and size in its parent's units (the view is the unit
// square), or an art item's in fractions of its widget's size.
struct Bounds {
    float x = 0.0f;
    float y = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
};

// The table's `style` reference: sheet and style name as written (numbers
// as their text), each absent when not given; found says whether the sheet
// had that style.
struct StyleReference {
    std::optional<std::string> sheet;
    std::optional<std::string> name;
    bool found = false;
};

// A colour property: the colour in effect, and the colour-table key it was
// looked up by when it came from the table (absent for colours given as
// numbers and for defaults).
struct ColourValue {
    gfx::Color color;
    std::optional<std::string> key;
};

} // namespace screen
