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
        Sheet read;
        Mod::FilePtr file = files_->open(path(key));
        read.found = Mod::hasData(file);
        read.state = assets::prepareDataState(std::move(file), CopyStyles, limits_, &read.failure);
        found = sheets_.emplace(key, std::move(read)).first;
    }
    lua_State* L = found->second.state.get();
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

std::string StyleSheets::path(const std::string& sheet)
{
    return "art/ui/styles/" + Mod::toLowerAscii(sheet) + ".styles";
}

const StyleSheets::Sheet* StyleSheets::sheet(const std::string& name) const
{
    const auto found = sheets_.find(Mod::toLowerAscii(name));
    return found == sheets_.end() ? nullptr : &found->second;
}

StyleSheets::Status StyleSheets::status(const std::string& name, std::string* failure) const
{
    const Sheet* read = sheet(name);
    if (!read || !read->found)
        return Status::Missing;
    if (read->state)
        return Status::Loaded;
    if (failure)
        *failure = read->failure;
    return Status::Failed;
}

std::vector<std::string> StyleSheets::styleNames(const std::string& name) const
{
    const Sheet* read = sheet(name);
    if (!read || !read->state)
        return {};
    lua_settop(read->state.get(), 0);
    return copiedKeys(read->state.get());
}

} // namespace assets
