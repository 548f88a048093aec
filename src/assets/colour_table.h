#pragma once
// The game's colour table: colour keys of screen files to colours.

#include "assets/lua_sandbox.h"
#include "data/file_source.h"
#include "gfx/color.h"

#include <string>

namespace assets {

class ColourTable {
public:
    // Reads "art\ui\styles\colourtable.colours" from files; a missing or
    // failing file leaves every key opaque black.
    explicit ColourTable(Mod::FileSource& files, const assets::Limits& limits = {});

    // The colour under key; opaque black when there is none or the entry is
    // not a table. Missing or non-numeric channels are 0.
    gfx::Color lookup(const std::string& key) const;

    bool loaded() const { return state_ != nullptr; }

private:
    assets::StatePtr state_;
};

} // namespace assets
