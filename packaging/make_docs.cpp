// Writes the man pages of tise and tise-cli and the shell completions of
// tise-cli from the programs' own tables, run by the build:
//
//   tise-mkdocs DATE TEMPLATES OUTPUT
//
// DATE is the release date for the pages' headers, TEMPLATES the folder of
// the completion scripts (tise-cli.bash.in, _tise-cli.in, tise-cli.fish.in,
// each with an @COMMAND_TABLE@ line), OUTPUT the folder that receives
// tise.1, tise-cli.1, tise-cli.bash, _tise-cli and tise-cli.fish.
//
// The viewer's page comes from the items its --help prints
// (editor/command_line.h); tise-cli's page and completions from its command
// table (cli/command.h): each command's usage line, the options it accepts,
// and from the usage the kind of each argument (MODULE, SCREEN, FOLDER, ...).
// A command added to the table appears in all of them at the next build.

#include "base/version.h"
#include "cli/command.h"
#include "cli/command_summaries.h"
#include "editor/command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

// ---- roff ----

// Text as roff prints it: backslashes and hyphen-minus escaped, no line
// starting with a control character.
std::string roff(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out = "\\&" + out;
    return out;
}

// A usage line in the man pages' style: options and literal words bold,
// placeholders (upper-case words such as MODULE, OUT.png, WxH) italic, and
// brackets, bars and ellipses plain.
std::string roffUsage(const std::string& usage)
{
    std::string out;
    std::string piece;
    const auto flush = [&] {
        if (piece.empty())
            return;
        const bool placeholder = std::isupper(static_cast<unsigned char>(piece[0])) != 0;
        out += (placeholder ? "\\fI" : "\\fB") + roff(piece) + "\\fR";
        piece.clear();
    };
    for (std::size_t i = 0; i < usage.size(); ++i) {
        const char c = usage[i];
        if (c == '[' || c == ']' || c == '|' || c == ' ') {
            flush();
            out += c;
        } else if (usage.compare(i, 3, "...") == 0) {
            flush();
            out += "\\&...";
            i += 2;
        } else {
            piece += c;
        }
    }
    flush();
    return out;
}

std::string pageHeader(const std::string& name, const std::string& date)
{
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return ".TH " + roff(upper) + " 1 \"" + date + "\" \"tise " + std::string(base::programVersion())
           + "\" \"User Commands\"\n"
           // Left-aligned and unhyphenated: option names and paths stay whole.
           + ".ad l\n.nh\n";
}

std::string viewerPage(const std::string& date)
{
    std::string page = pageHeader("tise", date);
    page += ".SH NAME\ntise \\- view the user-interface screens of Ironveil and its mods\n";
    const std::string synopsis(editor::commandLineSynopsis());
    page += ".SH SYNOPSIS\n" + roffUsage(synopsis) + "\n.br\n" + roffUsage("tise --help|--version") + "\n";
    page += ".SH DESCRIPTION\n" + roff(editor::commandLineDescription()) + "\n";
    page += ".SH OPTIONS\n";
    for (const editor::CommandLineItem& item : editor::commandLineItems()) {
        std::string term = item.alias.empty() ? "" : roffUsage(std::string(item.alias)) + ", ";
        term += roffUsage(std::string(item.name) + (item.value.empty() ? "" : " " + std::string(item.value)));
        page += ".TP\n" + term + "\n" + roff(item.help) + "\n";
    }
    page += ".SH EXIT STATUS\n0 when the last window closes, or after \\fB\\-\\-help\\fR and \\fB\\-\\-version\\fR; "
            "1 after a failure that closes the viewer; 2 for bad usage, with a message and the usage line on "
            "standard error.\n";
    page += ".SH SEE ALSO\n.BR tise\\-cli (1)\n";
    return page;
}

// ---- tise-cli's table ----

// What a completion offers for an argument: a .module file, a screen of the
// MODULE given, an archive, any file, a folder, one of fixed words, nothing.
std::string kindOf(const std::string& placeholder)
{
    if (placeholder.find('|') != std::string::npos)
        return "choice:" + placeholder;
    if (placeholder == "MODULE")
        return "module";
    if (placeholder == "SCREEN")
        return "screen";
    if (placeholder == "FOLDER")
        return "folder";
    if (placeholder == "ARCHIVE")
        return "archive";
    if (placeholder == "FILE" || placeholder.find('.') != std::string::npos)
        return "file";
    return "none";
}

