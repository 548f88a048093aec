#pragma once
// A font file registered with the text system under family names of its own
// (one per font of the file, unlike any other), for as long as anyone holds
// it; the last holder's release unregisters it.
//
// Files with the same bytes share one registration. Registering costs the
// parsing and renaming of the file and the text system's rebuilding of its
// font lists, which every later font lookup then pays for again; a screen
// loaded again while the previous load still holds its fonts (a reload)
// registers nothing when the font files did not change. The bytes are the
// identity: a file whose bytes changed in any way is registered anew.

#include "gfx/font_name_table.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

class FontFileRegistration {
public:
    ~FontFileRegistration();
    FontFileRegistration(const FontFileRegistration&) = delete;
    FontFileRegistration& operator=(const FontFileRegistration&) = delete;

    // The fonts of the file, in file order.
    const std::vector<FontFace>& faces() const { return faces_; }
    // Per font of faces(): the family name it is registered under, or empty
    // when the text system did not take that font.
    const std::vector<std::u16string>& families() const { return families_; }

    // The registration of these bytes: the one that exists while someone
    // holds it, else a new one. Null for bytes that hold no named font, that
    // cannot be renamed, or that the text system rejects.
    static std::shared_ptr<const FontFileRegistration> of(std::string_view bytes);

private:
    FontFileRegistration() = default;

    std::string bytes_;
    std::size_t hash_ = 0;
    int id_ = -1;
    std::vector<FontFace> faces_;
    std::vector<std::u16string> families_;
};

} // namespace gfx
