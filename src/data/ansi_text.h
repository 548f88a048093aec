#pragma once
// Narrow game text (paths, Lua strings) to UTF-16 and back to UTF-8 for
// output. Game files are read as UTF-8 when they are valid UTF-8, otherwise
// as Windows-1252, the code page of the game's Western releases.

#include <string>
#include <string_view>

namespace Mod {

std::u16string ansiToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Whether text is strict UTF-8 (as ansiToUtf16 decides).
bool isUtf8(std::string_view text);

} // namespace Mod
