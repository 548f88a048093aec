#include "data/lua_chunk.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cstdlib>
#include <cstring>

namespace {

struct LuaState {
    LuaState() : state(luaL_newstate()) {}
    ~LuaState() { lua_close(state); }
    lua_State* state;
};

Mod::FilePtr bytesFile(const std::string& bytes)
{
    void* buffer = std::malloc(bytes.size() + 1);
    std::memcpy(buffer, bytes.data(), bytes.size());
    return Mod::makeHeapFile(buffer, static_cast<std::uint32_t>(bytes.size()));
}

int writer(lua_State*, const void* data, size_t size, void* out)
{
    static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
    return 0;
}

} // namespace

TEST(LoadLuaChunkTest, MissingFileLeavesOneMessageAndReturnsTheFileErrorStatus)
{
    LuaState lua;
    EXPECT_EQ(Mod::LoadLuaChunk(lua.state, nullptr), LUA_ERRFILE);
    ASSERT_EQ(lua_gettop(lua.state), 1);
    EXPECT_STREQ(lua_tostring(lua.state, -1), "File not found");
}

TEST(LoadLuaChunkTest, TextChunkCompilesAndRuns)
{
    LuaState lua;
    ASSERT_EQ(Mod::LoadLuaChunk(lua.state, bytesFile("Screen = { Width = 6 * 7 }")), LUA_OK);
    ASSERT_EQ(lua_pcall(lua.state, 0, 0, 0), LUA_OK);
    lua_getglobal(lua.state, "Screen");
    lua_getfield(lua.state, -1, "Width");
    EXPECT_EQ(lua_tointeger(lua.state, -1), 42);
}

TEST(LoadLuaChunkTest, ErrorsNameTheChunkSlice)
{
    LuaState lua;
    ASSERT_EQ(Mod::LoadLuaChunk(lua.state, bytesFile("x = 1\ny = = 2")), LUA_ERRSYNTAX);
    EXPECT_EQ(std::string(lua_tostring(lua.state, -1)).rfind("slice:2:", 0), 0u) << lua_tostring(lua.state, -1);
}

TEST(LoadLuaChunkTest, PrecompiledChunksAreRefused)
{
    LuaState lua;
    ASSERT_EQ(luaL_loadstring(lua.state, "return 1"), LUA_OK);
    std::string binary;
    ASSERT_EQ(lua_dump(lua.state, writer, &binary), 0);
    lua_pop(lua.state, 1);
    ASSERT_EQ(Mod::LoadLuaChunk(lua.state, bytesFile(binary)), LUA_ERRSYNTAX);
    EXPECT_NE(std::string(lua_tostring(lua.state, -1)).find("attempt to load a binary chunk (mode is 't')"),
              std::string::npos);
}

TEST(LoadLuaChunkTest, ReleasesTheFile)
{
    LuaState lua;
    Mod::FilePtr file = bytesFile("return 1");
    std::weak_ptr<const Mod::FileData> watch = file;
    Mod::LoadLuaChunk(lua.state, std::move(file));
    EXPECT_TRUE(watch.expired());
}
