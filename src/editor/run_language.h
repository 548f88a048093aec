#pragma once
// The language the viewer mounts modules in, and whether it pseudo-localises
// their strings: each module's own choice and off, until the user chooses
// otherwise from the screen area's menu (or the command line sets a
// language), and then kept for the rest of the run, as the preview size is.

#include "data/mount_module.h"

#include <string>

namespace editor {

// The language asked for; empty while each module mounts in its own choice.
std::string runLanguage();
// Mounts from now on use language (empty: each module's own choice). What
// `tise --language NAME` calls at start-up, before the window opens.
void setRunLanguage(const std::string& language);

bool runPseudoLocalise();
void setRunPseudoLocalise(bool pseudo);

// The options that the run's mounts take (data/mount_module.h).
Mod::MountOptions runMountOptions();

} // namespace editor