std::string bare(std::string token)
{
    token.erase(std::remove_if(token.begin(), token.end(), [](char c) { return c == '[' || c == ']'; }), token.end());
    if (token.size() >= 3 && token.compare(token.size() - 3, 3, "...") == 0)
        token.resize(token.size() - 3);
    return token;
}

struct CommandSpec {
    const cli::Command* command;
    std::vector<std::string> options;           // value options, then flags, each sorted
    std::map<std::string, std::string> values;  // value option -> its placeholder in the usage ("VALUE")
    std::vector<std::string> positionals;       // kinds; the last may end in "..."
};

CommandSpec specOf(const cli::Command& command)
{
    CommandSpec spec{&command, {}, {}, {}};
    const std::vector<std::string> tokens = words(command.usage);
    for (const std::string& option : command.valueOptions) {
        spec.options.push_back(option);
        spec.values[option] = "VALUE";
        const auto at =
            std::find_if(tokens.begin(), tokens.end(), [&](const std::string& token) { return bare(token) == option; });
        if (at != tokens.end() && at + 1 != tokens.end() && bare(*(at + 1)).find('-') != 0)
            spec.values[option] = bare(*(at + 1));
    }
    spec.options.insert(spec.options.end(), command.flagOptions.begin(), command.flagOptions.end());
    // The arguments of the first form of the usage ("A | B": A).
    for (auto token = tokens.begin(); token != tokens.end() && *token != "|"; ++token) {
        const std::string name = bare(*token);
        if (name.empty() || name[0] == '-') {
            if (command.valueOptions.count(name))
                ++token;
            if (token == tokens.end())
                break;
            continue;
        }
        const bool variadic = token->find("...") != std::string::npos;
        spec.positionals.push_back(kindOf(name) + (variadic ? "..." : ""));
    }
    return spec;
}

std::vector<CommandSpec> commandSpecs()
{
    std::vector<CommandSpec> specs;
    for (const cli::Command& command : cli::commands())
        specs.push_back(specOf(command));
    return specs;
}

std::string join(const std::vector<std::string>& items, const std::string& separator)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : separator) + item;
    return out;
}

std::string cliPage(const std::string& date)
{
    std::string page = pageHeader("tise-cli", date);
    page += ".SH NAME\ntise\\-cli \\- draw and inspect Ironveil's user-interface screens without a window\n";
    page += ".SH SYNOPSIS\n" + roffUsage("tise-cli COMMAND [ARGS...]") + "\n.br\n"
            + roffUsage("tise-cli --help|--version") + "\n.br\n" + roffUsage("tise-cli COMMAND --help") + "\n";
    page += ".SH DESCRIPTION\n" + roff(cli::toolDescription()) + "\n";
    page += ".SH COMMANDS\n";
    for (const CommandSpec& spec : commandSpecs()) {
        const cli::Command& command = *spec.command;
        page += ".TP\n" + roffUsage("tise-cli " + command.name + " " + command.usage) + "\n";
        const std::string_view summary = cli::commandSummary(command.name);
        if (!summary.empty())
            page += roff(summary) + "\n";
        // Options that the usage line leaves out (shared by many commands, say).
        const std::vector<std::string> usage = words(command.usage);
        std::vector<std::string> more;
        for (const std::string& option : spec.options) {
            if (std::any_of(usage.begin(), usage.end(), [&](const std::string& word) { return bare(word) == option; }))
                continue;
            const auto value = spec.values.find(option);
            more.push_back(roffUsage(option + (value == spec.values.end() ? "" : " " + value->second)));
        }
        if (!more.empty())
            page += (summary.empty() ? "" : ".br\n") + std::string("Also: ") + join(more, ", ") + ".\n";
    }
    page += ".SH EXIT STATUS\n"
            ".TP\n0\nSuccess.\n"
            ".TP\n1\nThe work failed; the message is on standard error as \\fBtise\\-cli:\\fR \\fIMESSAGE\\fR.\n"
            ".TP\n2\nBad usage (an unknown command or option, a missing argument), with the usage line on standard "
            "error.\n";
    page += ".SH FILES\nThe full reference of every command and output format is \\fIdocs/CLI.md\\fR of the sources, "
            "installed as \\fI/usr/share/doc/tise/CLI.md\\fR.\n";
    page += ".SH SEE ALSO\n.BR tise (1)\n";
    return page;
}

// ---- completions ----

std::string singleQuoted(const std::string& text) { return "'" + text + "'"; }

