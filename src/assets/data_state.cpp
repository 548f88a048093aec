#include "assets/data_state.h"

#include "data/lua_chunk.h"

#include <lua.hpp>


namespace assets {

namespace {

// next(table, key): the pair after key, or nothing at the end. Anything but
// a table is a Lua error (lua_next itself would read it as one).
int next(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TTABLE);
    lua_settop(state, 2);
    return lua_next(state, 1) ? 2 : 0;
}

} // namespace

std::vector<std::string> copiedKeys(lua_State* state)
{
    std::vector<std::string> keys;
    lua_pushnil(state);
    while (lua_next(state, LUA_REGISTRYINDEX)) {
        if (lua_type(state, -2) == LUA_TSTRING && lua_istable(state, -1))
            keys.emplace_back(lua_tostring(state, -2));
        lua_pop(state, 1);
    }
    return keys;
}

StatePtr prepareDataState(Mod::FilePtr file, const char* copyChunk, const Limits& limits, std::string* error)
{
    if (!Mod::hasData(file))
        return nullptr;
    StatePtr state = newState(limits);
    lua_State* L = state.get();
    const auto failed = [&] {
        if (error)
            *error = errorText(L);
        return nullptr;
    };
    lua_register(L, "next", next);
    if (Mod::LoadLuaChunk(L, std::move(file)) != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK)
        return failed();
    if (luaL_loadbufferx(L, copyChunk, std::char_traits<char>::length(copyChunk), copyChunk, nullptr) != LUA_OK)
        return failed();
    lua_pushvalue(L, LUA_REGISTRYINDEX);
    if (lua_pcall(L, 1, 0, 0) != LUA_OK)
        return failed();
    return state;
}

} // namespace assets
