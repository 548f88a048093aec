#pragma once
// A font description file ("font\" + name + ".fnt"): the typeface it names,
// its design size and its sizes per reference screen width.

#include "assets/lua_sandbox.h"
#include "data/file_data.h"

#include <optional>
#include <string>
#include <vector>

namespace assets {

struct SizeEntry {
    float width;
    float factor; // size at that width / design size
};

struct FontDescription {
    std::optional<std::string> typeface; // the font's `name`; absent: no format can be made
    float sizeDefault = 12.0f;
    std::vector<SizeEntry> sizes; // sorted by width, one entry per width
};

// Runs the file in a Lua state with no globals. Nothing when the file is
// missing, fails, defines no table `font`, or has a `sizeDefault` that is
// not a positive number; then, when failure is given, it is set to why
// ("fails to run: " + Lua's message, "defines no table `font`", ...).
std::optional<FontDescription> readFontDescription(Mod::FilePtr file, const assets::Limits& limits = {},
                                                   std::string* failure = nullptr);

// The factor for a screen width: 1 for an empty table, the one factor of a
// one-entry table, else interpolated between neighbours, and extrapolated
// along the line through the first and last entries outside them.
float sizeFactor(const std::vector<SizeEntry>& sizes, float width);

} // namespace assets
