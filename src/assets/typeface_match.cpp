#include "assets/typeface_match.h"

#include "gfx/font_collection.h"

#include <algorithm>

namespace assets {

namespace {

std::size_t commonPrefix(std::u16string_view a, std::u16string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

std::size_t commonSuffix(std::u16string_view a, std::u16string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < n && a[a.size() - 1 - i] == b[b.size() - 1 - i])
        ++i;
    return i;
}

} // namespace

TypefaceMatch matchTypeface(const gfx::FontCollection& collection, std::u16string_view wanted)
{
    TypefaceMatch best;
    for (const gfx::FontFamily& family : collection.families()) {
        for (const gfx::LocalizedName& familyName : family.names) {
            const std::size_t prefix = commonPrefix(familyName.text, wanted);
            for (const gfx::CollectionFont& font : family.fonts) {
                for (const gfx::LocalizedName& faceName : font.face.faceNames) {
                    const std::size_t score = prefix + commonSuffix(faceName.text, wanted);
                    if (score > best.score)
                        best = {familyName.text, &font, score};
                }
            }
        }
    }
    return best;
}

} // namespace assets
