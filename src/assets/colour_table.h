#pragma once
// The game's colour table: colour keys of screen files to colours.

#include "assets/lua_sandbox.h"
#include "data/file_source.h"
#include "gfx/color.h"

#include <optional>
#include <string>
#include <vector>

namespace assets {

class ColourTable {
public:
    // Reads "art\ui\styles\colourtable.colours" from files; a missing or
    // failing file leaves every key opaque black.
    explicit ColourTable(Mod::FileSource& files, const assets::Limits& limits = {});

    // The colour under key; opaque black when there is none or the entry is
    // not a table. Missing or non-numeric channels are 0.
    gfx::Color lookup(const std::string& key) const { return find(key).value_or(gfx::Color{0.0f, 0.0f, 0.0f, 1.0f}); }
    // The colour under key; nothing when there is no table, no entry, or an
    // entry that is not a table.
    std::optional<gfx::Color> find(const std::string& key) const;

    bool loaded() const { return state_ != nullptr; }
    // Every key with a colour, unordered, for hints about keys it lacks.
    std::vector<std::string> keys() const;
    // The file it is read from.
    static const char* path();

private:
    assets::StatePtr state_;
};

} // namespace assets
