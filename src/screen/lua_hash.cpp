#include "screen/lua_hash.h"

namespace screen {

std::uint32_t luaHash(std::string_view text)
{
    const std::size_t length = text.size();
    auto hash = static_cast<std::uint32_t>(length);
    const std::size_t step = (length >> 5) + 1;
    for (std::size_t remaining = length; remaining >= step; remaining -= step)
        hash ^= (hash << 5) + (hash >> 2) + static_cast<unsigned char>(text[remaining - 1]);
    return hash;
}

} // namespace screen
