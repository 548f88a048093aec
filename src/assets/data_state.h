#pragma once
// A Lua state over one data file (the colour table or a style sheet): the
// file runs with one global, `next`, then a small copy chunk moves the
// interesting tables into the registry, where lookups find them by key.

#include "assets/lua_sandbox.h"
#include "data/file_data.h"


namespace assets {

// Null when the file is missing or either chunk fails.
StatePtr prepareDataState(Mod::FilePtr file, const char* copyChunk, const Limits& limits = {});

} // namespace assets
