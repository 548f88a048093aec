#include "screen/lua_protect.h"

#include <lua.hpp>

namespace screen {

namespace {

int trampoline(lua_State* state)
{
    const auto* work = static_cast<const std::function<void(lua_State*)>*>(lua_touserdata(state, 1));
    lua_settop(state, 0);
    (*work)(state);
    return 0;
}

} // namespace

bool runProtected(lua_State* state, const std::function<void(lua_State*)>& work)
{
    if (!state || !lua_checkstack(state, 2))
        return false;
    const int top = lua_gettop(state);
    lua_pushcfunction(state, trampoline);
    lua_pushlightuserdata(state, const_cast<std::function<void(lua_State*)>*>(&work));
    const bool ok = lua_pcall(state, 1, 0, 0) == LUA_OK;
    lua_settop(state, top);
    return ok;
}

} // namespace screen
