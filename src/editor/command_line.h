#pragma once
// The viewer's command line: tise [--language NAME] [--screen NAME] [PATH...].
// Its options and arguments are described once, here: --help prints them and
// the build writes the man page from the same table, so the two agree.
//
// Parsing only reads the words; what the paths name is found by the start
// request (editor/start_request.h). Bad usage throws CommandLineError.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option or argument as the help and the man page describe it.
struct CommandLineItem {
    std::string_view name;  // "--screen", or "PATH" for the positional arguments
    std::string_view alias; // "-h", or ""
    std::string_view value; // "NAME" for an option that takes one, else ""
    std::string_view help;  // what it does, one paragraph
};

// In the order the help lists them: the positional PATH first.
const std::vector<CommandLineItem>& commandLineItems();
// "tise [--language NAME] [--screen NAME] [PATH...]"
std::string_view commandLineSynopsis();
// What the viewer does, one paragraph, for the help and the man page.
std::string_view commandLineDescription();
// The whole --help text, lines wrapped at 80 columns.
std::string commandLineHelp();

struct CommandLine {
    bool help = false;    // --help or -h anywhere before "--": nothing else matters
    bool version = false; // --version
    std::optional<std::string> language;
    std::optional<std::string> screen;
    std::vector<std::string> paths;
};

// Parses the words after the program's name. "--NAME=VALUE" is accepted for
// options that take a value, and "--" ends the options. Throws
// CommandLineError for an unknown option or a missing value.
CommandLine parseCommandLine(const std::vector<std::string>& args);

} // namespace editor
