#pragma once
// The options of every command that mounts a module: `--language NAME`
// mounts with that language instead of the mount's own choice, and
// `--pseudo` (the commands that show strings) pseudo-localises the strings of
// the string tables. Commands declare them through these names, so that
// usage and help list them with the command.

#include "cli/command.h"
#include "data/mod_context.h"

#include <set>
#include <string>

namespace cli {

inline const std::string LanguageOption = "--language";
inline const std::string PseudoOption = "--pseudo";

// The value options of a mounting command: its own and --language.
std::set<std::string> mountingValueOptions(std::set<std::string> own = {});
// The flags of a mounting command that shows strings: its own and --pseudo.
std::set<std::string> showingFlagOptions(std::set<std::string> own = {});

// Mounts the module args.positional[0] with the options given. A language
// that no Locale folder offers is mounted all the same, after the warning
// "no Locale folder offers NAME". Mount errors propagate.
void mountModule(Mod::ModContext& context, const Arguments& args);

// What --help adds after a command's usage: the mounting options it takes,
// one line each; empty for a command that mounts nothing.
std::string mountingOptionsHelp(const Command& command);
// Both options, each with the commands that take it.
std::string mountingOptionsHelp();

} // namespace cli
