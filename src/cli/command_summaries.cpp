#include "cli/command_summaries.h"

#include <utility>

namespace cli {

std::string_view commandSummary(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::string_view> summaries[] = {
        {"modules", "Lists every module file the viewer would list: the installations found, then each FOLDER."},
        {"info", "Prints what MODULE mounts, in priority order, and its language and string tables, as JSON."},
        {"ls", "Lists FOLDER of the mounted module, every source merged."},
        {"cat", "Writes the bytes of PATH, as the mounted module serves it, to standard output."},
        {"localise", "Prints each TEXT localised through the module's string tables."},
        {"screens", "Lists the module's screens, as the viewer's screen list shows them."},
        {"which", "Lists every source of the mounted module that holds PATH, the one that serves it first."},
        {"sga list", "Lists every member of ARCHIVE with its stored and full length."},
        {"sga cat", "Writes the bytes of one member of ARCHIVE to standard output."},
        {"sga pack", "Packs every file under FOLDER into a new archive."},
        {"texture", "Resolves texture NAME as a screen of MODULE would and writes the bitmap as a PNG."},
        {"decode", "Decodes a DDS or TGA file on disk as textures are decoded and writes it as a PNG."},
        {"tree", "Loads SCREEN as the viewer does and prints its widget trees as JSON."},
        {"render", "Draws SCREEN (or, with --all, every screen) as the viewer's screen area shows it, to PNG."},
        {"check", "Loads and draws every screen (or the ones named) and reports what failed and every silent mistake."},
    };
    for (const auto& [command, summary] : summaries)
        if (command == name)
            return summary;
    return {};
}

std::string_view toolDescription()
{
    return "Does without a window what the viewer tise does with one: finds modules, mounts them, reads files "
           "through the mounted file system, loads screens and draws them to PNG with the viewer's own renderer. "
           "MODULE is the path of a .module file on disk. SCREEN is a screen file's name as tise-cli screens prints "
           "it, or a path inside the mounted file system that contains a \\ or /. Nothing is written except the "
           "files named with -o. Exit status: 0 success, 1 the work failed, 2 bad usage.";
}

} // namespace cli
