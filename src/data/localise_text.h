#pragma once
// Screen text to the UTF-16 text drawn: "$" followed by a number is looked up
// in the module's string tables.

#include "data/mod_context.h"

#include <optional>
#include <string>
#include <string_view>

namespace Mod {

// The string tables' text for a "$" reference (the first table in search
// order that has the number); nothing when text is no reference or no table
// has it. The number reads as the game's 32-bit strtol reads it (saturating).
std::optional<std::u16string_view> FindLocalisedString(const char* text, const ModContext& context);

// The found text (pseudo-localised when the context says so); otherwise text
// as written, and for a reference that no table has, followed by " No String!".
std::u16string LocaliseText(const char* text, const ModContext& context);

} // namespace Mod