// The first words of the commands, in the table's order, and the second words
// of the two-word commands ("sga" -> "list", "cat", "pack").
struct CommandWords {
    std::vector<std::string> firsts;
    std::map<std::string, std::vector<std::string>> seconds;
};

CommandWords commandWords(const std::vector<CommandSpec>& specs)
{
    CommandWords names;
    for (const CommandSpec& spec : specs) {
        const std::vector<std::string> name = words(spec.command->name);
        if (std::find(names.firsts.begin(), names.firsts.end(), name[0]) == names.firsts.end())
            names.firsts.push_back(name[0]);
        if (name.size() > 1)
            names.seconds[name[0]].push_back(name[1]);
    }
    return names;
}

// The kind of each value option's value, as " OPTION:KIND OPTION:KIND ".
std::string valueKinds(const CommandSpec& spec)
{
    std::string kinds = " ";
    for (const auto& [option, placeholder] : spec.values)
        kinds += option + ":" + kindOf(placeholder) + " ";
    return kinds;
}

// The command table in bash's syntax, which zsh reads as well: the first
// words of the commands, the second words of two-word commands, and per
// command its options (opts), the kind of each option's value (vals, as
// " OPTION:KIND ... ") and the kind of each argument (pos).
std::string shellTable(const std::vector<CommandSpec>& specs)
{
    const CommandWords names = commandWords(specs);
    std::string out = "_tise_cli_commands=" + singleQuoted(join(names.firsts, " ")) + "\n\n";
    out += "_tise_cli_subcommands() {\n    case \"$1\" in\n";
    for (const auto& [first, second] : names.seconds)
        out += "    " + singleQuoted(first) + ") echo " + singleQuoted(join(second, " ")) + " ;;\n";
    out += "    esac\n}\n\n_tise_cli_spec() {\n    case \"$1\" in\n";
    for (const CommandSpec& spec : specs) {
        const std::string vals = valueKinds(spec);
        out += "    " + singleQuoted(spec.command->name) + ") opts=" + singleQuoted(join(spec.options, " ")) + "; vals="
               + singleQuoted(vals) + "; pos=" + singleQuoted(join(spec.positionals, " ")) + " ;;\n";
    }
    out += "    *) return 1 ;;\n    esac\n}";
    return out;
}

std::string fishTable(const std::vector<CommandSpec>& specs)
{
    const CommandWords names = commandWords(specs);
    std::string out = "set -g __tise_cli_commands " + singleQuoted(join(names.firsts, " ")) + "\n\n";
    out += "function __tise_cli_subcommands\n    switch $argv[1]\n";
    for (const auto& [first, second] : names.seconds)
        out += "        case " + singleQuoted(first) + "\n            echo " + singleQuoted(join(second, " ")) + "\n";
    out += "    end\nend\n\nfunction __tise_cli_spec\n    switch $argv[1]\n";
    for (const CommandSpec& spec : specs) {
        const std::string vals = valueKinds(spec);
        out += "        case " + singleQuoted(spec.command->name) + "\n";
        out += "            set -g __tise_cli_opts " + singleQuoted(join(spec.options, " ")) + "\n";
        out += "            set -g __tise_cli_vals " + singleQuoted(vals) + "\n";
        out += "            set -g __tise_cli_pos " + singleQuoted(join(spec.positionals, " ")) + "\n";
    }
    out += "        case '*'\n            return 1\n    end\nend";
    return out;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::string fromTemplate(const fs::path& path, const std::string& table)
{
    std::string text = readText(path);
    const std::string marker = "@COMMAND_TABLE@";
    const std::size_t at = text.find(marker);
    if (at == std::string::npos)
        throw std::runtime_error(path.string() + " has no " + marker + " line");
    return text.replace(at, marker.size(), table);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: tise-mkdocs DATE TEMPLATES OUTPUT\n";
        return 2;
    }
    try {
        const std::string date = argv[1];
        const fs::path templates = argv[2], output = argv[3];
        fs::create_directories(output);
        writeText(output / "tise.1", viewerPage(date));
        writeText(output / "tise-cli.1", cliPage(date));
        const std::vector<CommandSpec> specs = commandSpecs();
        writeText(output / "tise-cli.bash", fromTemplate(templates / "tise-cli.bash.in", shellTable(specs)));
        writeText(output / "_tise-cli", fromTemplate(templates / "_tise-cli.in", shellTable(specs)));
        writeText(output / "tise-cli.fish", fromTemplate(templates / "tise-cli.fish.in", fishTable(specs)));
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "tise-mkdocs: " << error.what() << '\n';
        return 1;
    }
}
