#pragma once
// Reads what a TrueType or OpenType file says about its fonts: the family and
// face names in every language of the `name` table, and weight, stretch and
// slope from the `OS/2` table. The bytes are untrusted: every read is checked
// against their end, and anything malformed is skipped, never read past.

#include "gfx/font_properties.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

// A name in one language; locale is a lower-case tag such as "en-us".
struct LocalizedName {
    std::u16string locale;
    std::u16string text;

    friend bool operator==(const LocalizedName&, const LocalizedName&) = default;
};

// One font (one face) of a file.
struct FontFace {
    // Which font of the file this is (0 unless the file is a collection).
    std::uint32_t fontIndex = 0;
    // The typographic family and face names (name IDs 16 and 17) when the font
    // has them, else the legacy ones (IDs 1 and 2). One entry per locale, in
    // the order of the table.
    std::vector<LocalizedName> familyNames;
    std::vector<LocalizedName> faceNames;
    FontWeight weight = FontWeight::Normal;
    FontStretch stretch = FontStretch::Normal;
    FontStyle style = FontStyle::Normal;
};

// Every font of a font file or font collection file ("ttcf") that has at least
// one family name. Bytes that are not a font give an empty list.
std::vector<FontFace> readFontFaces(std::string_view bytes);

// The locale tag for a Windows language identifier (0x0409 gives "en-us"),
// or "lcid-" and four hex digits for one we do not know.
std::u16string localeForLanguageId(unsigned languageId);

} // namespace gfx
