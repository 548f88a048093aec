#pragma once
// Screen text to the UTF-16 text drawn: "$" followed by a number is looked up
// in the module's string tables.

#include "data/mod_context.h"

#include <string>

namespace Mod {

std::u16string LocaliseText(const char* text, const ModContext& context);

} // namespace Mod
