#pragma once
// The string hash of Lua 5.2.0, by which the keywords of screen files are
// recognised (together with their length): start with the length, then for
// every step-th character from the last towards the first, step being
// length / 32 + 1, h ^= (h << 5) + (h >> 2) + character, in unsigned 32-bit
// arithmetic. Long strings thus hash only a sample of their characters.

#include <cstdint>
#include <string_view>

namespace screen {

std::uint32_t luaHash(std::string_view text);

} // namespace screen
