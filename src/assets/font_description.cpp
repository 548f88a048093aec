#include "assets/font_description.h"

#include "data/lua_chunk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <lua.hpp>

namespace assets {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Reads the table `font` on top of the stack into the description passed as
// light userdata. Runs as a protected call: a `sizeDefault` of the wrong kind
// raises a Lua error.
int readFont(lua_State* L)
{
    auto* description = static_cast<FontDescription*>(lua_touserdata(L, 1));
    lua_getglobal(L, "font");
    const int font = lua_gettop(L);

    lua_getfield(L, font, "sizeDefault");
    if (!lua_isnil(L, -1))
        description->sizeDefault = static_cast<float>(luaL_checknumber(L, -1));
    lua_pop(L, 1);

    lua_getfield(L, font, "name");
    if (const char* name = lua_tostring(L, -1))
        description->typeface = name;
    lua_pop(L, 1);

    lua_pushnil(L);
    while (lua_next(L, font)) {
        if (lua_type(L, -2) == LUA_TSTRING) {
            std::size_t length = 0;
            const char* key = lua_tolstring(L, -2, &length);
            if (length >= 5 && std::equal(key, key + 4, "size") && !isLetter(key[4])) {
                const float width = static_cast<float>(std::atoi(key + 4));
                const float factor = static_cast<float>(lua_tonumber(L, -1)) / description->sizeDefault;
                auto& sizes = description->sizes;
                const auto at = std::lower_bound(sizes.begin(), sizes.end(), width,
                                                 [](const SizeEntry& entry, float w) { return entry.width < w; });
                if (at == sizes.end() || at->width != width) // one entry per width: the first one read
                    sizes.insert(at, {width, factor});
            }
        }
        lua_pop(L, 1);
    }
    return 0;
}

} // namespace

std::optional<FontDescription> readFontDescription(Mod::FilePtr file, const assets::Limits& limits,
                                                   std::string* failure)
{
    const auto fail = [failure](std::string why) -> std::optional<FontDescription> {
        if (failure)
            *failure = std::move(why);
        return std::nullopt;
    };
    if (!Mod::hasData(file))
        return fail("is missing");
    assets::StatePtr state = assets::newState(limits);
    lua_State* L = state.get();
    if (Mod::LoadLuaChunk(L, std::move(file)) != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK)
        return fail(std::string("fails to run: ") + errorText(L));
    lua_getglobal(L, "font");
    const bool isTable = lua_istable(L, -1);
    lua_pop(L, 1);
    if (!isTable)
        return fail("defines no table `font`");
    FontDescription description;
    lua_pushcfunction(L, readFont);
    lua_pushlightuserdata(L, &description);
    if (lua_pcall(L, 1, 0, 0) != LUA_OK)
        return fail(std::string("has a `sizeDefault` that is not a number: ") + errorText(L));
    // A design size of 0 or less would make every factor infinite or negative.
    if (!(description.sizeDefault > 0.0f) || !std::isfinite(description.sizeDefault))
        return fail("has a `sizeDefault` that is not above 0");
    return description;
}

float sizeFactor(const std::vector<SizeEntry>& sizes, float width)
{
    if (sizes.empty())
        return 1.0f;
    if (sizes.size() == 1)
        return sizes.front().factor;
    const SizeEntry& first = sizes.front();
    const SizeEntry& last = sizes.back();
    if (width <= first.width || width >= last.width)
        return first.factor + (width - first.width) * (last.factor - first.factor) / (last.width - first.width);
    const auto upper = std::upper_bound(sizes.begin(), sizes.end(), width,
                                        [](float w, const SizeEntry& entry) { return w < entry.width; });
    const SizeEntry& low = *(upper - 1);
    return low.factor + (width - low.width) * (upper->factor - low.factor) / (upper->width - low.width);
}

} // namespace assets
