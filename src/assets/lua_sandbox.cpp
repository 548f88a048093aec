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
    ChunkObserver* observer = nullptr;
};

void* allocate(void* userData, void* block, std::size_t oldSize, std::size_t newSize)
{
    auto* budget = static_cast<Budget*>(userData);
    const bool newTable = !block && oldSize == LUA_TTABLE;
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
    if (grown) {
        budget->used = budget->used - oldSize + newSize;
        if (newTable && budget->observer)
            budget->observer->tableCreated(grown);
    }
    return grown;
}

Budget& budgetOf(lua_State* state)
{
    void* userData = nullptr;
    lua_getallocf(state, &userData);
    return *static_cast<Budget*>(userData);
}

void hook(lua_State* state, lua_Debug* event)
{
    Budget& budget = budgetOf(state);
    switch (event->event) {
    case LUA_HOOKCOUNT:
        budget.executed += HookInterval;
        if (budget.executed > budget.limits.instructions)
            luaL_error(state, "instruction limit exceeded");
        break;
    case LUA_HOOKLINE:
        if (budget.observer)
            budget.observer->lineReached(event->currentline);
        break;
    case LUA_HOOKRET:
        if (lua_Debug caller; budget.observer && lua_getstack(state, 1, &caller) && lua_getinfo(state, "l", &caller) &&
                                  caller.currentline > 0)
            budget.observer->returnedTo(caller.currentline);
        break;
    default: break;
    }
}

int panic(lua_State* state)
{
    // An error outside any protected call: leave through C++ rather than
    // let Lua abort the program.
    throw std::runtime_error(std::string("Lua error outside a protected call: ") + errorText(state));
}

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
    lua_sethook(state, hook, LUA_MASKCOUNT, HookInterval);
    ++statesOpen;
    return StatePtr(state);
}

void observeChunk(lua_State* state, ChunkObserver* observer)
{
    budgetOf(state).observer = observer;
    const int mask = LUA_MASKCOUNT | (observer ? LUA_MASKLINE | LUA_MASKRET : 0);
    // Setting the hook again restarts the count: the budget is kept, a
    // thousand instructions may go uncounted once.
    lua_sethook(state, hook, mask, HookInterval);
}

const char* errorText(lua_State* state)
{
    const char* text = lua_gettop(state) > 0 ? lua_tostring(state, -1) : nullptr;
    return text ? text : "";
}

} // namespace assets
