// tise-cli: the viewer's work without a window.

#include "cli/command.h"
#include "cli/command_summaries.h"
#include "base/version.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <iostream>

namespace {

void printUsage(std::ostream& out)
{
    out << "usage: tise-cli COMMAND [ARGS...]\n       tise-cli --version\n\n" << cli::toolDescription()
        << "\n\ncommands:\n";
    for (const cli::Command& command : cli::commands()) {
        out << "  tise-cli " << command.name << ' ' << command.usage << '\n';
        if (const std::string_view summary = cli::commandSummary(command.name); !summary.empty())
            out << "      " << summary << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(std::cout);
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "tise-cli " << base::programVersion() << '\n';
        return 0;
    }

    // The longest command name that the arguments start with ("sga list").
    const cli::Command* chosen = nullptr;
    std::size_t words = 0;
    for (const cli::Command& command : cli::commands()) {
        std::size_t count = 1 + static_cast<std::size_t>(std::count(command.name.begin(), command.name.end(), ' '));
        if (count > args.size() || count <= words)
            continue;
        std::string joined = args[0];
        for (std::size_t i = 1; i < count; ++i)
            joined += ' ' + args[i];
        if (joined == command.name) {
            chosen = &command;
            words = count;
        }
    }
    if (!chosen) {
        std::cerr << "tise-cli: unknown command " << args[0] << '\n';
        printUsage(std::cerr);
        return 2;
    }
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(words), args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        std::cout << "usage: tise-cli " << chosen->name << ' ' << chosen->usage << '\n';
        return 0;
    }
    try {
        const cli::Arguments parsed = cli::parseArguments(*chosen, rest);
        const int status = chosen->run(parsed, std::cout);
        std::cout.flush();
        return status;
    } catch (const cli::UsageError& error) {
        std::cerr << "tise-cli: " << error.what() << "\nusage: tise-cli " << chosen->name << ' ' << chosen->usage << '\n';
        return 2;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "tise-cli: " << cli::displayText(error.what()) << '\n';
        return 1;
    }
}
