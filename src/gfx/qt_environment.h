#pragma once
// Prepares the process environment before a Qt application object is made:
// the offscreen platform where there is no display (or always, for tests),
// and a private runtime folder, without which Qt warns on stderr. Settings
// the user made are left alone.

namespace gfx {

void prepareQtEnvironment(bool alwaysOffscreen = false);

} // namespace gfx
