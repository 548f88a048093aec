#pragma once
// Lua work done outside the loading stages (releasing references when a
// widget goes, storing a changed text while painting) runs in a protected
// call of its own, so that an error there, such as a state whose memory cap
// is reached, is contained: it never escapes a destructor or a paint.

#include <functional>

struct lua_State;

namespace screen {

// Runs work with the state; false (and nothing more done) when Lua reports
// an error or the state has no stack room for the call. work must not throw
// C++ exceptions.
bool runProtected(lua_State* state, const std::function<void(lua_State*)>& work);

} // namespace screen
