#include "assets/colour_table.h"

#include "assets/data_state.h"

#include <lua.hpp>

namespace assets {

namespace {
const char* const ColourFile = "art\\ui\\styles\\colourtable.colours";
const char* const CopyColours = "for _,e in next,ColourTable do(...)[e.key]=e.value end";
} // namespace

ColourTable::ColourTable(Mod::FileSource& files, const assets::Limits& limits)
    : state_(assets::prepareDataState(files.open(ColourFile), CopyColours, limits))
{
}

const char* ColourTable::path() { return ColourFile; }

std::vector<std::string> ColourTable::keys() const
{
    return state_ ? copiedKeys(state_.get()) : std::vector<std::string>();
}

std::optional<gfx::Color> ColourTable::find(const std::string& key) const
{
    if (!state_)
        return std::nullopt;
    lua_State* L = state_.get();
    lua_pushlstring(L, key.data(), key.size());
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return std::nullopt;
    }
    float channels[4];
    for (int i = 0; i < 4; ++i) {
        lua_rawgeti(L, -1 - i, i + 1);
        channels[i] = static_cast<float>(lua_tonumber(L, -1)) * (1.0f / 255.0f);
    }
    lua_pop(L, 5);
    return gfx::Color{channels[0], channels[1], channels[2], channels[3]};
}

} // namespace assets
