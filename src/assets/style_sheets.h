#pragma once
// Style sheets: named property tables that widgets fall back on. Each sheet
// ("art/ui/styles/" + lower-case name + ".styles") is read at most once;
// a sheet that fails is remembered as absent.

#include "assets/lua_sandbox.h"
#include "data/file_source.h"

#include <map>
#include <memory>
#include <string>

namespace assets {

class StyleSheets {
public:
    explicit StyleSheets(std::shared_ptr<Mod::FileSource> files, const assets::Limits& limits = {});

    // The sheet's state with the style table on top of its otherwise empty
    // stack, or null when either name is absent or nothing is found.
    lua_State* find(const char* sheet, const char* style);

private:
    std::shared_ptr<Mod::FileSource> files_;
    assets::Limits limits_;
    std::map<std::string, assets::StatePtr> sheets_;
};

} // namespace assets
