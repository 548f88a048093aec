#include "cli/gui_session.h"

#include <QGuiApplication>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

namespace {
int argumentCount = 1;
char programName[] = "tise-cli";
char* arguments[] = {programName, nullptr};
} // namespace

GuiSession::GuiSession()
{
    // Qt reads the platform when the application is made; a platform chosen
    // by the user is left alone.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder and warns on stderr without one
        // (making one of its own anyway).
        const std::string runtime = "/tmp/tise-runtime-" + std::to_string(::getuid());
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    application_ = std::make_unique<QGuiApplication>(argumentCount, arguments);
}

GuiSession::~GuiSession() = default;

} // namespace Cli
