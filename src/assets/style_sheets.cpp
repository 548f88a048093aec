#include "assets/style_sheets.h"

#include "assets/data_state.h"
#include "data/text_compare.h"

#include <lua.hpp>

namespace assets {

namespace {
const char* const CopyStyles = "for _,t in next,StyleSheet.Styles do(...)[t.name]=t end";
} // namespace

StyleSheets::StyleSheets(std::shared_ptr<Mod::FileSource> files, const assets::Limits& limits)
    : files_(std::move(files)), limits_(limits)
{
}

lua_State* StyleSheets::find(const char* sheet, const char* style)
{
    if (!sheet || !style)
        return nullptr;
    const std::string key = Mod::toLowerAscii(sheet);
    auto found = sheets_.find(key);
    if (found == sheets_.end()) {
        assets::StatePtr state =
            assets::prepareDataState(files_->open("art/ui/styles/" + key + ".styles"), CopyStyles, limits_);
        found = sheets_.emplace(key, std::move(state)).first;
    }
    lua_State* L = found->second.get();
    if (!L)
        return nullptr;
    lua_settop(L, 0);
    lua_pushstring(L, style);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_istable(L, -1))
        return L;
    lua_pop(L, 1);
    return nullptr;
}

} // namespace assets
