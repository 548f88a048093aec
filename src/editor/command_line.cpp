#include "editor/command_line.h"

#include <algorithm>
#include <sstream>

namespace editor {

namespace {

constexpr std::size_t HelpWidth = 80;
constexpr std::size_t NameColumn = 19; // where the descriptions start

// text wrapped to lines of at most width columns (a longer word stands alone),
// each after indent spaces except the first, which the caller has started.
std::string wrapped(std::string_view text, std::size_t indent, std::size_t firstColumn)
{
    std::istringstream words{std::string(text)};
    std::string out, word;
    std::size_t column = firstColumn;
    bool lineStarted = false;
    while (words >> word) {
        if (lineStarted && column + 1 + word.size() > HelpWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineStarted = false;
        }
        if (lineStarted) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStarted = true;
    }
    return out;
}

const CommandLineItem* optionNamed(std::string_view name)
{
    for (const CommandLineItem& item : commandLineItems())
        if (item.name.starts_with("-") && (item.name == name || item.alias == name))
            return &item;
    return nullptr;
}

} // namespace

const std::vector<CommandLineItem>& commandLineItems()
{
    static const std::vector<CommandLineItem> items{
        {"PATH", "", "",
         "A folder to list after the installations found; a .module file, whose folder is listed and which opens at "
         "once; or a .screen file, which opens in the module of its installation that serves that very file, the one "
         "whose own folder holds it first. "
         "A path that names none of these is reported and the window opens on the module list."},
        {"--screen", "", "NAME",
         "Opens the screen NAME of the module given, a name as the screen list and tise-cli screens show it "
         "(mainmenu.screen, or mainmenu). A name that the list does not hold is reported and the screen list "
         "stays."},
        {"--language", "", "NAME",
         "Mounts the module with the language NAME instead of the one the mount would choose."},
        {"--help", "-h", "", "Prints this help and exits."},
        {"--version", "", "", "Prints the version and exits."},
    };
    return items;
}

std::string_view commandLineSynopsis() { return "tise [--language NAME] [--screen NAME] [PATH...]"; }

std::string_view commandLineDescription()
{
    return "Shows the user-interface screens of the game Ironveil and of its mods exactly as the game lays them "
           "out. It lists the module files of the installations it finds (the install locations in the registries "
           "of Wine prefixes, then the current directory) and of the folders named; choosing a module mounts its "
           "data and lists its screens, and choosing a screen draws it beside a panel of its widgets.";
}

std::string commandLineHelp()
{
    std::string help = "usage: " + std::string(commandLineSynopsis()) + "\n       tise --help | --version\n\n";
    help += wrapped(commandLineDescription(), 0, 0) + "\n\n";
    for (const CommandLineItem& item : commandLineItems()) {
        std::string name = "  ";
        if (!item.alias.empty())
            name += std::string(item.alias) + ", ";
        name += item.name;
        if (!item.value.empty())
            name += " " + std::string(item.value);
        if (name.size() + 2 > NameColumn)
            name += "\n" + std::string(NameColumn, ' ');
        else
            name.resize(NameColumn, ' ');
        help += name + wrapped(item.help, NameColumn, NameColumn) + '\n';
    }
    return help;
}

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    const auto end = std::find(args.begin(), args.end(), "--");
    if (std::any_of(args.begin(), end, [](const std::string& arg) { return arg == "--help" || arg == "-h"; })) {
        line.help = true;
        return line;
    }
    for (auto arg = args.begin(); arg != args.end(); ++arg) {
        if (arg == end) {
            line.paths.insert(line.paths.end(), end + 1, args.end());
            break;
        }
        if (arg->size() < 2 || (*arg)[0] != '-') {
            line.paths.push_back(*arg);
            continue;
        }
        const std::size_t equals = arg->find('=');
        const std::string name = arg->substr(0, equals);
        const CommandLineItem* option = optionNamed(name);
        if (!option)
            throw CommandLineError("unknown option " + name);
        std::optional<std::string> value;
        if (equals != std::string::npos) {
            if (option->value.empty())
                throw CommandLineError("option " + name + " takes no value");
            value = arg->substr(equals + 1);
        } else if (!option->value.empty()) {
            if (arg + 1 == end)
                throw CommandLineError("option " + name + " needs a value");
            value = *++arg;
        }
        if (name == "--version")
            line.version = true;
        else if (name == "--screen")
            line.screen = value;
        else if (name == "--language")
            line.language = value;
    }
    return line;
}

} // namespace editor
