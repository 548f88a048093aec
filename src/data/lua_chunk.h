#pragma once
// Compiles game data as a Lua text chunk.

#include "data/file_data.h"

struct lua_State;

namespace Mod {

// Compiles file as a text chunk named "@slice" and returns Lua's status (the
// function, or the error message, on the stack). No file: pushes
// "File not found" and returns LUA_ERRFILE. The file is released on return.
int LoadLuaChunk(lua_State* state, FilePtr file);

} // namespace Mod
