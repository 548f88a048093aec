#include "screen/table_watch.h"

#include "base/closest_name.h"

#include <lua.hpp>

#include <algorithm>
#include <utility>

namespace screen {

namespace {

constexpr std::size_t LongestShown = 40;

std::string shownText(std::string_view text)
{
    return text.size() <= LongestShown ? std::string(text) : std::string(text.substr(0, LongestShown)) + "...";
}

const char* expected(Want want)
{
    switch (want) {
    case Want::Table: return "a table";
    case Want::Boolean: return "true or false";
    case Want::String: return "a string";
    case Want::Text: return "a string or a number";
    case Want::Number: return "a number";
    case Want::Present: break;
    }
    return "a value";
}

std::string kindOf(lua_State* state, int index)
{
    const int type = lua_type(state, index);
    return type == LUA_TBOOLEAN ? "a boolean" : std::string("a ") + lua_typename(state, type);
}

std::optional<std::string> kindHint(std::string_view key, Want want, lua_State* state)
{
    if (want == Want::Boolean) {
        size_t length = 0;
        const char* text = lua_type(state, -1) == LUA_TSTRING ? lua_tolstring(state, -1, &length) : nullptr;
        if (text && (std::string_view(text, length) == "true" || std::string_view(text, length) == "false"))
            return "write " + std::string(key) + " = " + std::string(text, length) + ", without quotes";
        return "write " + std::string(key) + " = true or " + std::string(key) + " = false";
    }
    if (want == Want::String && lua_type(state, -1) == LUA_TNUMBER)
        return "write it in quotes: " + std::string(key) + " = \"" + describeValue(state, -1) + "\"";
    if (key == "position" || key == "size")
        return "write " + std::string(key) + " = { X, Y }, in fractions of the parent's width and height";
    if (key == "Presentation")
        return std::string("write Presentation = { Art = { ... } }");
    if (key == "Children")
        return std::string("write Children = { { ... }, { ... } }, one table per child widget");
    if (key == "states")
        return std::string("write states = { \"Normal\", \"Hover\" }");
    if (key == "style")
        return std::string("write style = { \"SHEET\", \"NAME\" }");
    return std::nullopt;
}

const std::vector<std::string_view>& allArtKeys()
{
    static const std::vector<std::string_view> keys = [] {
        std::vector<std::string_view> all;
        for (const ArtKind kind : {ArtKind::Texture, ArtKind::Text, ArtKind::Rectangle, ArtKind::Line, ArtKind::Flash})
            for (const std::string_view key : artKeys(kind))
                if (std::find(all.begin(), all.end(), key) == all.end())
                    all.push_back(key);
        return all;
    }();
    return keys;
}

// The art type word of the first kind that reads key.
std::optional<std::string_view> kindReading(std::string_view key)
{
    const ArtKind kinds[] = {ArtKind::Texture, ArtKind::Text, ArtKind::Rectangle, ArtKind::Line, ArtKind::Flash};
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        const std::vector<std::string_view>& keys = artKeys(kinds[i]);
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            return artTypeWords()[i];
    }
    return std::nullopt;
}

} // namespace

const std::vector<std::string_view>& widgetKeys()
{
    static const std::vector<std::string_view> keys{"type",         "name", "position", "size",
                                                    "style",        "Children", "Presentation", "visible",
                                                    "text",         "tooltip_text", "tooltip_name"};
    return keys;
}

const std::vector<std::string_view>& artKeys(ArtKind kind)
{
    static const std::vector<std::string_view> base{"type", "position", "size", "style", "ID", "states"};
    static const auto with = [](std::vector<std::string_view> more) {
        std::vector<std::string_view> keys = base;
        keys.insert(keys.end(), more.begin(), more.end());
        return keys;
    };
    static const std::vector<std::string_view> texture = with({"texture", "flipHorizontal", "flipVertical", "colour"});
    static const std::vector<std::string_view> text = with(
        {"textColourTop", "textColourBottom", "fontname", "multiline", "dropShadow", "horzAlign", "vertAlign"});
    static const std::vector<std::string_view> rectangle = with({"colour", "rectangleType"});
    static const std::vector<std::string_view> line = with({"colour", "p1", "p2"});
    static const std::vector<std::string_view> flash = with({"swf", "alpha"});
    switch (kind) {
    case ArtKind::Texture: return texture;
    case ArtKind::Text: return text;
    case ArtKind::Rectangle: return rectangle;
    case ArtKind::Line: return line;
    case ArtKind::Flash: return flash;
    case ArtKind::Base: break;
    }
    return base;
}

