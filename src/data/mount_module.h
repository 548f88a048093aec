#pragma once
// Mounting a module: its data folders and archives, those of the modules it
// requires and the engine's, in the game's priority order, with the string
// tables of the chosen language.

#include "data/mod_context.h"

#include <string>

namespace Mod {

// Mounts the .module file at modulePath (a full game path) into context.
// Throws std::runtime_error "Cannot open module file " + modulePath when the
// file cannot be opened; archives and string tables that fail are reported to
// the diagnostic log and skipped.
void MountModule(ModContext& context, const std::string& modulePath);

} // namespace Mod
