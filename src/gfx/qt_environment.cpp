#include "gfx/qt_environment.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace gfx {

void prepareQtEnvironment(bool alwaysOffscreen)
{
    if (alwaysOffscreen || (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string runtime = "/tmp/tise-runtime-" + std::to_string(::getuid());
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
}

} // namespace gfx
