#pragma once
// Style sheets: named property tables that widgets fall back on. Each sheet
// ("art/ui/styles/" + lower-case name + ".styles") is read at most once;
// a sheet that fails is remembered as absent.

#include "assets/lua_sandbox.h"
#include "data/file_source.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace assets {

class StyleSheets {
public:
    explicit StyleSheets(std::shared_ptr<Mod::FileSource> files, const assets::Limits& limits = {});

    // The sheet's state with the style table on top of its otherwise empty
    // stack, or null when either name is absent or nothing is found.
    lua_State* find(const char* sheet, const char* style);

    // What became of a sheet that find has read: loaded, missing, or failed
    // with failure set to Lua's message. Missing for a sheet not read yet.
    enum class Status { Loaded, Missing, Failed };
    Status status(const std::string& sheet, std::string* failure = nullptr) const;
    // The file a sheet is read from: "art/ui/styles/" + lower-case name + ".styles".
    static std::string path(const std::string& sheet);
    // The names of a loaded sheet's styles, unordered; none for a sheet not loaded.
    std::vector<std::string> styleNames(const std::string& sheet) const;

private:
    struct Sheet {
        assets::StatePtr state;
        bool found = false;  // the file exists
        std::string failure; // Lua's message, when it exists but failed
    };
    const Sheet* sheet(const std::string& name) const;

    std::shared_ptr<Mod::FileSource> files_;
    assets::Limits limits_;
    std::map<std::string, Sheet> sheets_;
};

} // namespace assets
