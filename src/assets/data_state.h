#pragma once
// A Lua state over one data file (the colour table or a style sheet): the
// file runs with one global, `next`, then a small copy chunk moves the
// interesting tables into the registry, where lookups find them by key.

#include "assets/lua_sandbox.h"
#include "data/file_data.h"

#include <string>
#include <vector>


namespace assets {

// Null when the file is missing or either chunk fails; then, when error is
// given, it is set to Lua's message (empty for a missing file).
StatePtr prepareDataState(Mod::FilePtr file, const char* copyChunk, const Limits& limits = {},
                          std::string* error = nullptr);

// The keys the copy chunk stored: the string keys of the state's registry
// whose values are tables, unordered.
std::vector<std::string> copiedKeys(lua_State* state);

} // namespace assets
