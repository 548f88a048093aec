#pragma once
// What the viewer's command line asks it to show at start: the folders to
// list after the installations found, the module to open and the screen to
// open in it, and a message for each path that names nothing it can show.
// Nothing here throws for what is on disk: every problem becomes a message.

#include "editor/command_line.h"

#include <optional>
#include <string>
#include <vector>

namespace editor {

struct StartRequest {
    std::vector<std::string> folders; // to list after the discovered installations
    std::string module;               // the .module file to open, or empty
    std::optional<std::string> screen; // a screen of its list to open then (a name, or a path inside the module)
    std::optional<std::string> language;
    std::vector<std::string> problems; // one message each, in the order of the paths
};

// Resolves line's paths, relative ones against currentDirectory:
// - a folder is listed;
// - a .module file's folder is listed, and the first one given is opened,
//   with --screen when given;
// - a .screen file opens in a module of its installation (the nearest folder
//   above it that holds module files, which is listed) whose mounted file
//   system serves that very file as one of its screens: the first, in the
//   module list's order, whose own folder holds it, else the first that
//   serves it through a module it requires; when none does, the problem
//   says so.
// A .screen file and --screen together throw CommandLineError, and so does
// --screen without a module or screen file.
StartRequest resolveStartRequest(const CommandLine& line, const std::string& currentDirectory);

} // namespace editor
