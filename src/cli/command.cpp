#include "cli/command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace cli {

std::string Arguments::option(const std::string& name, bool required, const std::string& fallback) const
{
    const auto found = options.find(name);
    if (found != options.end())
        return found->second;
    if (required)
        throw UsageError("missing option " + name);
    return fallback;
}

std::vector<std::string> Arguments::optionValues(const std::string& name) const
{
    std::vector<std::string> values;
    for (const auto& [option, value] : optionList)
        if (option == name)
            values.push_back(value);
    return values;
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> list = [] {
        std::vector<Command> all;
        addDataCommands(all);
        addArchiveCommands(all);
        addTextureCommands(all);
        addScreenCommands(all);
        return all;
    }();
    return list;
}

Arguments parseArguments(const Command& command, const std::vector<std::string>& args)
{
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (const std::size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            // --name=value, as well as --name value.
            const std::string name = arg.substr(0, equals);
            if (command.flagOptions.count(name))
                throw UsageError("option " + name + " takes no value");
            if (!command.valueOptions.count(name))
                throw UsageError("unknown option " + name);
            parsed.options[name] = arg.substr(equals + 1);
            parsed.optionList.emplace_back(name, arg.substr(equals + 1));
        } else if (command.valueOptions.count(arg)) {
            if (i + 1 == args.size())
                throw UsageError("option " + arg + " needs a value");
            parsed.options[arg] = args[++i];
            parsed.optionList.emplace_back(arg, args[i]);
        } else if (command.flagOptions.count(arg)) {
            parsed.flags.insert(arg);
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (parsed.positional.size() < command.minPositional)
        throw UsageError("missing argument");
    if (parsed.positional.size() > command.maxPositional)
        throw UsageError("too many arguments");
    return parsed;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(float value)
{
    if (!std::isfinite(value))
        return "null";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void warn(std::string_view message) { std::cerr << "tise-cli: warning: " << displayText(message) << '\n'; }

} // namespace cli
