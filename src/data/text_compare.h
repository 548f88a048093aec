#pragma once
// Byte-wise text helpers with the "C" rules that game paths are compared by:
// only A to Z and a to z change case.

#include <string>
#include <string_view>

namespace Mod {

char lowerAscii(char c);
char upperAscii(char c);
std::string toLowerAscii(std::string_view text);

// Case-insensitive ordering: bytes compared after upper-casing; a prefix sorts
// first.
int compareNoCase(std::string_view a, std::string_view b);
inline bool lessNoCase(std::string_view a, std::string_view b) { return compareNoCase(a, b) < 0; }
inline bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}
bool endsWithNoCase(std::string_view text, std::string_view suffix);

// The part of a path after its last "\" or "/" (the whole path if none).
std::string_view fileNameOf(std::string_view path);

} // namespace Mod
