#pragma once
// Gives fonts of a font file new family names, so that a font registered with
// the text system is found under that name only and never mistaken for (or
// hidden by) a system font or another collection's font of the same name.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace gfx {

struct FamilyRename {
    std::uint32_t fontIndex = 0; // as FontFace::fontIndex
    std::u16string family;
};

// A copy of the file in which each listed font's family names (name IDs 1,
// 16 and 21, every platform and language) are replaced by one US English
// record of the new name; its other names and all other tables are kept.
// Nothing when a listed font has no readable name table, the new table
// does not fit the format's 16-bit fields, or the file's structures overlap
// so that the change would alter more than the family names (a hostile
// file).
std::optional<std::string> renameFontFamilies(std::string_view file, std::span<const FamilyRename> renames);

} // namespace gfx
