#pragma once
// Finding the typeface that a font description names among the fonts of the
// game's collection: the family name that shares the longest beginning with
// the wanted name, together with the face name that shares the longest end
// with it, in any language the fonts carry. So "DejaVu Sans Bold" finds the
// bold face of the family "DejaVu Sans".

#include <string>
#include <string_view>

namespace gfx {
class FontCollection;
struct CollectionFont;
} // namespace gfx

namespace assets {

struct TypefaceMatch {
    std::u16string familyName;              // the localised family name that scored
    const gfx::CollectionFont* font = nullptr; // null: nothing scored above 0
    std::size_t score = 0;                  // common leading + common trailing characters
};

// Scores every (family name, face name) pair in collection order; a score
// must beat the best so far strictly, so ties keep the first. Comparisons are
// case-sensitive, by UTF-16 unit.
TypefaceMatch matchTypeface(const gfx::FontCollection& collection, std::u16string_view wanted);

} // namespace assets
