#include "data/lua_chunk.h"

#include <lua.hpp>

namespace Mod {

int LoadLuaChunk(lua_State* state, FilePtr file)
{
    if (!hasData(file)) {
        lua_pushstring(state, "File not found");
        return LUA_ERRFILE;
    }
    const FilePtr held = std::move(file);
    return luaL_loadbufferx(state, held->data, held->length, "@slice", "t");
}

} // namespace Mod
