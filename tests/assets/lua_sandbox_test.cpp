#include "assets/data_state.h"
#include "assets/lua_sandbox.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cstdlib>
#include <cstring>

using namespace assets;

namespace {

Mod::FilePtr textFile(const std::string& text)
{
    void* buffer = std::malloc(text.size() + 1);
    std::memcpy(buffer, text.data(), text.size());
    return Mod::makeHeapFile(buffer, static_cast<std::uint32_t>(text.size()));
}

std::string run(lua_State* L, const std::string& chunk)
{
    if (luaL_loadstring(L, chunk.c_str()) != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK) {
        std::string message = assets::errorText(L);
        lua_pop(L, 1);
        return message;
    }
    return "ok";
}

} // namespace

TEST(LuaSandboxTest, EndlessLoopsAndUnboundedAllocationFail)
{
    assets::Limits limits;
    limits.instructions = 5'000'000;
    limits.memoryBytes = 8u << 20;
    assets::StatePtr state = assets::newState(limits);
    EXPECT_EQ(run(state.get(), "x = 0 for i = 1, 1000 do x = x + i end"), "ok");
    EXPECT_NE(run(state.get(), "while true do end").find("instruction limit exceeded"), std::string::npos);

    assets::StatePtr other = assets::newState(limits);
    EXPECT_EQ(run(other.get(), "t = {} local s = 'x' for i = 1, 40 do s = s .. s end"), "not enough memory");
    EXPECT_EQ(run(other.get(), "t = {} for i = 1, 1e9 do t[i] = i end"), "not enough memory");
    lua_pushnil(other.get());
    lua_setglobal(other.get(), "t");
    lua_gc(other.get(), LUA_GCCOLLECT, 0);
    EXPECT_EQ(run(other.get(), "u = {} for i = 1, 1000 do u[i] = i end"), "ok") << "freed memory can be used again";
}

TEST(LuaSandboxTest, NoStandardLibraryIsOpen)
{
    assets::StatePtr state = assets::newState();
    for (const char* global : {"print", "os", "io", "require", "string", "pcall", "load", "dofile", "next"}) {
        lua_getglobal(state.get(), global);
        EXPECT_TRUE(lua_isnil(state.get(), -1)) << global;
        lua_pop(state.get(), 1);
    }
}

TEST(LuaSandboxTest, DataStatesHaveOnlyNextAndFailWhenEitherChunkFails)
{
    const char* copy = "for _,e in next,Things do(...)[e.key]=e.value end";
    struct Case {
        std::string file;
        bool loads;
    };
    const std::vector<Case> cases{
        {"Things = { { key = 'a', value = 1 }, { key = 'b', value = 2 } }", true},
        {"Things = {}", true},
        {"Other = {}", false},                    // the copy chunk fails
        {"Things = {} print('hello')", false},    // print is no global
        {"Things = {} for _ in pairs({}) do end", false},
        {"Things = {", false},                    // syntax error
        {"while true do end", false},             // endless
    };
    assets::Limits limits;
    limits.instructions = 2'000'000;
    for (const Case& c : cases) {
        assets::StatePtr state = assets::prepareDataState(textFile(c.file), copy, limits);
        EXPECT_EQ(state != nullptr, c.loads) << c.file;
    }
    assets::StatePtr state = assets::prepareDataState(textFile(cases[0].file), copy);
    ASSERT_TRUE(state);
    lua_getfield(state.get(), LUA_REGISTRYINDEX, "b");
    EXPECT_EQ(lua_tointeger(state.get(), -1), 2);
    EXPECT_FALSE(assets::prepareDataState(nullptr, copy)) << "no file, no state";
}
