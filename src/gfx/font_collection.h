#pragma once
// A custom font collection: TrueType fonts given as bytes in memory (the
// game's own font files), made available to text formats that name the
// collection, and removed from the text system again when the collection is
// destroyed (files that another collection holds with the same bytes are
// registered once for both: gfx/font_file_registration.h). Nothing is written to disk. Its fonts are seen only through
// formats that name the collection, whatever their family names: a format
// without it finds the system's fonts alone. The collection reports each
// family's names and each font's face names in every language the fonts carry.

#include "gfx/font_name_table.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

class FontFileRegistration;
class GraphicsContext;

struct CollectionFont {
    FontFace face;
    // The name under which the text system knows this font: one of its own,
    // unlike any other font's, given when the collection registers it.
    std::u16string systemFamily;
};

// Fonts that share a family name, in the order their files were given.
struct FontFamily {
    std::vector<LocalizedName> names; // the first font's family names
    std::vector<CollectionFont> fonts;
};

class FontCollection {
public:
    // Registers every file that holds at least one named font; files that are
    // not fonts (or that the text system rejects) are skipped.
    FontCollection(const GraphicsContext& context, std::span<const std::string_view> files);
    ~FontCollection();
    FontCollection(const FontCollection&) = delete;
    FontCollection& operator=(const FontCollection&) = delete;

    const std::vector<FontFamily>& families() const { return families_; }

    // The family that has this name in some language (letter case ignored),
    // or null.
    const FontFamily* findFamily(std::u16string_view name) const;

    // The font of that family closest to the wanted properties (stretch first,
    // then slope, then weight), or null when no family has the name.
    const CollectionFont* matchFont(std::u16string_view family, FontWeight weight, FontStyle style,
                                    FontStretch stretch) const;

private:
    std::vector<FontFamily> families_;
    std::vector<std::shared_ptr<const FontFileRegistration>> registrations_;
};

} // namespace gfx
