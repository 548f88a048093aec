#pragma once
// The properties that select a face within a font family, with the values the
// platform's text interfaces use: weight 1-999 (400 normal, 700 bold),
// stretch 1-9 (5 normal), and the slope.

namespace gfx {

enum class FontWeight : int {
    Thin = 100,
    ExtraLight = 200,
    Light = 300,
    Normal = 400,
    Medium = 500,
    SemiBold = 600,
    Bold = 700,
    ExtraBold = 800,
    Black = 900,
    ExtraBlack = 950,
};

enum class FontStyle : int {
    Normal = 0,
    Oblique = 1,
    Italic = 2,
};

enum class FontStretch : int {
    Undefined = 0,
    UltraCondensed = 1,
    ExtraCondensed = 2,
    Condensed = 3,
    SemiCondensed = 4,
    Normal = 5,
    SemiExpanded = 6,
    Expanded = 7,
    ExtraExpanded = 8,
    UltraExpanded = 9,
};

} // namespace gfx
