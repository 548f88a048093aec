// The TrueType name-table reader and the family renamer: the input read as a
// font file or collection; every font that has a family gets a new one, and
// the renamed file must read back with a new name as each one's only family.

#include "gfx/font_family_renamer.h"
#include "gfx/font_name_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<gfx::FontFace> faces = gfx::readFontFaces(bytes);
    std::size_t length = 0;
    for (const gfx::FontFace& face : faces)
        for (const gfx::LocalizedName& name : face.familyNames)
            length += name.locale.size() + name.text.size();

    std::vector<gfx::FamilyRename> renames;
    for (const gfx::FontFace& face : faces)
        renames.push_back({face.fontIndex, u"Fuzzed family " + std::u16string(1, char16_t(u'A' + renames.size() % 26))});
    const std::optional<std::string> renamed = gfx::renameFontFamilies(bytes, renames);
    if (renamed) {
        // Each renamed font reads back with one US English family, a new
        // name (the last one given, when a collection lists one font twice).
        const std::vector<gfx::FontFace> again = gfx::readFontFaces(*renamed);
        for (const gfx::FamilyRename& rename : renames) {
            bool renamedFace = false;
            for (const gfx::FontFace& face : again) {
                if (face.fontIndex != rename.fontIndex || face.familyNames.size() != 1)
                    continue;
                const gfx::LocalizedName& name = face.familyNames.front();
                for (const gfx::FamilyRename& given : renames)
                    renamedFace = renamedFace || (name.locale == u"en-us" && name.text == given.family);
            }
            if (!renamedFace)
                __builtin_trap();
        }
    }
    volatile std::size_t keep = length;
    (void)keep;
    return 0;
}
