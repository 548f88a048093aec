#pragma once
// The frame of tise-cli's commands: argument parsing, usage errors and output
// helpers shared by every command.

#include "cli/game_text.h"

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

// Bad usage: exit status 2 with the command's usage line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options; // "-o" -> value (the last one given)
    std::vector<std::pair<std::string, std::string>> optionList; // every value option, in order
    std::set<std::string> flags;                // "--store"

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    // The option's value; throws UsageError when it is required and missing.
    std::string option(const std::string& name, bool required = false, const std::string& fallback = {}) const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> optionValues(const std::string& name) const;
};

struct Command {
    std::string name;        // "sga list" for a sub-command
    std::string usage;       // the arguments after the name
    std::size_t minPositional;
    std::size_t maxPositional; // SIZE_MAX: any number
    std::set<std::string> valueOptions;
    std::set<std::string> flagOptions;
    std::function<int(const Arguments&, std::ostream& out)> run;
};

// Every command of the tool, in the order usage lists them.
const std::vector<Command>& commands();

// Parses args (after the command name) as command declares: a value option as
// "--name value" or "--name=value"; throws UsageError.
Arguments parseArguments(const Command& command, const std::vector<std::string>& args);

// A JSON string literal.
std::string jsonString(std::string_view text);
// A JSON number: the shortest text that reads back as value; null for
// infinities and NaN, which JSON cannot hold.
std::string jsonNumber(float value);
// Writes "tise-cli: warning: MESSAGE" to stderr, MESSAGE as displayText; the
// command goes on and its exit status does not change.
void warn(std::string_view message);

// The commands, grouped by what they work on.
void addDataCommands(std::vector<Command>& list);
void addArchiveCommands(std::vector<Command>& list);
void addTextureCommands(std::vector<Command>& list);
void addScreenCommands(std::vector<Command>& list);

} // namespace cli
