#pragma once
// Mounting a module: its data folders and archives, those of the modules it
// requires and the engine's, in the game's priority order, with the string
// tables of the chosen language.

#include "data/mod_context.h"

#include <string>

namespace Mod {

struct MountOptions {
    // The language to mount instead of the one the mount chooses; empty for
    // the mount's own choice. Its Locale folders are used as the mount's
    // own choice would be, whether any module offers it or not.
    std::string language;
    // Pseudo-localise the strings of the string tables.
    bool pseudoLocalise = false;
};

// Mounts the .module file at modulePath (a full game path) into context.
// Throws std::runtime_error "Cannot open module file " + modulePath when the
// file cannot be opened; archives and string tables that fail are reported to
// the diagnostic log and skipped.
void MountModule(ModContext& context, const std::string& modulePath, const MountOptions& options = {});

} // namespace Mod
