#include "screen/property_reader.h"

#include <lua.hpp>

#include <stdexcept>
#include <string>

namespace screen {

namespace {

bool isWanted(lua_State* state, int index, Want want)
{
    switch (want) {
    case Want::Table: return lua_type(state, index) == LUA_TTABLE;
    case Want::Boolean: return lua_type(state, index) == LUA_TBOOLEAN;
    case Want::String: return lua_type(state, index) == LUA_TSTRING;
    case Want::Text: return lua_isstring(state, index) != 0;
    case Want::Number: return lua_isnumber(state, index) != 0;
    case Want::Present: return !lua_isnoneornil(state, index);
    }
    return false;
}

// Pushes table[key]; false, with nothing pushed, when the value is not
// wanted (the watcher, if any, is told of a value of the wrong kind).
bool pushField(const TableRef& table, const char* key, Want want, ValueWatcher* watcher = nullptr)
{
    if (!table.valid())
        return false;
    lua_State* L = table.lua;
    reserveStack(L, 3);
    pushTable(table);
    lua_pushstring(L, key);
    lua_rawget(L, -2);
    lua_remove(L, -2);
    if (isWanted(L, -1, want))
        return true;
    if (watcher && !lua_isnil(L, -1))
        watcher->wrongKind(key, want, L);
    lua_pop(L, 1);
    return false;
}

float numberAt(lua_State* state, int tableIndex, int element, bool* numeric = nullptr)
{
    lua_rawgeti(state, tableIndex, element);
    if (numeric)
        *numeric = lua_isnumber(state, -1) != 0;
    const auto value = static_cast<float>(lua_tonumber(state, -1));
    lua_pop(state, 1);
    return value;
}

} // namespace

void pushTable(const TableRef& table) { lua_rawgeti(table.lua, LUA_REGISTRYINDEX, table.ref); }

TableRef takeReference(lua_State* state) { return {state, luaL_ref(state, LUA_REGISTRYINDEX)}; }

void dropReference(const TableRef& table)
{
    if (table.valid())
        luaL_unref(table.lua, LUA_REGISTRYINDEX, table.ref);
}

void reserveStack(lua_State* state, int n)
{
    if (!lua_checkstack(state, n))
        throw std::runtime_error("stack overflow");
}

lua_State* Properties::push(const char* key, Want want) const
{
    if (pushField(own_, key, want, want == Want::Present ? nullptr : watcher_))
        return own_.lua;
    if (want != Want::Present && pushField(style_, key, want))
        return style_.lua;
    return nullptr;
}

std::optional<bool> Properties::boolean(const char* key) const
{
    lua_State* L = push(key, Want::Boolean);
    if (!L)
        return std::nullopt;
    const bool value = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return value;
}

std::optional<double> Properties::number(const char* key) const
{
    lua_State* L = push(key, Want::Number);
    if (!L)
        return std::nullopt;
    const double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    return value;
}

std::optional<std::string> Properties::text(const char* key, Want want) const
{
    lua_State* L = push(key, want);
    if (!L)
        return std::nullopt;
    std::optional<std::string> value = textAt(L, -1, *allowance_);
    lua_pop(L, 1);
    return value;
}

void TextAllowance::charge(std::size_t length)
{
    if (length > perString_)
        throw std::runtime_error("a string of more than " + std::to_string(perString_) +
                                 " bytes in a widget or art table");
    if (length > left_)
        throw std::runtime_error("more than " + std::to_string(total_) + " bytes of text in widget and art tables");
    left_ -= length;
}

std::optional<std::string> textAt(lua_State* state, int index, TextAllowance& allowance)
{
    std::size_t length = 0;
    const char* text = lua_isstring(state, index) ? lua_tolstring(state, index, &length) : nullptr;
    if (!text)
        return std::nullopt;
    allowance.charge(length);
    return std::string(text, length);
}

Bounds readLayout(const Properties& properties, lua_State* errors)
{
    Bounds layout;
    if (lua_State* L = properties.push("position", Want::Table)) {
        bool numeric[2];
        layout.x = numberAt(L, -1, 1, &numeric[0]);
        layout.y = numberAt(L, -1, 2, &numeric[1]);
        ValueWatcher* watcher = L == properties.own().lua ? properties.watcher() : nullptr;
        for (int element = 1; element <= 2 && watcher; ++element) {
            if (!numeric[element - 1]) {
                reserveStack(L, 1);
                lua_rawgeti(L, -1, element);
                watcher->notANumber("position", element, L);
                lua_pop(L, 1);
            }
        }
        lua_pop(L, 1);
    }
    if (lua_State* L = properties.push("size", Want::Table)) {
        float* sides[] = {&layout.width, &layout.height};
        for (int element = 1; element <= 2; ++element) {
            lua_rawgeti(L, -1, element);
            if (lua_isnumber(L, -1)) {
                *sides[element - 1] = static_cast<float>(lua_tonumber(L, -1));
            } else if (!lua_isnil(L, -1)) {
                // The element may live in a style sheet's state; the error
                // belongs to the screen's, where the build runs protected.
                const char* kind = luaL_typename(L, -1);
                luaL_argerror(errors, element, lua_pushfstring(errors, "number expected, got %s", kind));
            }
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
    }
    return layout;
}

ColourRead readColour(lua_State* state, const assets::ColourTable& colours, ColourValue& colour,
                      TextAllowance& allowance)
{
    if (lua_type(state, -1) == LUA_TSTRING) {
        colour.key = textAt(state, -1, allowance);
        const std::optional<gfx::Color> found = colours.find(*colour.key);
        colour.color = found.value_or(gfx::Color{0.0f, 0.0f, 0.0f, 1.0f});
        return found ? ColourRead::Ok : ColourRead::KeyMissing;
    }
    if (!lua_istable(state, -1))
        return ColourRead::WrongKind;
    reserveStack(state, 1);
    bool numeric[4];
    colour.color = {numberAt(state, -1, 1, &numeric[0]) / 255.0f, numberAt(state, -1, 2, &numeric[1]) / 255.0f,
                    numberAt(state, -1, 3, &numeric[2]) / 255.0f, numberAt(state, -1, 4, &numeric[3]) / 255.0f};
    colour.key.reset();
    return numeric[0] && numeric[1] && numeric[2] && numeric[3] ? ColourRead::Ok : ColourRead::Incomplete;
}

gfx::Point readPoint(lua_State* state, bool* incomplete)
{
    if (!lua_istable(state, -1))
        return {};
    reserveStack(state, 1);
    bool numeric[2];
    const gfx::Point point{numberAt(state, -1, 1, &numeric[0]), numberAt(state, -1, 2, &numeric[1])};
    if (incomplete)
        *incomplete = !numeric[0] || !numeric[1];
    return point;
}

} // namespace screen
