#include "assets/lua_sandbox.h"

#include <atomic>
#include <cstdlib>
#include <lua.hpp>
#include <new>
#include <stdexcept>


namespace assets {

namespace {

constexpr int HookInterval = 1000; // instructions between two budget checks

struct Budget {
    Limits limits;
    std::size_t used = 0;
    std::uint64_t executed = 0;
};

void* allocate(void* userData, void* block, std::size_t oldSize, std::size_t newSize)
{
    auto* budget = static_cast<Budget*>(userData);
    if (!block)
        oldSize = 0; // then oldSize names the kind of object, not a size
    if (newSize == 0) {
        std::free(block);
        budget->used -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && newSize - oldSize > budget->limits.memoryBytes - budget->used)
        return nullptr; // only growth may fail; Lua reports "not enough memory"
    void* grown = std::realloc(block, newSize);
    if (grown)
        budget->used = budget->used - oldSize + newSize;
    return grown;
}

void countInstructions(lua_State* state, lua_Debug*)
{
    void* userData = nullptr;
    lua_getallocf(state, &userData);
    auto* budget = static_cast<Budget*>(userData);
    budget->executed += HookInterval;
    if (budget->executed > budget->limits.instructions)
        luaL_error(state, "instruction limit exceeded");
}

int panic(lua_State* state)
{
    // An error outside any protected call: leave through C++ rather than
    // let Lua abort the program.
    throw std::runtime_error(std::string("Lua error outside a protected call: ") + errorText(state));
}

} // namespace

namespace {
std::atomic<std::size_t> statesOpen{0};
} // namespace

void StateCloser::operator()(lua_State* state) const
{
    void* userData = nullptr;
    lua_getallocf(state, &userData);
    lua_close(state);
    delete static_cast<Budget*>(userData);
    --statesOpen;
}

std::size_t openStates() { return statesOpen.load(); }

StatePtr newState(const Limits& limits)
{
    auto* budget = new Budget{limits};
    lua_State* state = lua_newstate(allocate, budget);
    if (!state) {
        delete budget;
        throw std::bad_alloc();
    }
    lua_atpanic(state, panic);
    lua_sethook(state, countInstructions, LUA_MASKCOUNT, HookInterval);
    ++statesOpen;
    return StatePtr(state);
}

const char* errorText(lua_State* state)
{
    const char* text = lua_gettop(state) > 0 ? lua_tostring(state, -1) : nullptr;
    return text ? text : "";
}

} // namespace assets