std::string describeValue(lua_State* state, int index)
{
    switch (lua_type(state, index)) {
    case LUA_TSTRING: {
        size_t length = 0;
        const char* text = lua_tolstring(state, index, &length);
        return "\"" + shownText(std::string_view(text, length)) + "\"";
    }
    case LUA_TNUMBER: {
        lua_pushvalue(state, index); // lua_tostring turns the slot itself into a string
        std::string text = lua_tostring(state, -1);
        lua_pop(state, 1);
        return text;
    }
    case LUA_TBOOLEAN: return lua_toboolean(state, index) ? "true" : "false";
    case LUA_TNIL: return "nil";
    case LUA_TTABLE: return "{...}";
    default: return std::string("a ") + luaL_typename(state, index);
    }
}

void TableWatch::wrongKind(const char* key, Want want, lua_State* state)
{
    note("bad-value",
         ": " + std::string(key) + " = " + describeValue(state, -1) + " is " + kindOf(state, -1) + ", not " +
             expected(want) + ": it is ignored",
         kindHint(key, want, state));
}

void TableWatch::notANumber(const char* key, int element, lua_State* state)
{
    note("bad-value",
         ": " + std::string(key) + "[" + std::to_string(element) + "] = " + describeValue(state, -1) +
             " is not a number: it reads as 0",
         std::string("positions are fractions of the parent's width and height, such as position = { 0.25, 0 }"));
}

void TableWatch::note(const char* code, std::string text, std::optional<std::string> hint)
{
    notes_.push_back({code, std::move(text), std::move(hint)});
}

KnownKeys::KnownKeys(lua_State* state, const std::vector<std::string_view>& names) : state_(state), names_(names)
{
    luaL_checkstack(state, 3, nullptr);
    lua_createtable(state, static_cast<int>(names.size()), 0);
    for (std::size_t i = 0; i < names.size(); ++i) {
        lua_pushlstring(state, names[i].data(), names[i].size());
        interned_.push_back(lua_tostring(state, -1));
        lua_rawseti(state, -2, static_cast<int>(i + 1));
    }
    ref_ = luaL_ref(state, LUA_REGISTRYINDEX);
}

KnownKeys::~KnownKeys() { luaL_unref(state_, LUA_REGISTRYINDEX, ref_); }

void TableWatch::unknownKeys(const TableRef& table, const KnownKeys& known, bool artTable, const char* of,
                             const char* listHint)
{
    const std::string where = of ? std::string(" of ") + of : std::string();
    lua_State* L = table.lua;
    reserveStack(L, 3);
    pushTable(table);
    lua_pushnil(L);
    bool listNoted = false;
    while (lua_next(L, -2)) {
        if (lua_type(L, -2) == LUA_TSTRING) {
            size_t length = 0;
            const char* text = lua_tolstring(L, -2, &length);
            const std::string_view key(text, length);
            if (!known.has(text)) {
                std::optional<std::string> hint;
                if (artTable && std::find(allArtKeys().begin(), allArtKeys().end(), key) != allArtKeys().end())
                    hint = "only " + std::string(*kindReading(key)) + " art reads `" + std::string(key) + "`";
                else
                    hint = base::didYouMean(base::closestNames(key, known.names(), 1));
                note("unknown-key", ": the key \"" + shownText(key) + "\"" + where + " is never read",
                     std::move(hint));
            }
        } else if (!listNoted) {
            listNoted = true;
            note("unknown-key", ": the list entries" + where + " are never read", std::string(listHint));
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
}

std::vector<TableWatch::Note> TableWatch::take() { return std::exchange(notes_, {}); }

} // namespace screen
